// The behaviour suite's probe for the Qt window, in process, and what only
// the Qt window has to prove.

#include "Probe.h"
#include "Program.h"
#include "QtWindow.h"

#include <doctest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <iconv.h>
#include <sys/stat.h>
#include <tuple>

namespace {

class QtProbe final : public Probe
{
public:
    explicit QtProbe(const std::filesystem::path& programDirectory)
        : m_program(m_window, programDirectory)
    {
        m_window.show();
        m_window.activateWindow();
        if (!QTest::qWaitForWindowActive(&m_window))
            qFatal("the window did not become active");
    }

    void change(Ref box, Via via) override
    {
        auto* b = control<QCheckBox>(box);
        const bool before = b->isChecked();
        if (via == Via::Mouse) {
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
        } else if (via == Via::Program) {
            b->setChecked(!before);
        } else {
            QAccessibleActionInterface* actions =
                QAccessible::queryAccessibleInterface(b)->actionInterface();
            actions->doAction(via == Via::Press ? QAccessibleActionInterface::pressAction()
                                                : QAccessibleActionInterface::toggleAction());
            // A press is shown as one: the click comes a moment later.
            std::ignore =
                QTest::qWaitFor([&] { return b->isChecked() != before && !b->isDown(); }, 2000);
        }
    }

    void press(Key key) override
    {
        QTest::keyClick(QApplication::focusWidget(),
                        key == Key::Space ? Qt::Key_Space
                        : key == Key::Tab ? Qt::Key_Tab
                                          : Qt::Key_Backtab,
                        key == Key::BackTab ? Qt::ShiftModifier : Qt::NoModifier);
    }

    int value(Ref box) override { return control<QCheckBox>(box)->isChecked() ? 1 : 0; }

    std::string text(Ref ref) override
    {
        QWidget* w = control<QWidget>(ref);
        if (auto* field = qobject_cast<QLineEdit*>(w))
            return field->text().toStdString();
        if (auto* frame = qobject_cast<QGroupBox*>(w))
            return frame->title().toStdString();
        return qobject_cast<QCheckBox*>(w)->text().toStdString();
    }

    bool visible(Ref ref) override { return control<QWidget>(ref)->isVisible(); }

    std::string focused() override
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName().toStdString() : std::string();
    }

    std::string title() override { return m_window.windowTitle().toStdString(); }

    std::string accessible(Ref ref, Said what) override
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control<QWidget>(ref));
        return a ? a->text(what == Said::Name ? QAccessible::Name : QAccessible::Description)
                       .toStdString()
                 : std::string();
    }

    led::Image picture() override
    {
        const QImage shot = m_window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        led::Image image{shot.width(), shot.height(), {}};
        for (int y = 0; y < shot.height(); ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(shot.constScanLine(y));
            image.argb.insert(image.argb.end(), row, row + shot.width());
        }
        return image;
    }

    int dotsPerInch() override { return qRound(96 * m_window.devicePixelRatioF()); }

private:
    template <typename Widget> Widget* control(Ref ref)
    {
        auto* w = m_window.findChild<Widget*>(QString::fromStdString(layout::objectName(ref)));
        if (!w)
            qFatal("no control %s", layout::objectName(ref).c_str());
        return w;
    }

    QtWindow m_window;
    Program m_program;
};

} // namespace

std::unique_ptr<Probe> startProgram(const std::filesystem::path& programDirectory)
{
    return std::make_unique<QtProbe>(programDirectory);
}

// BITLICHT_PALETTE=dark: a dark desktop theme, under which the place-value
// fields must keep their own readable colours (the golden picture shows it).
const bool Dark = qEnvironmentVariable("BITLICHT_PALETTE") == u"dark";

int runWithWindows(int argc, char** argv, const std::function<int()>& suite)
{
    QApplication app(argc, argv);
    if (Dark) // white texts on black and dark grey
        QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30)));
    return suite();
}

const Platform& platform()
{
    static const Platform qt{Dark ? "qt-dark" : "qt", "openrefused",
                             PortText::AccessRefused, PortText::LibraryMissing,
                             PortText::ParallelName,  "888"};
    return qt;
}

TEST_CASE("Qt's own texts are German, whatever the desktop's language")
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    installGermanQtTexts();
    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text().remove(u'&').section(u'\t', 0, 0);
    CHECK_MESSAGE(texts.contains(QStringLiteral("Einfügen")), texts.join(u',').toStdString());
    QLocale::setDefault(before);
}

std::string referenceCp1252(unsigned char code)
{
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    char in = char(code), out[8] = {};
    char* from = &in;
    char* to = out;
    std::size_t inLeft = 1, outLeft = sizeof out;
    const bool converted = iconv(cd, &from, &inLeft, &to, &outLeft) != std::size_t(-1);
    iconv_close(cd);
    if (converted)
        return std::string(out, sizeof out - outLeft);
    // The five bytes the code page leaves out stand for the C1 controls of
    // the same number, as Windows converts them.
    return QString(QChar(code)).toStdString();
}

void setPortMode(const char* mode)
{
    qputenv("FAKE1284_MODE", mode);
}

bool makeSpecialFile(const std::string& kind, const std::filesystem::path& at)
{
    if (kind == "fifo")
        return ::mkfifo(at.c_str(), 0600) == 0;
    std::filesystem::create_symlink("/dev/zero", at);
    return true;
}
