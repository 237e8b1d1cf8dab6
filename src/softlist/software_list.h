#pragma once
// MAME's software lists: one XML file per list in the hash folder, one `software` element per
// item. A list is loaded into software items, sorted by title, and each item is marked
// available when a file named after it (or after one of its disks) lies below a romset folder's
// sub-folder named after the list.

#include "host/host.h"
#include "platform/failure.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// What the availability scan found for a software item; Unscanned until it runs.
enum class SoftwareAvailability : std::uint8_t { Unscanned, Missing, Available };
// The word for it in listings: "", "no" or "yes".
std::string_view availability_word(SoftwareAvailability availability);

struct SoftwareItem {
    SoftwareAvailability available = SoftwareAvailability::Unscanned;
    std::string description;
    std::string year;
    std::string publisher;
    std::string name;      // MAME's short name of the item, handed to MAME as the media file
    std::string list_name; // the software list the item came from
    std::vector<std::string> disk_names;
    std::vector<std::string> parts; // one media switch per `part` element, in file order
    // The description and the name folded for searching (see search_fold), a zero byte
    // between them; made once when the list is loaded, so that a keystroke folds only the
    // search text. Empty until then.
    std::string search_key;

    bool is_available() const { return available == SoftwareAvailability::Available; }
    // The media switch a software run uses: the first part's. An item of several parts
    // (flop1, flop2, ...) starts from its first medium, as MAME does when given the item in
    // its first drive. Empty when the item has no parts.
    const std::string& media_switch() const;
};

// The items of the one list currently loaded, with a current element (-1: none).
struct SoftwareItemList {
    std::string list_name;
    std::vector<SoftwareItem> items;
    std::int64_t current = -1;

    void clear();
    const SoftwareItem* current_item() const;
};

// Which items the software list window shows.
enum class SoftwareFilter { All = 0, Available = 1, Missing = 2 };

// A part's media switch: a part name that ends in a digit names a MAME media option already
// ("flop1", "flop2", "001") and is used as it is; any other name gets "1" ("cart" -> "cart1").
std::string media_switch_for_part(std::string_view part_name);

// Parses one software list from memory or from a file (read in chunks, never whole), appending
// its items in file order to items. Items read before a failure are kept. Fails as Missing when
// there is nothing to read (no file, an empty one), as Malformed with the "Error" box's text
// (see xml_error_text) when the XML is malformed, and as Error when a read fails.
Status parse_software_list(std::string_view xml, const std::string& list_name,
                           std::vector<SoftwareItem>& items);
Status parse_software_list_file(const std::string& path, const std::string& list_name,
                                std::vector<SoftwareItem>& items);

// Sorts by description without regard to case; items of equal titles keep file order.
void sort_software_items(std::vector<SoftwareItem>& items);

// The list file: list name + ".xml" in the hash folder. hashpath may name several folders
// (";"); the first that holds the file is used (the first folder when none does).
std::string software_list_path(std::string_view hashpath, const std::string& mame_folder,
                               const std::string& list_name);

// Sets `available` of every item: Available when a file whose name without extension equals the
// item's name or one of its disk names (without regard to case) lies anywhere below
// ROMFOLDER/LIST_NAME for any folder of rompath, else Missing. A file inside the folder of an
// item that carries its name marks that item only, not others sharing the name.
void scan_software_availability(std::vector<SoftwareItem>& items, const std::string& list_name,
                                std::string_view rompath, const std::string& mame_folder);

// The whole load of one list: empties the list, parses the file from the hash folder (a
// malformed or unreadable file shows the "Error" message through the host and keeps what was
// read), sorts, and scans availability. A missing or empty file gives an empty list without a
// message. Returns what the parse reported.
Status load_software_list(const std::string& list_name, std::string_view hashpath,
                          std::string_view rompath, const std::string& mame_folder,
                          SoftwareItemList& list, Host& host);

// "Software List (N Titles)".
std::string software_list_title(std::size_t count);

// Fills the items' search keys.
void prepare_software_search(std::vector<SoftwareItem>& items);

// Positions of the items the filter shows, in list order; a search text narrows them to the
// items whose description or short name contains it, without regard to case or accents.
std::vector<std::int64_t> filter_software_items(const std::vector<SoftwareItem>& items,
                                                SoftwareFilter filter,
                                                std::string_view search = {});

} // namespace orvel
