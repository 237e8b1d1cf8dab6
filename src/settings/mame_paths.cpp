#include "settings/mame_paths.h"

namespace orvel {

const std::array<MamePaths::Key, 41>& MamePaths::keys() {
#define ORVEL_KEY(k)                                                                               \
    Key {                                                                                          \
#k, &MamePaths::k                                                                          \
    }
    static const std::array<Key, 41> table = {
        ORVEL_KEY(rompath),
        ORVEL_KEY(hashpath),
        ORVEL_KEY(samplepath),
        ORVEL_KEY(artpath),
        ORVEL_KEY(ctrlrpath),
        ORVEL_KEY(inipath),
        ORVEL_KEY(fontpath),
        ORVEL_KEY(cheatpath),
        ORVEL_KEY(crosshairpath),
        ORVEL_KEY(pluginspath),
        ORVEL_KEY(languagepath),
        ORVEL_KEY(swpath),
        ORVEL_KEY(cfg_directory),
        ORVEL_KEY(nvram_directory),
        ORVEL_KEY(input_directory),
        ORVEL_KEY(state_directory),
        ORVEL_KEY(snapshot_directory),
        ORVEL_KEY(diff_directory),
        ORVEL_KEY(comment_directory),
        ORVEL_KEY(historypath),
        ORVEL_KEY(categorypath),
        ORVEL_KEY(cabinets_directory),
        ORVEL_KEY(cpanels_directory),
        ORVEL_KEY(pcbs_directory),
        ORVEL_KEY(flyers_directory),
        ORVEL_KEY(titles_directory),
        ORVEL_KEY(ends_directory),
        ORVEL_KEY(marquees_directory),
        ORVEL_KEY(artwork_preview_directory),
        ORVEL_KEY(bosses_directory),
        ORVEL_KEY(logos_directory),
        ORVEL_KEY(scores_directory),
        ORVEL_KEY(versus_directory),
        ORVEL_KEY(gameover_directory),
        ORVEL_KEY(howto_directory),
        ORVEL_KEY(select_directory),
        ORVEL_KEY(icons_directory),
        ORVEL_KEY(covers_directory),
        ORVEL_KEY(ui_path),
        ORVEL_KEY(hlslpath),
        ORVEL_KEY(bgfx_path),
    };
#undef ORVEL_KEY
    return table;
}

std::string* MamePaths::find(std::string_view key) {
    for (const Key& k : keys())
        if (k.name == key) return &(this->*k.field);
    return nullptr;
}

} // namespace orvel
