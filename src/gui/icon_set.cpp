#include "gui/icon_set.h"

#include "gui/drawn_icons.h"
#include "info/png.h"

#include <QFile>

#include <cstring>

// The pictures live in a static library: their resource must be registered by hand.
static void register_pictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace orvel::gui {

namespace {

QImage stored(const char* name) {
    QFile file(QStringLiteral(":/pictures/") + QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return decode_png(file.readAll());
}

QImage scaled(const QImage& image, int size, bool smooth) {
    if (image.isNull() || (image.width() == size && image.height() == size)) return image;
    return image.scaled(size, size, Qt::KeepAspectRatio,
                        smooth ? Qt::SmoothTransformation : Qt::FastTransformation);
}

} // namespace

QImage decode_png(const QByteArray& bytes) {
    QImage image;
    if (!image.loadFromData(bytes, "PNG")) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool IconSet::prepare() {
    register_pictures();
    struct Stored {
        int number;
        const char* name;
        int size;
        bool smooth;
    };
    const Stored pictures[] = {
        {icon::run_machine, "run_machine", 32, true},
        {icon::run_advanced, "run_advanced", 32, true},
        {icon::run_empty, "run_empty", 32, true},
        {icon::filters_root, "folder_filters", 32, true},
        {icon::folders_root, "folder_folders", 32, true},
        {icon::folder, "folder", 32, true},
        {icon::bios, "group_bios", 24, true},
        {icon::chd, "group_chd", 24, true},
        {icon::mechanical, "group_mechanical", 24, true},
        {icon::manufacturer, "group_manufacturer", 20, true},
        {icon::romset_type, "group_romset_type", 24, true},
        {icon::runnability, "group_runnability", 16, false},
        {icon::screen_type, "group_screen_type", 16, true},
        {icon::screen_rotate, "group_screen_rotate", 16, true},
    };
    bool all = true;
    for (const Stored& picture : pictures) {
        images_[picture.number] = scaled(stored(picture.name), picture.size, picture.smooth);
        all = all && !images_[picture.number].isNull();
    }

    const QColor green(0, 128, 0), navy(0, 0, 128), white(255, 255, 255), black(0, 0, 0);
    images_[icon::status_good] = draw_status_light(16, green);
    images_[icon::status_imperfect] = draw_warning_sign(16, black, QColor(255, 255, 0));
    images_[icon::status_preliminary] = draw_stop_sign(16, white, QColor(255, 0, 0));
    images_[icon::chosen] = draw_tick(64, green);
    images_[icon::unchosen] = draw_tick(64, QColor(211, 211, 211));
    images_[icon::favourites] = draw_star(24, QColor(255, 215, 0));
    images_[icon::search] = draw_search_symbol(24, QColor(169, 169, 169), QColor(240, 248, 255),
                                               white, QColor(176, 224, 230));
    images_[icon::machine_info] = draw_info_symbol(28, white, navy);
    images_[icon::year] =
        draw_year_symbol(24, white, QColor(192, 192, 192), black, QColor(255, 69, 0));
    images_[icon::software] = draw_software_symbol(24, navy, QColor(192, 0, 0), white);
    images_[icon::plus] = draw_plus(16, black);
    images_[icon::minus] = draw_minus(16, black);
    images_[icon::availability] = draw_availability_symbol(20, white, navy);
    images_[icon::status] = draw_status_light(20, green);
    images_[icon::preferences] = draw_preferences_symbol(28, QColor(139, 0, 0));
    images_[icon::source] = draw_source_symbol(28, white, navy, black);
    return all;
}

const QImage& IconSet::image(int number) const {
    static const QImage none;
    if (number < 0 || number >= icon::count) return none;
    return images_[static_cast<std::size_t>(number)];
}

} // namespace orvel::gui
