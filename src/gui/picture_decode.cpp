#include "gui/picture_decode.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace orvel::gui {

QImage decode_picture(const std::string& bytes, QSize bound) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // The limits the program's own PNG decoding keeps: a header claiming more is refused before
    // any row is read.
    if (size.isValid() &&
        (static_cast<std::uint32_t>(size.width()) > max_image_dimension ||
         static_cast<std::uint32_t>(size.height()) > max_image_dimension ||
         static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) >
             max_image_pixels))
        return QImage();
    if (size.isValid() && bound.isValid() &&
        (size.width() > bound.width() || size.height() > bound.height()))
        reader.setScaledSize(size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    // A reader that cannot scale while decoding (an icon) gives the whole picture: it is small.
    if (!image.isNull() && bound.isValid() &&
        (image.width() > bound.width() || image.height() > bound.height()))
        image = image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage load_shown_picture(const PictureLocation& location, QSize bound, ZipIndex* archives) {
    const std::optional<std::string> bytes = load_picture_bytes(location, archives);
    return bytes ? decode_picture(*bytes, bound) : QImage();
}

} // namespace orvel::gui
