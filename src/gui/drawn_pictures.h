#pragma once
// The program's pictures (run buttons, tree roots, folders, filter group pictures), drawn like
// the icons at whatever pixel size the screen needs. Each is designed on a square grid of its
// own (32, 64, 24 or 16 units) and scaled to the size asked for.

#include <QImage>

namespace orvel::gui {

QImage draw_run_picture(int size, int badge);   // the blue M; badge 1 a disk, 2 a plus
QImage draw_folder_picture(int size, int sign); // a yellow folder; sign 1 a funnel, 2 an "i"
QImage draw_chip_picture(int size);             // BIOS
QImage draw_disk_picture(int size);             // CHD machines
QImage draw_playfield_picture(int size);        // mechanical machines
QImage draw_maker_picture(int size);            // manufacturer
QImage draw_family_picture(int size);           // romset type
QImage draw_runner_picture(int size);           // runnability
QImage draw_monitor_picture(int size);          // screen type
QImage draw_tilted_picture(int size);           // screen rotation

} // namespace orvel::gui
