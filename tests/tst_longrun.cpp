// A long seeded random run through every way of changing the window: after
// each step the state, the window and the port writes must agree, and memory
// must not grow with the number of toggles.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <random>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryIsMeaningful = false; // the sanitizer holds freed memory back
#else
constexpr bool MemoryIsMeaningful = true;
#endif

} // namespace

class LongRun : public QObject
{
    Q_OBJECT

private slots:
    void randomStepsKeepEverythingInStep()
    {
        const int steps = qEnvironmentVariableIntValue("BITLICHT_LONG_RUN_STEPS") > 0
                              ? qEnvironmentVariableIntValue("BITLICHT_LONG_RUN_STEPS")
                              : 100000;
        FakePort fake;
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCheckBox* simulation = box(*w, "ChkSimulation");
        QCheckBox* showDecimal = box(*w, "chkLoesungAnzeigen");
        QCheckBox* showCharacter = box(*w, "chkAsc");

        QFile log(qEnvironmentVariable("FAKE1284_LOG"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        log.readAll(); // the start's write

        std::mt19937 random(20261207);
        long memoryAt1000 = 0;
        int writesChecked = 0;
        for (int step = 1; step <= steps; ++step) {
            const int bit = int(random() % 8);
            QCheckBox* target = bitBox(*w, bit);
            const bool wasSet = target->isChecked();
            const bool simulated = simulation->isChecked();
            switch (random() % 10) {
            case 0:
            case 1:
            case 2:
                QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(7, target->height() / 2));
                break;
            case 3:
            case 4:
            case 5:
                QTest::keyClick(target, Qt::Key_Space);
                break;
            case 6:
            case 7:
                target->setChecked(random() % 2 == 0);
                break;
            case 8:
                simulation->click();
                break;
            default:
                (random() % 2 ? showDecimal : showCharacter)->click();
                break;
            }
            const bool bitChanged = target->isChecked() != wasSet;
            QCoreApplication::processEvents(); // as the event loop does between clicks

            int sum = 0;
            for (int b = 0; b < 8; ++b)
                sum += bitBox(*w, b)->isChecked() ? 1 << b : 0;
            QCOMPARE(w->declare().Wert, sum);
            QCOMPARE(w->declare().Simulation, simulation->isChecked() ? 1 : 0);
            QCOMPARE(field(*w, "txtWertausgabe")->text(), QString::number(sum));
            QCOMPARE(field(*w, QStringLiteral("txtDualAusgabe(%1)").arg(bit))->text(),
                     target->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(ledState(picture(*w, bit)),
                     target->isChecked() ? LedShows::Lit : LedShows::Dark);

            const QList<QByteArray> calls = log.readAll().split('\n');
            QList<int> written;
            for (const QByteArray& call : calls)
                if (call.startsWith("write "))
                    written << call.mid(6).toInt();
            if (bitChanged && !simulated)
                QCOMPARE(written, QList<int>{sum});
            else
                QCOMPARE(written, QList<int>());
            writesChecked += int(written.size());

            if (step == 1000)
                memoryAt1000 = residentKiB();
        }
        // Full check of all LEDs at the end.
        for (int b = 0; b < 8; ++b)
            QCOMPARE(ledState(picture(*w, b)),
                     bitBox(*w, b)->isChecked() ? LedShows::Lit : LedShows::Dark);

        const long memoryAtEnd = residentKiB();
        qInfo("long run: %d steps, %d port writes checked, resident memory %ld KiB after "
              "1000 steps, %ld KiB after %d",
              steps, writesChecked, memoryAt1000, memoryAtEnd, steps);
        if (MemoryIsMeaningful && steps >= 10000)
            QVERIFY2(memoryAtEnd - memoryAt1000 <= 1024, "memory grows with the toggles");
    }
};

QTEST_MAIN(LongRun)
#include "tst_longrun.moc"
