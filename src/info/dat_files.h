#pragma once
// MAME's community DAT files ("mameinfo.dat", "history.dat", ...): finding a machine's entries
// in the historypath folders and word-wrapping them for the information window.
//
// A DAT file is line oriented. An entry starts at a line "$info=" followed by one or more
// machine names separated by commas ("$info=pacman,puckman,"), belongs to every name on that
// line, skips the lines starting with "$" inside it and ends at "$end" or at the end of the
// file. When a folder has no "history.dat" but has "history.xml", the History text comes from
// that file's <entry> elements instead.
//
// The files are tens of megabytes, so each one gets an index (name to entry offsets), built on
// the first lookup in one sequential pass and rebuilt when the file's size or modification time
// changes. Later lookups read only the entries asked for.

#include "database/machine.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// The six kinds, numbered as the information window's DAT menu items.
inline constexpr int dat_kind_count = 6;
inline constexpr int dat_history_kind = 2;
// "mameinfo.dat", "history.dat", "messinfo.dat", "sysinfo.dat", "gameinit.dat", "story.dat";
// empty for a number outside 1 to 6.
std::string_view dat_file_name(int kind);
// "###- mameinfo.dat -###" and so on; empty for a number outside 1 to 6.
std::string dat_header(int kind);
// A kind given as "1" to "6" or as its file name (any case); 0 when neither.
int dat_kind_from_text(std::string_view text);

// The name a machine's entries are filed under: its parent for a clone, else its own name.
std::string dat_lookup_key(const Machine& machine);
// The folders named by historypath, resolved against the MAME folder; an empty historypath
// means the MAME folder itself. Each ends in the separator.
std::vector<std::string> dat_folders(std::string_view historypath, const std::string& mame_folder);

// Pixel width of a UTF-8 text in the caller's font.
using TextMeasure = std::function<int(std::string_view)>;
// The width the information window wraps DAT text to.
inline constexpr int dat_text_width = 568;
// Word-wraps text so that each line fits in width minus 12 pixels: line ends normalised, empty
// lines kept, words filled greedily at single blanks, a word too wide for any line left whole,
// trailing blanks of each line and trailing line ends of the text removed.
std::string wrap_text(int width, std::string_view text, const TextMeasure& measure);
// A fixed-width measure for terminals: every character (code point) is `char_width` wide.
TextMeasure fixed_width_measure(int char_width);

// The indexes of the DAT files read so far. Lookups may come from several threads. Copying
// gives an empty cache: an index belongs to the cache that built it.
class DatCache {
  public:
    DatCache();
    ~DatCache();
    DatCache(const DatCache&);
    DatCache& operator=(const DatCache&);

    // The unwrapped text of every entry of `key` in one DAT file, in file order, each line
    // followed by "\n"; empty when the file is missing or has no entry for the key.
    std::string dat_entries(const std::string& path, std::string_view key);
    // The same for a "history.xml" file: the <text> of every <entry> whose <systems> lists the
    // key, in file order. An entry that cannot be read, and a file that could not be read to
    // its end, are reported by a line of the text saying so.
    std::string history_xml_entries(const std::string& path, std::string_view key);

    // The wrapped form of a text, made by wrap the first time and kept for the last few texts,
    // so that a long entry is laid out once rather than at every opening of the window. layout
    // names what the wrapping depends on besides the text (width and font).
    std::string wrapped_text(const std::string& text, const std::string& layout,
                             const std::function<std::string()>& wrap);

    // How many times an index has been built (first lookups and rebuilds), for tests and
    // benchmarks.
    std::uint64_t index_builds() const;
    // How many texts wrapped_text has laid out (rather than found kept), likewise.
    std::uint64_t text_wraps() const;
    void clear();

    struct Index; // one file's index; defined in the implementation

  private:
    std::shared_ptr<Index> index_for(const std::string& path, bool xml);
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Index>> indexes_;
    std::uint64_t builds_ = 0;
    struct Wrapped {
        std::string layout;
        std::string text;
        std::string wrapped;
    };
    std::deque<Wrapped> wrapped_; // the most recent last
    std::uint64_t wraps_ = 0;
};

// The unwrapped text of one kind for a lookup key: the entries of every historypath folder's
// file in folder order (for History, a folder without "history.dat" uses its "history.xml").
std::string read_dat_entries(DatCache& cache, int kind, std::string_view key,
                             const std::vector<std::string>& folders);
// What the information window shows for one kind: the entries of the machine's lookup key,
// wrapped to dat_text_width; empty when there are none.
std::string read_dat_text(DatCache& cache, int kind, const Machine& machine,
                          const std::vector<std::string>& folders, const TextMeasure& measure);

// The six texts the information window offers for a machine, kinds 1 to 6 at index 0 to 5.
using DatTexts = std::array<std::string, dat_kind_count>;
DatTexts read_dat_texts(DatCache& cache, const Machine& machine,
                        const std::vector<std::string>& folders, const TextMeasure& measure);
// The kind the window opens on: Mameinfo, else Messinfo, else History; when none of those has
// text, the first kind with text in menu order; 0 when no kind has any.
int dat_kind_to_show(const DatTexts& texts);
// The lines the window's text list shows for a kind: its header, an empty line, then the text
// from its first non-empty line on. Kind 0 gives the single line "No Information".
std::vector<std::string> dat_shown_lines(int kind, std::string_view text);
// The character width orvel-cli wraps with: a 10-point fixed-width font at 96 dots per inch,
// the window's text font.
inline constexpr int dat_terminal_char_width = 8;

// Parsers over bytes in memory, used by the indexes and by the fuzz targets.
// The names of an "$info=" line ("$info=a,b," gives a and b); empty when the line is not one.
std::vector<std::string_view> dat_info_names(std::string_view line);
// Every entry of `key` in DAT bytes, as dat_entries returns them.
std::string dat_entries_in(std::string_view bytes, std::string_view key);
// Every entry of `key` in history.xml bytes, as history_xml_entries returns them. Malformed
// input yields the entries completed before the error and a line saying where it stopped.
std::string history_xml_entries_in(std::string_view bytes, std::string_view key);

} // namespace orvel
