// Toggling the bits: value, digits, LEDs, character and the port writes.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

using Steps = QList<int>; // bits toggled one after another

class BitToggling : public QObject
{
    Q_OBJECT

    // A fresh program start with "Nur Simulation" turned off, port log cleared.
    static std::unique_ptr<frmBitlicht> startWritingProgram(const ProgramDirectory& dir,
                                                            FakePort& fake)
    {
        auto w = startProgram(dir);
        box(*w, "ChkSimulation")->click();
        fake.clear();
        return w;
    }

    static void checkBitShown(const frmBitlicht& w, int bit)
    {
        const bool set = bitBox(w, bit)->isChecked();
        QCOMPARE(field(w, QStringLiteral("txtDualAusgabe(%1)").arg(bit))->text(),
                 set ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(ledState(picture(w, bit)), set ? LedShows::Lit : LedShows::Dark);
    }

private slots:
    void steps_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::addColumn<QStringList>("decimals");
        QTest::addColumn<QString>("character");

        QTest::newRow("D0 to D3 count up, no character")
            << Steps{0, 1, 2, 3} << QStringList{"1", "3", "7", "15"} << QString();
        QTest::newRow("D5 alone is a blank") << Steps{5} << QStringList{"32"} << " ";
        QTest::newRow("all eight")
            << Steps{0, 1, 2, 3, 4, 5, 6, 7}
            << QStringList{"1", "3", "7", "15", "31", "63", "127", "255"} << QStringLiteral("ÿ");
        QTest::newRow("all eight, then D7 cleared")
            << Steps{0, 1, 2, 3, 4, 5, 6, 7, 7}
            << QStringList{"1", "3", "7", "15", "31", "63", "127", "255", "127"}
            << QStringLiteral("\u007F");
        QTest::newRow("D6 and D0 is A") << Steps{6, 0} << QStringList{"64", "65"} << "A";
        QTest::newRow("clearing subtracts its place value")
            << Steps{3, 4, 3, 4} << QStringList{"8", "24", "16", "0"} << QString();
        QTest::newRow("back below 32 empties the character")
            << Steps{5, 0, 5} << QStringList{"32", "33", "1"} << QString();
    }

    void steps()
    {
        QFETCH(Steps, steps);
        QFETCH(QStringList, decimals);
        QFETCH(QString, character);
        FakePort fake;
        ProgramDirectory dir;
        const auto w = startWritingProgram(dir, fake);

        QList<int> expectedWrites;
        for (int i = 0; i < steps.size(); ++i) {
            bitBox(*w, steps[i])->click();
            checkBitShown(*w, steps[i]);
            QCOMPARE(field(*w, "txtWertausgabe")->text(), decimals[i]);
            QCOMPARE(w->declare().Wert, decimals[i].toInt());
            expectedWrites << decimals[i].toInt();
        }
        QCOMPARE(field(*w, "txtAsc")->text(), character);
        // Every toggle writes the whole byte, not only the bit changed.
        QCOMPARE(fake.writes(), expectedWrites);
    }

    void windows1252Characters_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("character");
        QTest::newRow("31: none") << 31 << QString();
        QTest::newRow("126 tilde") << 126 << "~";
        QTest::newRow("127 as its code point") << 127 << QStringLiteral("\u007F");
        QTest::newRow("128 euro") << 128 << QStringLiteral("€");
        QTest::newRow("129 undefined, as its code point") << 129 << QStringLiteral("\u0081");
        QTest::newRow("150 en dash") << 150 << QStringLiteral("–");
        QTest::newRow("159 Y diaeresis") << 159 << QStringLiteral("Ÿ");
        QTest::newRow("160 no-break space") << 160 << QStringLiteral("\u00A0");
        QTest::newRow("196 A umlaut") << 196 << QStringLiteral("Ä");
        QTest::newRow("223 sharp s") << 223 << QStringLiteral("ß");
    }

    void windows1252Characters()
    {
        QFETCH(int, value);
        QFETCH(QString, character);
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        for (int b = 0; b < 8; ++b)
            if (value & (1 << b))
                bitBox(*w, b)->click();
        QCOMPARE(field(*w, "txtWertausgabe")->text(), QString::number(value));
        QCOMPARE(field(*w, "txtAsc")->text(), character);
    }

    void settingABoxFromCodeRunsItsReactionOnlyOnAChange()
    {
        FakePort fake;
        ProgramDirectory dir;
        const auto w = startWritingProgram(dir, fake);
        bitBox(*w, 4)->setChecked(true);
        bitBox(*w, 4)->setChecked(true);
        QCOMPARE(w->declare().Wert, 16);
        QCOMPARE(fake.writes(), QList<int>{16});
        bitBox(*w, 4)->setChecked(false);
        bitBox(*w, 4)->setChecked(false);
        QCOMPARE(w->declare().Wert, 0);
        QCOMPARE(fake.writes(), (QList<int>{16, 0}));
    }

    void failedPortWriteIsSkippedAndShown_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::newRow("no port listed") << QByteArray("noports");
        QTest::newRow("find fails") << QByteArray("findfail");
        QTest::newRow("open refused") << QByteArray("openrefused");
        QTest::newRow("claim refused") << QByteArray("claimrefused");
    }

    void failedPortWriteIsSkippedAndShown()
    {
        QFETCH(QByteArray, mode);
        FakePort fake;
        fake.setMode(mode.constData()); // from the start: once reached, the port stays claimed
        ProgramDirectory dir;
        const auto w = startWritingProgram(dir, fake);
        auto* frame = w->findChild<QGroupBox*>("Frame1");
        QCOMPARE(frame->title(),
                 QStringLiteral("Parallelport – nicht erreichbar")); // from the start

        bitBox(*w, 0)->click();
        bitBox(*w, 2)->click();
        QCOMPARE(field(*w, "txtWertausgabe")->text(), QStringLiteral("5"));
        QCOMPARE(field(*w, "txtDualAusgabe(2)")->text(), QStringLiteral("1"));
        QCOMPARE(frame->title(), QStringLiteral("Parallelport – nicht erreichbar"));
        QVERIFY(frame->toolTip().endsWith(u'.'));
        QCOMPARE(fake.count("load"), 2); // tried again at the second toggle
        QCOMPARE(fake.count("unload"), 2);
        QVERIFY(fake.writes().isEmpty());
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QMessageBox*>(top));

        fake.setMode("ok");
        bitBox(*w, 1)->click();
        QCOMPARE(fake.writes(), QList<int>{7});
        QCOMPARE(frame->title(), QStringLiteral("Parallelport"));
    }
};

QTEST_MAIN(BitToggling)
#include "tst_toggle.moc"
