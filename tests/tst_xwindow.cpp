// The real program in a real X window: started as a user would, clicked
// through the X test extension (xdotool), looked at in a screenshot, with
// the stand-in port library found through the ordinary library search.
// Run under xvfb-run with QT_QPA_PLATFORM=xcb.

#include "TestSupport.h"
#include "frmBitlicht_layout.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

using namespace layout;

class RealWindow : public QObject
{
    Q_OBJECT

    QProcess m_program;
    QString m_window;
    std::unique_ptr<FakePort> m_fake;

    static QString xdotool(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral("xdotool"), args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    static QPoint frame1()
    {
        return {toPixels(FormControls[6].box.left), toPixels(FormControls[6].box.top)};
    }
    static const BitColumn& column(int bit) { return BitColumns[7 - bit]; }

    void click(QPoint at)
    {
        xdotool({"mousemove", "--window", m_window, QString::number(at.x()),
                 QString::number(at.y()), "click", "1"});
    }
    void clickBit(int bit)
    {
        click(frame1() + QPoint(toPixels(column(bit).boxLeft) + 8, toPixels(BitBox.top) + 12));
    }
    void clickSimulation()
    {
        const Box& b = FormControls[7].box;
        click({toPixels(b.left) + 8, toPixels(b.top) + 10});
    }

    [[nodiscard]] QImage screenshot() const
    {
        return QGuiApplication::primaryScreen()->grabWindow(m_window.toULongLong()).toImage();
    }

    // The colour of the LED's disc below its highlight.
    [[nodiscard]] LedShows ledOnScreen(int bit) const
    {
        const QPoint box = frame1() + QPoint(toPixels(column(bit).ledLeft), toPixels(LedBox.top));
        const QColor c = screenshot().pixelColor(box + QPoint(21, 25));
        if (c == QColor(85, 255, 0))
            return LedShows::Lit;
        if (c == QColor(37, 115, 0))
            return LedShows::Dark;
        return LedShows::Nothing;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under xvfb-run");
        m_fake = std::make_unique<FakePort>();
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_program.start(QStringLiteral(BITLICHT_EXE), {});
        QVERIFY(m_program.waitForStarted());
        m_window = xdotool({"search", "--sync", "--onlyvisible", "--name", "^Bitlicht"})
                       .section(u'\n', 0, 0);
        QVERIFY(!m_window.isEmpty());
    }

    void startsDarkWithThePortCleared()
    {
        QVERIFY(xdotool({"getwindowname", m_window}).startsWith(QStringLiteral("Bitlicht")));
        const QString geometry = xdotool({"getwindowgeometry", m_window});
        QVERIFY2(geometry.contains(QStringLiteral("481x374")), qPrintable(geometry));
        QTRY_COMPARE(m_fake->writes(), QList<int>{0});
        for (int b = 0; b < 8; ++b)
            QTRY_COMPARE(ledOnScreen(b), LedShows::Dark);
    }

    void clicksLightTheLedsAndWriteThePort()
    {
        clickBit(0); // simulation is on: lit, not written
        QTRY_COMPARE(ledOnScreen(0), LedShows::Lit);
        QCOMPARE(m_fake->writes(), QList<int>{0});

        clickSimulation();
        clickBit(2);
        QTRY_COMPARE(m_fake->writes(), (QList<int>{0, 5}));
        for (int b : {1, 3, 4, 5, 6, 7})
            clickBit(b);
        QTRY_COMPARE(m_fake->writes().size(), 8);
        QCOMPARE(m_fake->writes().last(), 255);
        for (int b = 0; b < 8; ++b)
            QTRY_COMPARE(ledOnScreen(b), LedShows::Lit);

        clickBit(7);
        QTRY_COMPARE(m_fake->writes().last(), 127);
        QTRY_COMPARE(ledOnScreen(7), LedShows::Dark);

        clickSimulation(); // on again: toggles stay in the window
        clickBit(7);
        QTRY_COMPARE(ledOnScreen(7), LedShows::Lit);
        QCOMPARE(m_fake->writes().size(), 9);
        QVERIFY(screenshot().save(QStringLiteral("bitlicht-window.png")));
    }

    void cleanupTestCase()
    {
        m_program.terminate();
        if (!m_program.waitForFinished(5000))
            m_program.kill();
        m_program.waitForFinished();
    }

    // An error nobody expected (here: the port library throws) is reported
    // in a German message box and ends the program with a failure status.
    void unexpectedErrorIsReportedAndEndsTheProgram()
    {
        FakePort fake;
        fake.setMode("throw");
        QProcess failing;
        failing.start(QStringLiteral(BITLICHT_EXE), {});
        QVERIFY(failing.waitForStarted());
        const QString box =
            xdotool({"search", "--sync", "--onlyvisible", "--name", "Laufzeitfehler"})
                .section(u'\n', 0, 0);
        QVERIFY(!box.isEmpty());
        QVERIFY(failing.state() == QProcess::Running); // waits for the user
        xdotool({"key", "--window", box, "Return"});
        QVERIFY(failing.waitForFinished(10000));
        QCOMPARE(failing.exitStatus(), QProcess::NormalExit);
        QCOMPARE(failing.exitCode(), 1);
        QVERIFY(QString::fromUtf8(failing.readAllStandardError()).contains("Testfehler"));
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    RealWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_xwindow.moc"
