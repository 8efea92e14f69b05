// Port access through the stand-in libieee1284: what is written, which port
// is taken, that every failure leaves nothing behind, and that a port held
// by another program never holds up the caller.

#include "M_inpout.h"
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

namespace {

// What a PortError says, to the user and on stderr; empty if none was thrown.
QStringList failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const PortError& e) {
        return {QString::fromUtf8(e.what()), QString::fromStdString(e.detail())};
    }
    return {};
}

const QString Busy = QString::fromUtf8(PortText::Busy);

} // namespace

class PortModule : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheFirstParallelPortClaimed_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::newRow("the one at 0x378, though listed second") << QByteArray("ok");
        QTest::newRow("none at 0x378: the first listed") << QByteArray("otherport");
    }

    void keepsTheFirstParallelPortClaimed()
    {
        QFETCH(QByteArray, mode);
        FakePort fake;
        fake.setMode(mode.constData());
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

    void failureUndoesEverythingAndIsTriedAgain_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QStringList>("calls");

        const QString lib = QString::fromLatin1(M_inpout::PortLibrary);
        const QStringList opened{"load", "find", "open parport0", "free", "unload"};
        QTest::newRow("library missing")
            << "libieee1284-missing.so.3" << QByteArray("ok") << PortText::LibraryMissing
            << "cannot open shared object file" << QStringList();
        QTest::newRow("library unusable")
            << QCoreApplication::applicationDirPath() << QByteArray("ok")
            << PortText::LibraryUnusable << "Is a directory" << QStringList();
        QTest::newRow("symbol missing")
            << "libieee1284-noclaim.so.3" << QByteArray("ok") << PortText::LibraryUnusable
            << "ieee1284_claim" << QStringList{"load", "unload"};
        QTest::newRow("find fails") << lib << QByteArray("findfail") << PortText::SearchFailed
                                    << "-6" << QStringList{"load", "find", "unload"};
        QTest::newRow("no port listed") << lib << QByteArray("noports") << PortText::NoPort << ""
                                        << QStringList{"load", "find", "free", "unload"};
        QTest::newRow("legacy address without a port")
            << lib << QByteArray("nodevice") << PortText::NoPort << ""
            << QStringList{"load", "find", "open 0x378", "free", "unload"};
        QTest::newRow("open refused")
            << lib << QByteArray("openrefused") << PortText::AccessRefused << "parport0" << opened;
        QTest::newRow("open fails")
            << lib << QByteArray("openfails") << PortText::OpenFailed << "parport0" << opened;
        QTest::newRow("claim refused")
            << lib << QByteArray("claimrefused") << PortText::Busy << "parport0"
            << QStringList{"load",  "find", "open parport0", "claim parport0",
                           "close", "free", "unload"};
    }

    void failureUndoesEverythingAndIsTriedAgain()
    {
        QFETCH(QString, library);
        QFETCH(QByteArray, mode);
        QFETCH(QString, why);
        QFETCH(QString, detail);
        QFETCH(QStringList, calls);

        FakePort fake;
        fake.setMode(mode.constData());
        M_inpout port(library.toStdString());
        for (int attempt = 1; attempt <= 2; ++attempt) {
            const QStringList failure = failureOf([&] { port.Out32(888, 7); });
            QCOMPARE(failure.value(0), why); // German only
            QVERIFY2(failure.value(1).contains(detail), qPrintable(failure.value(1)));
            QCOMPARE(fake.calls(), calls);
            fake.clear();
        }
        if (library == QLatin1String(M_inpout::PortLibrary)) {
            fake.setMode("ok");
            port.Out32(888, 7);
            QCOMPARE(fake.writes(), QList<int>{7});
        }
    }

    // Another program holds the port: the claim waits until FAKE1284_GO exists.
    void portHeldElsewhereNeverHoldsUpTheCaller_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("endsFirst");
        for (const char* mode : {"claimwaits", "claimstuck"}) { // stuck: deaf to signals
            QTest::addRow("%s, the other program lets go", mode) << QByteArray(mode) << false;
            QTest::addRow("%s, this program ends first", mode) << QByteArray(mode) << true;
        }
    }

    void portHeldElsewhereNeverHoldsUpTheCaller()
    {
        QFETCH(QByteArray, mode);
        QFETCH(bool, endsFirst);
        FakePort fake;
        fake.setMode(mode.constData());
        QTemporaryDir dir;
        const QString go = dir.filePath("go");
        qputenv("FAKE1284_GO", QFile::encodeName(go));
        auto port = std::make_optional<M_inpout>();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(failureOf([&] { port->Out32(888, 1); }).value(0), Busy);
        QCOMPARE_LT(clock.restart(), 1000);
        QCOMPARE(failureOf([&] { port->Out32(888, 2); }).value(0), Busy); // still waiting
        if (endsFirst)
            port.reset();
        QCOMPARE_LT(clock.elapsed(), 50); // at once
        // A claim that heeds signals is cut short rather than left waiting.
        QCOMPARE(fake.calls().contains("claim cut short"), mode == "claimwaits");

        QVERIFY(QFile(go).open(QIODevice::WriteOnly));
        if (endsFirst) { // given back unwritten
            QTRY_COMPARE(fake.calls().last(), QStringLiteral("unload"));
            QCOMPARE(fake.writes(), QList<int>());
        } else { // the last byte asked for arrives, and the port is kept
            QTRY_COMPARE(fake.writes(), QList<int>{2});
            port->Out32(888, 3);
            QCOMPARE(fake.writes(), (QList<int>{2, 3}));
            QVERIFY(!fake.calls().contains("release"));
        }
        QVERIFY(!fake.calls().contains("claim while queued"));
        qunsetenv("FAKE1284_GO");
    }

    void servesNoAddressButTheDataPort()
    {
        FakePort fake;
        M_inpout port;
        for (const int address : {889, 890, -888}) { // status, control, nonsense
            QVERIFY_THROWS_EXCEPTION(PortError, port.Out32(address, 1));
            QVERIFY_THROWS_EXCEPTION(PortError, std::ignore = port.Inp32(address));
        }
        QCOMPARE(fake.calls(), QStringList());
    }
};

QTEST_MAIN(PortModule)
#include "tst_port.moc"
