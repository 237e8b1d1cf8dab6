#pragma once
// The program's pictures under one numbering. The front end draws them; the core names them by
// number where it describes something shown, as the filter tree's items do.

namespace orvel {

namespace icon {
inline constexpr int folder = 6;
inline constexpr int status_good = 7;
inline constexpr int status_imperfect = 8;
inline constexpr int status_preliminary = 9;
inline constexpr int chosen = 10;
inline constexpr int unchosen = 11;
inline constexpr int favourites = 12;
inline constexpr int search = 15;
inline constexpr int run_machine = 16;
inline constexpr int run_advanced = 17;
inline constexpr int run_empty = 18;
inline constexpr int filters_root = 19;
inline constexpr int folders_root = 20;
inline constexpr int machine_info = 21;
inline constexpr int year = 22;
inline constexpr int software = 23;
inline constexpr int bios = 24;
inline constexpr int plus = 25;
inline constexpr int minus = 26;
inline constexpr int chd = 27;
inline constexpr int mechanical = 28;
inline constexpr int manufacturer = 29;
inline constexpr int availability = 30;
inline constexpr int romset_type = 31;
inline constexpr int runnability = 32;
inline constexpr int screen_type = 33;
inline constexpr int screen_rotate = 34;
inline constexpr int status = 35;
inline constexpr int preferences = 36;
inline constexpr int source = 37;
inline constexpr int count = 38;
} // namespace icon

} // namespace orvel
