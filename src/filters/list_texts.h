#pragma once
// The texts of the machine list's cells and of the status bar. A list model asks for one cell
// at a time; only the title cell of a favourite builds a new string.

#include "database/machine.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

// "♥ " (U+2665 and a space) in front of a favourite's title.
inline constexpr std::string_view favourite_prefix = "\xE2\x99\xA5 ";

enum ListColumn { column_title = 0, column_manufacturer = 1, column_year = 2 };

// The description, with the favourite prefix when isfavourite is "yes".
std::string title_cell(const Machine& machine);
// The text of one cell: columns 0 to 2; any other column is empty.
std::string cell_text(const Machine& machine, int column);

// The picture of status field 6.
enum class StatusImage { Unchanged, Good, Imperfect, Preliminary };

struct StatusTexts {
    std::array<std::string, 7> fields;
    StatusImage image = StatusImage::Unchanged;
};

// The seven status bar fields for a view list and the current record (a machine-list position;
// -1 or out of range: none). Field 0 counts the rows and all machines; fields 1 to 3 describe
// the current record, or read "Driver: N/A", "Available: N/A", "Set Type: N/A" when the view
// list is empty or there is no current record; field 4 gives the romset audit's verdict ("Audit:
// Complete"), empty before an audit; field 5 is "Status: "; field 6 follows
// driver_status (empty list: the preliminary picture; an unknown status keeps the picture).
StatusTexts status_texts(const MachineList& machines, const ViewList& view, std::int64_t current);

} // namespace orvel
