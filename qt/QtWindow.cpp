// The window in Qt Widgets: its controls built from the window description,
// and the operations the reactions use on it.

#include "QtWindow.h"

#include "frmBitlicht_texts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

using namespace layout;

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// A deep copy: the pixmap made from it may keep sharing its pixels.
QImage toQImage(const led::Image& image)
{
    return QImage(reinterpret_cast<const uchar*>(image.argb.data()), image.width, image.height,
                  QImage::Format_ARGB32)
        .copy();
}

QRect toPixels(const Rect& r)
{
    return {layout::toPixels(r.left), layout::toPixels(r.top), layout::toPixels(r.width),
            layout::toPixels(r.height)};
}

QColor rgb(std::uint32_t value)
{
    return QColor::fromRgb(value);
}

Qt::Alignment alignmentOf(Align align)
{
    switch (align) {
    case Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Centre:
        return Qt::AlignCenter;
    case Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Arial resolves through fontconfig to its metric twin, Liberation Sans.
QFont fontOf(const LookData& look)
{
    QFont font(QString::fromUtf8(TextFont));
    font.setPixelSize(layout::toPixels(look.twips));
    font.setWeight(QFont::Weight(look.weight));
    return font;
}

void applyLook(QLineEdit* field, const LookData& look)
{
    field->setFont(fontOf(look));
    field->setAlignment(alignmentOf(look.align));
    if (look.backColour == NoColour && look.foreColour == NoColour)
        return;
    QPalette palette = field->palette();
    if (look.backColour != NoColour)
        palette.setColor(QPalette::Base, rgb(look.backColour));
    if (look.foreColour != NoColour)
        palette.setColor(QPalette::Text, rgb(look.foreColour));
    field->setPalette(palette);
}

// A picture box: its image centred at its own size. On a dense screen the
// painter scales it by whole device pixels, so the LED stays sharp where
// QLabel would smooth it.
class LedPicture final : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QPixmap image = pixmap();
        if (image.isNull())
            return;
        QRect at(QPoint(0, 0), image.size() / image.devicePixelRatio());
        at.moveCenter(rect().center());
        QPainter(this).drawPixmap(at, image);
    }
};

QWidget* makeControl(const Control& c, QWidget* container)
{
    switch (c.kind) {
    case TextBox: {
        // Font first, then text: the text is laid out once, in its own font.
        auto* field = new QLineEdit(container);
        applyLook(field, lookOf(c.look));
        field->setText(QString::fromUtf8(c.text));
        return field;
    }
    case CheckBox:
        return new QCheckBox(QString::fromUtf8(c.text), container);
    case Frame:
        return new QGroupBox(QString::fromUtf8(c.text), container);
    case PictureBox:
        return new LedPicture(container);
    }
    return nullptr;
}

} // namespace

void installGermanQtTexts()
{
    static QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

QtWindow::QtWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmBitlicht"));
    buildWindow();
}

void QtWindow::buildWindow()
{
    setFixedSize(layout::toPixels(ClientWidth), layout::toPixels(ClientHeight));
    setFont(fontOf(lookOf(Default))); // the captions'

    for (int i = 0; i < ControlCount; ++i) {
        const Control& c = Controls[i];
        QWidget* container = c.container == Form ? this : control(c.container);
        QWidget* w = makeControl(c, container);
        w->setObjectName(QString::fromStdString(layout::objectName(c.ref)));
        w->setGeometry(toPixels(c.place));
        w->setAccessibleName(QString::fromStdString(layout::accessibleName(c.ref)));
        w->setAccessibleDescription(QString::fromStdString(layout::accessibleDescription(c.ref)));
        m_controls[i] = w;
        // Each check box on its own: a button group would keep all but one
        // out of the tab order. toggled() comes with every change, whatever
        // made it (mouse, Space, a screen reader's toggle or press,
        // setChecked), once.
        if (auto* box = qobject_cast<QCheckBox*>(w))
            connect(box, &QCheckBox::toggled, this, [this, ref = c.ref] {
                if (m_reactions)
                    m_reactions->boxChanged(ref);
            });
    }
    orderTabs();
}

void QtWindow::orderTabs()
{
    for (std::size_t i = 1; i < TabOrder.size(); ++i)
        setTabOrder(control(TabOrder[i - 1]), control(TabOrder[i]));
    control(FirstFocus)->setFocus();
}

QWidget* QtWindow::control(Ref ref) const
{
    return m_controls[std::size_t(position(ref))];
}

int QtWindow::value(Ref box) const
{
    return control<QCheckBox>(box)->isChecked() ? 1 : 0;
}

void QtWindow::setValue(Ref box, int value)
{
    control<QCheckBox>(box)->setChecked(value == 1);
}

void QtWindow::setText(Ref field, std::string_view value)
{
    control<QLineEdit>(field)->setText(text(value));
}

void QtWindow::setFieldVisible(Ref field, bool visible)
{
    control(field)->setVisible(visible);
}

void QtWindow::setPicture(int index, const led::Image& image, bool lit)
{
    auto* picture = control<QLabel>({Picture1, index});
    picture->setPixmap(QPixmap::fromImage(toQImage(image)));
    picture->setAccessibleDescription(text(ledState(lit)));
}

void QtWindow::setTitle(std::string_view title)
{
    setWindowTitle(text(title));
}

void QtWindow::setIcon(const led::Image& image)
{
    setWindowIcon(QPixmap::fromImage(toQImage(image)));
}

void QtWindow::setPortState(std::string_view caption, std::string_view toolTip)
{
    auto* frame = control<QGroupBox>({Frame1});
    if (frame->title() == text(caption) && frame->accessibleDescription() == text(toolTip))
        return;
    frame->setTitle(text(caption));
    // As rich text, the tool tip wraps to a readable width.
    frame->setToolTip(QStringLiteral("<p>%1</p>").arg(text(toolTip).toHtmlEscaped()));
    frame->setAccessibleDescription(text(toolTip));
}

void QtWindow::postOutputChanged()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_reactions)
                m_reactions->outputChanged();
        },
        Qt::QueuedConnection);
}

void QtWindow::endWithRunTimeError(std::string_view message)
{
    QMessageBox::critical(this, text(RunTimeErrorTitle), text(message));
    std::exit(EXIT_FAILURE);
}
