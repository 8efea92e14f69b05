// Building the window from its description; no behaviour here.

#include "frmBitlicht.h"
#include "frmBitlicht_layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using namespace layout;

QRect toPixels(const Box& b)
{
    return {layout::toPixels(b.left), layout::toPixels(b.top), layout::toPixels(b.width),
            layout::toPixels(b.height)};
}

QFont arialBold(qreal points)
{
    // Arial resolves through fontconfig to its metric twin, Liberation Sans.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void applyLook(QLineEdit* field, Look look)
{
    switch (look) {
    case DecimalField:
        field->setFont(arialBold(48));
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case CharacterField:
        field->setFont(arialBold(48));
        field->setAlignment(Qt::AlignCenter);
        break;
    case PlaceValue: {
        field->setFont(arialBold(14.25));
        field->setAlignment(Qt::AlignCenter);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
        field->setPalette(palette);
        break;
    }
    case Digit:
        field->setFont(arialBold(36));
        field->setAlignment(Qt::AlignCenter);
        break;
    case Default:
        break;
    }
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

QWidget* makeControl(Kind kind, const QString& text, Look look, QWidget* container)
{
    switch (kind) {
    case TextBox: {
        // Font first, then text: the text is laid out once, in its own font.
        auto* field = new QLineEdit(container);
        applyLook(field, look);
        field->setText(text);
        return field;
    }
    case CheckBox:
        return new QCheckBox(text, container);
    case Frame:
        return new QGroupBox(text, container);
    case PictureBox:
        return new LedPicture(container);
    }
    return nullptr;
}

template <typename Widget>
Widget* make(Kind kind, const QString& text, Look look, QWidget* container)
{
    return static_cast<Widget*>(makeControl(kind, text, look, container));
}

// Name, place and tab index, as the description gives them.
void describe(QWidget* control, const QString& name, const Box& box, int tabIndex)
{
    control->setObjectName(name);
    control->setGeometry(toPixels(box));
    control->setProperty("tabIndex", tabIndex);
}

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

Box at(Box box, int left, int width = 0)
{
    box.left = left;
    if (width)
        box.width = width;
    return box;
}

} // namespace

void frmBitlicht::buildWindow()
{
    setFixedSize(layout::toPixels(ClientWidth), layout::toPixels(ClientHeight));
    QFont dialogFont(QString::fromLatin1(DialogFontFamily));
    dialogFont.setPointSizeF(DialogFontPoints);
    setFont(dialogFont);
    setWindowIcon(QIcon(QPixmap::fromImage(m_builtInDark)));

    for (const Control& c : FormControls) {
        QWidget* container = c.container ? findChild<QWidget*>(c.container) : this;
        QWidget* control = makeControl(c.kind, QString::fromUtf8(c.text), c.look, container);
        describe(control, QLatin1String(c.name), c.box, c.tabIndex);
    }
    Frame1 = findChild<QGroupBox*>(QStringLiteral("Frame1"));
    txtWertausgabe = findChild<QLineEdit*>(QStringLiteral("txtWertausgabe"));
    txtAsc = findChild<QLineEdit*>(QStringLiteral("txtAsc"));
    chkLoesungAnzeigen = findChild<QCheckBox*>(QStringLiteral("chkLoesungAnzeigen"));
    chkAsc = findChild<QCheckBox*>(QStringLiteral("chkAsc"));
    ChkSimulation = findChild<QCheckBox*>(QStringLiteral("ChkSimulation"));

    buildBitColumns();
    orderTabs();
    describeForScreenReaders();
}

void frmBitlicht::buildBitColumns()
{
    auto* placeFrame = findChild<QWidget*>(QLatin1String(PlaceValueFrame));
    auto* digitFrame = findChild<QWidget*>(QLatin1String(DigitFrame));
    auto* bitFrame = findChild<QWidget*>(QLatin1String(BitFrame));
    m_bitGroup = new QButtonGroup(this);
    m_bitGroup->setExclusive(false);

    for (const BitColumn& col : BitColumns) {
        const int b = col.bit;
        const int p = placeValueIndex(b);
        txtDualAusgabe[p] =
            make<QLineEdit>(TextBox, QString::number(1 << b), PlaceValue, placeFrame);
        describe(txtDualAusgabe[p], indexed("txtDualAusgabe", p),
                 at(PlaceValueBox, col.placeValueLeft), col.placeValueTab);

        txtDualAusgabe[b] = make<QLineEdit>(TextBox, {}, Digit, digitFrame);
        describe(txtDualAusgabe[b], indexed("txtDualAusgabe", b), at(DigitBox, col.digitLeft),
                 col.digitTab);

        // Every LED starts with the built-in lit image.
        Picture1[b] = make<QLabel>(PictureBox, {}, Default, bitFrame);
        Picture1[b]->setPixmap(QPixmap::fromImage(m_builtInLit));
        describe(Picture1[b], indexed("Picture1", b), at(LedBox, col.ledLeft), col.ledTab);

        chkD[b] = make<QCheckBox>(CheckBox, QStringLiteral("D%1").arg(b), Default, bitFrame);
        describe(chkD[b], indexed("chkD", b), at(BitBox, col.boxLeft, col.boxWidth), col.boxTab);
        m_bitGroup->addButton(chkD[b], b);
    }
}

// Keyboard order as the tab indices give it; frames and LEDs take no focus.
void frmBitlicht::orderTabs()
{
    std::vector<std::pair<int, QWidget*>> byIndex;
    for (QWidget* w : findChildren<QWidget*>())
        if (w->property("tabIndex").isValid() && w->focusPolicy() != Qt::NoFocus)
            byIndex.emplace_back(w->property("tabIndex").toInt(), w);
    std::sort(byIndex.begin(), byIndex.end());
    for (std::size_t i = 1; i < byIndex.size(); ++i)
        setTabOrder(byIndex[i - 1].second, byIndex[i].second);
    chkD[0]->setFocus();
}

void frmBitlicht::describeForScreenReaders()
{
    for (int b = 0; b < 8; ++b) {
        const int placeValue = 1 << b;
        chkD[b]->setAccessibleName(
            QStringLiteral("Bit D%1, Stellenwert %2").arg(b).arg(placeValue));
        Picture1[b]->setAccessibleName(QStringLiteral("LED D%1").arg(b));
        txtDualAusgabe[b]->setAccessibleName(QStringLiteral("Ziffer von Bit D%1").arg(b));
        txtDualAusgabe[placeValueIndex(b)]->setAccessibleName(
            QStringLiteral("Stellenwert von Bit D%1").arg(b));
    }
    txtWertausgabe->setAccessibleName(QStringLiteral("Dezimalzahl"));
    txtAsc->setAccessibleName(QStringLiteral("Zeichen"));
    chkLoesungAnzeigen->setAccessibleDescription(
        QStringLiteral("Zeigt oder verbirgt die Dezimalzahl"));
    chkAsc->setAccessibleDescription(QStringLiteral("Zeigt oder verbirgt das Zeichen des Bytes"));
    ChkSimulation->setAccessibleDescription(
        QStringLiteral("Wenn gesetzt, wird der Parallelport nicht beschrieben"));
}

void frmBitlicht::connectReactions()
{
    connect(m_bitGroup, &QButtonGroup::idToggled, this,
            [this](int id) { react([this, id] { chkD_Click(id); }); });
    connect(ChkSimulation, &QCheckBox::toggled, this,
            [this] { react([this] { ChkSimulation_Click(); }); });
    connect(chkLoesungAnzeigen, &QCheckBox::toggled, this,
            [this] { react([this] { chkLoesungAnzeigen_Click(); }); });
    connect(chkAsc, &QCheckBox::toggled, this, [this] { react([this] { chkAsc_Click(); }); });
}
