// Port access through the stand-in libieee1284: what is written, which port
// is taken, and that every failure leaves nothing behind.

#include "M_inpout.h"
#include "TestSupport.h"

#include <QTest>

#include <optional>

class PortModule : public QObject
{
    Q_OBJECT

private slots:
    void keepsThePortClaimedBetweenWrites()
    {
        FakePort fake;
        {
            M_inpout port;
            port.Out32(888, 1);
            port.Out32(888, 5);
            port.Out32(888, 0x1FF); // only the low eight bits reach the lines
            QCOMPARE(port.Inp32(888), 255);
        }
        QCOMPARE(fake.calls(), QStringList({"load", "find", "open parport0", "claim parport0",
                                            "write 1", "write 5", "write 255", "read", "release",
                                            "close", "free", "unload"}));
    }

    void takesTheFirstParallelPort_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("opened");
        QTest::newRow("the one at 0x378, though listed second")
            << QByteArray("ok") << "open parport0";
        QTest::newRow("none at 0x378: the first listed")
            << QByteArray("otherport") << "open parport0";
    }

    void takesTheFirstParallelPort()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QString, opened);
        FakePort fake;
        fake.setMode(mode.constData());
        M_inpout port;
        port.Out32(888, 3);
        QCOMPARE(fake.count(opened), 1);
        QCOMPARE(fake.writes(), QList<int>{3});
    }

    void failureUndoesEverythingAndIsTriedAgain_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QStringList>("calls");

        const QString lib = QString::fromLatin1(M_inpout::PortLibrary);
        QTest::newRow("library missing") << "libieee1284-missing.so.3" << QByteArray("ok")
                                         << "nicht installiert" << QStringList();
        QTest::newRow("symbol missing") << "libieee1284-noclaim.so.3" << QByteArray("ok")
                                        << "unvollständig" << QStringList{"load", "unload"};
        QTest::newRow("find fails")
            << lib << QByteArray("findfail") << "Suche" << QStringList{"load", "find", "unload"};
        QTest::newRow("no port listed") << lib << QByteArray("noports") << "kein Parallelport"
                                        << QStringList{"load", "find", "free", "unload"};
        QTest::newRow("legacy address without a port")
            << lib << QByteArray("nodevice") << "kein Parallelport"
            << QStringList{"load", "find", "open 0x378", "free", "unload"};
        QTest::newRow("open refused")
            << lib << QByteArray("openrefused") << "Gruppe lp"
            << QStringList{"load", "find", "open parport0", "free", "unload"};
        QTest::newRow("open fails")
            << lib << QByteArray("openfails") << "nicht öffnen"
            << QStringList{"load", "find", "open parport0", "free", "unload"};
        QTest::newRow("claim refused")
            << lib << QByteArray("claimrefused") << "belegt"
            << QStringList{"load",  "find", "open parport0", "claim parport0",
                           "close", "free", "unload"};
    }

    void failureUndoesEverythingAndIsTriedAgain()
    {
        QFETCH(QString, library);
        QFETCH(QByteArray, mode);
        QFETCH(QString, why);
        QFETCH(QStringList, calls);

        FakePort fake;
        fake.setMode(mode.constData());
        M_inpout port(library.toStdString());
        for (int attempt = 1; attempt <= 2; ++attempt) {
            std::optional<QString> error;
            try {
                port.Out32(888, 7);
            } catch (const PortError& e) {
                error = QString::fromUtf8(e.what());
            }
            QVERIFY(error);
            QVERIFY2(error->contains(why), qPrintable(*error));
            QVERIFY2(error->endsWith(u'.'), "one sentence");
            QCOMPARE(fake.calls(), calls);
            fake.clear();
        }
        if (library == QLatin1String(M_inpout::PortLibrary)) {
            fake.setMode("ok");
            port.Out32(888, 7);
            QCOMPARE(fake.writes(), QList<int>{7});
        }
    }

    void servesNoAddressButTheDataPort_data()
    {
        QTest::addColumn<int>("address");
        QTest::newRow("status register 889") << 889;
        QTest::newRow("control register 890") << 890;
        QTest::newRow("second port 0x278") << 0x278;
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -888;
    }

    void servesNoAddressButTheDataPort()
    {
        QFETCH(int, address);
        FakePort fake;
        M_inpout port;
        QVERIFY_THROWS_EXCEPTION(PortError, port.Out32(address, 1));
        QVERIFY_THROWS_EXCEPTION(PortError, std::ignore = port.Inp32(address));
        QCOMPARE(fake.calls(), QStringList());
    }
};

QTEST_MAIN(PortModule)
#include "tst_port.moc"
