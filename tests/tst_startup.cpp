// The program's start and its three switches.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class StartUp : public QObject
{
    Q_OBJECT

private slots:
    void startsInTheStartingPosition()
    {
        FakePort fake;
        ProgramDirectory dir;
        const auto w = startProgram(dir);

        QVERIFY(w->windowTitle().startsWith(QStringLiteral("Bitlicht")));
        QCOMPARE(w->declare().Simulation, 1);
        QCOMPARE(w->declare().Wert, 0);
        QVERIFY(box(*w, "ChkSimulation")->isChecked());
        QVERIFY(box(*w, "chkLoesungAnzeigen")->isChecked());
        QVERIFY(!box(*w, "chkAsc")->isChecked());
        QCOMPARE(field(*w, "txtWertausgabe")->text(), QStringLiteral("0"));
        QVERIFY(!field(*w, "txtWertausgabe")->isHidden());
        QVERIFY(field(*w, "txtAsc")->isHidden());
        QVERIFY(field(*w, "txtAsc")->text().isEmpty());
        for (int b = 0; b < 8; ++b) {
            QVERIFY(!bitBox(*w, b)->isChecked());
            QCOMPARE(field(*w, QStringLiteral("txtDualAusgabe(%1)").arg(b))->text(),
                     QStringLiteral("0"));
            QCOMPARE(ledState(picture(*w, b)), LedShows::Dark);
        }
        // Written although simulation was already on when it came to the write.
        QCOMPARE(fake.writes(), QList<int>{0});
        QCOMPARE(w->findChild<QGroupBox*>("Frame1")->title(), QStringLiteral("Parallelport"));
    }

    void simulationDecidesOverWrites()
    {
        FakePort fake;
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        auto* simulation = box(*w, "ChkSimulation");
        fake.clear();

        bitBox(*w, 0)->click(); // right after start: shown, not written
        QCOMPARE(field(*w, "txtDualAusgabe(0)")->text(), QStringLiteral("1"));
        QCOMPARE(ledState(picture(*w, 0)), LedShows::Lit);
        bitBox(*w, 1)->click();
        QVERIFY(fake.writes().isEmpty());

        simulation->click(); // off: nothing yet
        QCOMPARE(w->declare().Simulation, 0);
        QVERIFY(fake.writes().isEmpty());
        bitBox(*w, 2)->click(); // the next toggle writes the whole byte
        QCOMPARE(fake.writes(), QList<int>{7});

        simulation->click(); // on again: the port keeps its last byte
        QCOMPARE(w->declare().Simulation, 1);
        bitBox(*w, 2)->click();
        bitBox(*w, 7)->click();
        QCOMPARE(fake.writes(), QList<int>{7});
        QCOMPARE(field(*w, "txtWertausgabe")->text(), QStringLiteral("131"));
    }

    void hiddenFieldsKeepUpAndShowTheCurrentValue_data()
    {
        QTest::addColumn<QString>("switchName");
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<bool>("shownAtStart");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal") << "chkLoesungAnzeigen"
                                 << "txtWertausgabe" << true << "65";
        QTest::newRow("character") << "chkAsc"
                                   << "txtAsc" << false << "A";
    }

    void hiddenFieldsKeepUpAndShowTheCurrentValue()
    {
        QFETCH(QString, switchName);
        QFETCH(QString, fieldName);
        QFETCH(bool, shownAtStart);
        QFETCH(QString, expected);
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        auto* toggle = box(*w, switchName);
        auto* shown = field(*w, fieldName);
        if (shownAtStart) {
            toggle->click();
            QVERIFY(shown->isHidden());
        }
        bitBox(*w, 6)->click();
        bitBox(*w, 0)->click();
        QVERIFY(shown->isHidden());
        toggle->click();
        QVERIFY(!shown->isHidden());
        QCOMPARE(shown->text(), expected);
    }

    void characterFieldRightAfterStartIsEmpty()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        box(*w, "chkAsc")->click();
        QVERIFY(!field(*w, "txtAsc")->isHidden());
        QCOMPARE(field(*w, "txtAsc")->text(), QString());
    }
};

QTEST_MAIN(StartUp)
#include "tst_startup.moc"
