// What only the Qt window has to prove: readable under a dark palette, Qt's
// own texts in German, and the LED icon files image by image.
//
// Usage: qt_only ICON_DIR

#include "Check.h"
#include "QtWindow.h"

#include <QApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>

namespace {

std::filesystem::path iconDir;

double luminance(QRgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a text against what it stands on, in the drawn window: the
// commonest colour inside the control is the ground, the one farthest from
// it the text.
double textContrast(const QImage& shot)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++counts[shot.pixel(x, y)];
    const QRgb ground = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                        })->first;
    double best = 1;
    for (const auto& [colour, n] : counts)
        best = std::max(best, contrast(colour, ground));
    return best;
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::ButtonText, Qt::white);
    return p;
}

TEST_CASE("every text is readable (4.5:1) with the default and with a dark palette")
{
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        QtWindow window(iconDir);
        window.show();
        CHECK(QTest::qWaitForWindowExposed(&window), "shown");
        for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
            if (field->text().isEmpty())
                continue;
            // Inside the frame, where the text stands.
            const QImage shot = field->grab(field->rect().adjusted(4, 4, -4, -4)).toImage();
            const double ratio = textContrast(shot);
            CHECK(ratio >= 4.5, field->objectName().toStdString() + (dark ? " dark " : " light ") +
                                    std::to_string(ratio));
        }
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

TEST_CASE("Qt's own texts are German, whatever the desktop's language")
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    installGermanQtTexts();
    QtWindow window(iconDir);
    auto* field = window.findChild<QLineEdit*>(QStringLiteral("txtWertausgabe"));
    const std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text().remove(u'&').section(u'\t', 0, 0);
    const std::string all = texts.join(u',').toStdString();
    CHECK(texts.contains(QStringLiteral("Einfügen")) && texts.contains(QStringLiteral("Kopieren")),
          all);
}

// The images of both icon files, read with Qt's own ICO reader: the disc's
// colour, a transparent corner, and the highlight towards the upper left
// (the 32x32 images: 642 disc and 15 highlight pixels).
TEST_CASE("LED icon files: three images each, colours and highlight as drawn")
{
    const QRgb shine = qRgb(255, 251, 240), white = qRgb(255, 255, 255);
    const std::tuple<const char*, int, QRgb, QRgb> rows[] = {
        {"LEDgruenHe.ico", 32, qRgb(85, 255, 0), shine},
        {"LEDgruenHe.ico", 16, qRgb(0, 255, 85), shine},
        {"LEDgruenHe.ico", 16, qRgb(0, 255, 0), white},
        {"LEDgruenDu.ico", 32, qRgb(37, 115, 0), shine},
        {"LEDgruenDu.ico", 16, qRgb(37, 115, 0), shine},
        {"LEDgruenDu.ico", 16, qRgb(0, 255, 0), white}};
    int index = 0;
    for (const auto& [file, size, disc, highlight] : rows) {
        const std::string at = file + (" image " + std::to_string(index % 3));
        const QString path = QString::fromStdString((iconDir / file).string());
        CHECK_EQ(QFileInfo(path).size(), 3950, at);
        QImageReader reader(path, "ico");
        reader.jumpToImage(index++ % 3);
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        CHECK_EQ(image.width() * 100 + image.height(), size * 101, at + ": size");
        CHECK_EQ(qAlpha(image.pixel(0, 0)), 0, at + ": transparent corner");
        int discs = 0, shines = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                discs += image.pixel(x, y) == disc;
                shines += image.pixel(x, y) == highlight && x < size / 2 && y < size / 2;
            }
        CHECK(size == 16 ? discs > 100 && shines > 0 : discs == 642 && shines == 15,
              at + ": " + std::to_string(discs) + " disc, " + std::to_string(shines) +
                  " highlight");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    iconDir = argc > 1 ? argv[1] : ".";
    return check::runAll();
}
