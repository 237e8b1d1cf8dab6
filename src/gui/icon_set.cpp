#include "gui/icon_set.h"

#include "gui/drawn_icons.h"
#include "info/png.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>

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

namespace {

struct Recipe {
    int number;
    int size; // the edge length the program shows it at
    // A stored picture (its resource name) scaled to the size, with smoothing or not...
    const char* stored;
    bool smooth;
    // ...or a drawing at any size.
    QImage (*draw)(int pixels);
};

const QColor green(0, 128, 0), navy(0, 0, 128), white(255, 255, 255), black(0, 0, 0);

// Every picture the program shows, stored or drawn, by its one number.
const Recipe recipes[] = {
    {icon::run_machine, 32, "run_machine", true, nullptr},
    {icon::run_advanced, 32, "run_advanced", true, nullptr},
    {icon::run_empty, 32, "run_empty", true, nullptr},
    {icon::filters_root, 32, "folder_filters", true, nullptr},
    {icon::folders_root, 32, "folder_folders", true, nullptr},
    {icon::folder, 32, "folder", true, nullptr},
    {icon::bios, 24, "group_bios", true, nullptr},
    {icon::chd, 24, "group_chd", true, nullptr},
    {icon::mechanical, 24, "group_mechanical", true, nullptr},
    {icon::manufacturer, 20, "group_manufacturer", true, nullptr},
    {icon::romset_type, 24, "group_romset_type", true, nullptr},
    {icon::runnability, 16, "group_runnability", false, nullptr},
    {icon::screen_type, 16, "group_screen_type", true, nullptr},
    {icon::screen_rotate, 16, "group_screen_rotate", true, nullptr},
    {icon::status_good, 16, nullptr, false, [](int s) { return draw_status_light(s, green); }},
    {icon::status_imperfect, 16, nullptr, false,
     [](int s) { return draw_warning_sign(s, black, QColor(255, 255, 0)); }},
    {icon::status_preliminary, 16, nullptr, false,
     [](int s) { return draw_stop_sign(s, white, QColor(255, 0, 0)); }},
    {icon::chosen, 64, nullptr, false, [](int s) { return draw_tick(s, green); }},
    {icon::unchosen, 64, nullptr, false, [](int s) { return draw_tick(s, QColor(211, 211, 211)); }},
    {icon::favourites, 24, nullptr, false, [](int s) { return draw_star(s, QColor(255, 215, 0)); }},
    {icon::search, 24, nullptr, false,
     [](int s) {
         return draw_search_symbol(s, QColor(169, 169, 169), QColor(240, 248, 255), white,
                                   QColor(176, 224, 230));
     }},
    {icon::machine_info, 28, nullptr, false,
     [](int s) { return draw_info_symbol(s, white, navy); }},
    {icon::year, 24, nullptr, false,
     [](int s) {
         return draw_year_symbol(s, white, QColor(192, 192, 192), black, QColor(255, 69, 0));
     }},
    {icon::software, 24, nullptr, false,
     [](int s) { return draw_software_symbol(s, navy, QColor(192, 0, 0), white); }},
    {icon::plus, 16, nullptr, false, [](int s) { return draw_plus(s, black); }},
    {icon::minus, 16, nullptr, false, [](int s) { return draw_minus(s, black); }},
    {icon::availability, 20, nullptr, false,
     [](int s) { return draw_availability_symbol(s, white, navy); }},
    {icon::status, 20, nullptr, false, [](int s) { return draw_status_light(s, green); }},
    {icon::preferences, 28, nullptr, false,
     [](int s) { return draw_preferences_symbol(s, QColor(139, 0, 0)); }},
    {icon::source, 28, nullptr, false,
     [](int s) { return draw_source_symbol(s, white, navy, black); }},
};

const Recipe* recipe_of(int number) {
    for (const Recipe& recipe : recipes)
        if (recipe.number == number) return &recipe;
    return nullptr;
}

} // namespace

bool IconSet::prepare() {
    register_pictures();
    bool all = true;
    for (const Recipe& recipe : recipes) {
        if (recipe.stored) sources_[recipe.number] = stored(recipe.stored);
        images_[recipe.number] = make(recipe.number, recipe.size);
        all = all && !images_[recipe.number].isNull();
    }
    return all;
}

QImage IconSet::make(int number, int pixels) const {
    const Recipe* recipe = recipe_of(number);
    if (!recipe || pixels <= 0) return {};
    if (recipe->draw) return recipe->draw(pixels);
    return scaled(sources_[static_cast<std::size_t>(number)], pixels, recipe->smooth);
}

QIcon IconSet::icon(int number, int size) const {
    // One pixmap per pixel ratio the program is likely to meet; Qt picks the nearest.
    QIcon result;
    for (const int ratio : {1, 2}) {
        QImage image = make(number, size * ratio);
        if (image.isNull()) return {};
        image.setDevicePixelRatio(ratio);
        result.addPixmap(QPixmap::fromImage(image));
    }
    return result;
}

const QImage& IconSet::image(int number) const {
    static const QImage none;
    if (number < 0 || number >= icon::count) return none;
    return images_[static_cast<std::size_t>(number)];
}

} // namespace orvel::gui
