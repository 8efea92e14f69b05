#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <stdexcept>

// Reading and decoding the LED icon files, read anew at every call.
namespace led {

// Why an image could not be had: German, fit for a warning line.
class ImageError : public std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// No LED icon comes near this; anything larger is not read.
constexpr qint64 MaxFileSize = 1 << 20;

// The program directory followed by the file name, whose leading backslash
// stands for the directory separator.
[[nodiscard]] QString path(const QString& programDirectory, const QString& fileName);

// The 32x32 image with the most colours (else the largest) of an ICO file
// with BMP-coded images; anything else is refused.
[[nodiscard]] QImage decode(const QByteArray& bytes);

// Reads the whole file and decodes it. Refuses anything but a regular file of
// at most MaxFileSize bytes: never opens a directory, FIFO or device and never
// blocks. Every failure names the file.
[[nodiscard]] QImage load(const QString& filePath);

} // namespace led
