#include "gui/icon_set.h"

#include "gui/drawn_icons.h"
#include "gui/drawn_pictures.h"

#include <QIcon>
#include <QPixmap>

namespace orvel::gui {

namespace {

struct Recipe {
    int number;
    int size; // the edge length the program shows it at
    QImage (*draw)(int pixels);
};

const QColor green(0, 128, 0), navy(0, 0, 128), white(255, 255, 255), black(0, 0, 0);

// Every picture the program shows, by its one number, drawn at any pixel size.
const Recipe recipes[] = {
    {icon::run_machine, 32, [](int s) { return draw_run_picture(s, 1); }},
    {icon::run_advanced, 32, [](int s) { return draw_run_picture(s, 2); }},
    {icon::run_empty, 32, [](int s) { return draw_run_picture(s, 0); }},
    {icon::filters_root, 32, [](int s) { return draw_folder_picture(s, 1); }},
    {icon::folders_root, 32, [](int s) { return draw_folder_picture(s, 2); }},
    {icon::folder, 32, [](int s) { return draw_folder_picture(s, 0); }},
    {icon::bios, 24, draw_chip_picture},
    {icon::chd, 24, draw_disk_picture},
    {icon::mechanical, 24, draw_playfield_picture},
    {icon::manufacturer, 20, draw_maker_picture},
    {icon::romset_type, 24, draw_family_picture},
    {icon::runnability, 16, draw_runner_picture},
    {icon::screen_type, 16, draw_monitor_picture},
    {icon::screen_rotate, 16, draw_tilted_picture},
    {icon::status_good, 16, [](int s) { return draw_status_light(s, green); }},
    {icon::status_imperfect, 16,
     [](int s) { return draw_warning_sign(s, black, QColor(255, 255, 0)); }},
    {icon::status_preliminary, 16,
     [](int s) { return draw_stop_sign(s, white, QColor(255, 0, 0)); }},
    {icon::chosen, 64, [](int s) { return draw_tick(s, green); }},
    {icon::unchosen, 64, [](int s) { return draw_tick(s, QColor(211, 211, 211)); }},
    {icon::favourites, 24, [](int s) { return draw_star(s, QColor(255, 215, 0)); }},
    {icon::search, 24,
     [](int s) {
         return draw_search_symbol(s, QColor(169, 169, 169), QColor(240, 248, 255), white,
                                   QColor(176, 224, 230));
     }},
    {icon::machine_info, 28, [](int s) { return draw_info_symbol(s, white, navy); }},
    {icon::year, 24,
     [](int s) {
         return draw_year_symbol(s, white, QColor(192, 192, 192), black, QColor(255, 69, 0));
     }},
    {icon::software, 24,
     [](int s) { return draw_software_symbol(s, navy, QColor(192, 0, 0), white); }},
    {icon::plus, 16, [](int s) { return draw_plus(s, black); }},
    {icon::minus, 16, [](int s) { return draw_minus(s, black); }},
    {icon::availability, 20, [](int s) { return draw_availability_symbol(s, white, navy); }},
    {icon::status, 20, [](int s) { return draw_status_light(s, green); }},
    {icon::preferences, 28, [](int s) { return draw_preferences_symbol(s, QColor(139, 0, 0)); }},
    {icon::source, 28, [](int s) { return draw_source_symbol(s, white, navy, black); }},
};

const Recipe* recipe_of(int number) {
    for (const Recipe& recipe : recipes)
        if (recipe.number == number) return &recipe;
    return nullptr;
}

} // namespace

bool IconSet::prepare() {
    bool all = true;
    for (const Recipe& recipe : recipes) {
        images_[static_cast<std::size_t>(recipe.number)] = recipe.draw(recipe.size);
        all = all && !images_[static_cast<std::size_t>(recipe.number)].isNull();
    }
    return all;
}

QImage IconSet::make(int number, int pixels) const {
    const Recipe* recipe = recipe_of(number);
    if (!recipe || pixels <= 0) return {};
    return recipe->draw(pixels);
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
