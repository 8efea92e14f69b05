// Whatever stands where the LED files should, the program starts, answers
// every click and shows each bit's state.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class BadLedFiles : public QObject
{
    Q_OBJECT

private slots:
    void programKeepsWorking_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : badFileKinds())
            QTest::newRow(qPrintable(kind)) << kind;
    }

    void programKeepsWorking()
    {
        QFETCH(QString, kind);
        ProgramDirectory dir;
        makeBadFile(kind, dir.file("LEDgruenDu.ico"));
        makeBadFile(kind, dir.file("LEDgruenHe.ico"));
        const auto w = startProgram(dir);
        for (int b = 0; b < 8; ++b)
            QCOMPARE(ledState(picture(*w, b)), LedShows::Dark);

        bitBox(*w, 5)->click();
        QCOMPARE(ledState(picture(*w, 5)), LedShows::Lit);
        QCOMPARE(field(*w, "txtWertausgabe")->text(), QStringLiteral("32"));
        QCOMPARE(field(*w, "txtDualAusgabe(5)")->text(), QStringLiteral("1"));
        bitBox(*w, 5)->click();
        QCOMPARE(ledState(picture(*w, 5)), LedShows::Dark);
        QCOMPARE(w->declare().Wert, 0);
    }

    void fileChangedBetweenClicks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("removed") << "missing";
        QTest::newRow("replaced by a directory") << "directory";
        QTest::newRow("replaced by a FIFO") << "fifo";
        QTest::newRow("replaced by random bytes") << "random bytes";
    }

    void fileChangedBetweenClicks()
    {
        QFETCH(QString, kind);
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        for (int round = 0; round < 3; ++round) {
            bitBox(*w, 1)->click();
            QCOMPARE(ledState(picture(*w, 1)), LedShows::Lit);
            makeBadFile(kind, dir.file("LEDgruenHe.ico"));
            makeBadFile(kind, dir.file("LEDgruenDu.ico"));
            bitBox(*w, 1)->click();
            QCOMPARE(ledState(picture(*w, 1)), LedShows::Dark);
            for (const char* name : {"LEDgruenHe.ico", "LEDgruenDu.ico"}) {
                QFile::remove(dir.file(name));
                QDir(dir.file(name)).removeRecursively();
                QFile::copy(QStringLiteral(ICON_DIR "/") + QLatin1String(name), dir.file(name));
            }
        }
        QCOMPARE(w->declare().Wert, 0);
    }
};

QTEST_MAIN(BadLedFiles)
#include "tst_badfiles.moc"
