#include "gui/machine_icon.h"

#include "info/machine_info.h"

#include <QPixmap>

namespace orvel::gui {

QIcon machine_icon(const Machine& machine, const MamePaths& paths, const std::string& mame_folder) {
    const PictureKind* kind = find_picture_kind("icons");
    if (!kind) return {};
    const std::optional<std::string> bytes =
        load_picture_bytes(find_picture(*kind, machine, paths, mame_folder));
    if (!bytes) return {};
    QPixmap pixmap;
    if (!pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                             static_cast<uint>(bytes->size())))
        return {};
    return QIcon(pixmap);
}

} // namespace orvel::gui
