// PNG-coded icon images, decoded by QtGui's own PNG reader (no plugin).

#include "LedImage.h"

#include <QImage>

namespace led {

Image decodePng(Bytes png)
{
    const QImage decoded =
        QImage::fromData(png.data(), int(png.size()), "PNG").convertToFormat(QImage::Format_ARGB32);
    if (decoded.isNull())
        throw ImageError("PNG-Bild nicht lesbar");
    Image image{decoded.width(), decoded.height(), {}};
    image.argb.reserve(std::size_t(image.width) * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(decoded.constScanLine(y));
        image.argb.insert(image.argb.end(), row, row + image.width);
    }
    return image;
}

} // namespace led
