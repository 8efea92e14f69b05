// Writes one image of an icon file as PNG, for the desktop's icon theme.
//
// Usage: exporticon ICON SIZE OUT.png   (takes the SIZE x SIZE image with the most colours)

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: exporticon ICON SIZE OUT.png\n");
        return 2;
    }
    const int size = QByteArray(argv[2]).toInt();
    QImageReader reader(QString::fromLocal8Bit(argv[1]), "ico");
    QImage best;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.size() == QSize(size, size) && best.isNull())
            best = image; // images are stored most colours first
    }
    if (best.isNull() || !best.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "exporticon: no %dx%d image in %s\n", size, size, argv[1]);
        return 1;
    }
    return 0;
}
