#include "gui/machine_icon.h"

#include "info/machine_info.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

namespace orvel::gui {

QIcon machine_icon(const Machine& machine, const MamePaths& paths, const std::string& mame_folder) {
    const PictureKind* kind = find_picture_kind("icons");
    if (!kind) return {};
    const std::optional<std::string> bytes =
        load_picture_bytes(find_picture(*kind, machine, paths, mame_folder));
    if (!bytes) return {};
    QByteArray data(bytes->data(), static_cast<qsizetype>(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // An icon file holds one picture per size; QIcon picks the one that fits each use. The
    // format is told from the bytes, so a PNG saved under the ".ico" name works too.
    QImageReader reader(&buffer);
    QIcon icon;
    do {
        const QImage image = reader.read();
        if (image.isNull()) break;
        icon.addPixmap(QPixmap::fromImage(image));
    } while (reader.jumpToNextImage());
    return icon;
}

} // namespace orvel::gui
