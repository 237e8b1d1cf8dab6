#pragma once
// Text helpers shared by every subsystem: the one place for case-insensitive comparison,
// lower-casing, title case, decoding of files by byte order mark and line splitting.
// Core strings are UTF-8. Comparisons without regard to case fold case for all of Unicode
// (titles hold "Attaché", "ÜBER"); lower-casing (to_lower, title_case) changes ASCII letters
// only, which is what MAME's short names, file names and the program's own keys need.

#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Unicode case folding of UTF-8 text (composed to NFC first, so "e" + combining acute matches
// "é"): the key that comparisons without regard to case compare byte by byte. ASCII-only text
// is lower-cased directly; bytes that are not UTF-8 are kept, with ASCII letters lowered.
std::string fold_case(std::string_view text);
void append_folded(std::string& out, std::string_view text);

// The key searches compare: case folded, compatibility forms unified and accents and other
// combining marks dropped (NFKD, marks removed, composed again), so that "jinguk" finds
// "Jingūkan" and "uber" finds "ÜBER". Search text and searched text are folded alike.
std::string search_fold(std::string_view text);
void append_search_folded(std::string& out, std::string_view text);

char ascii_lower(char c);
char ascii_upper(char c);
std::string to_lower(std::string_view text);
bool iequals(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, comparing without regard to case: the order of the folded texts.
int icompare(std::string_view a, std::string_view b);
bool iless(std::string_view a, std::string_view b);
// True when needle occurs in haystack without regard to case; an empty needle always occurs.
bool icontains(std::string_view haystack, std::string_view needle);
bool iends_with(std::string_view text, std::string_view suffix);
bool istarts_with(std::string_view text, std::string_view prefix);

// First letter of each word upper case, the rest lower case, trimmed of spaces. A word starts
// after a space, "(", ")", "[", "-", "|", ".", "_" or "&".
std::string title_case(std::string_view text);

std::string_view trim(std::string_view text, std::string_view chars = " \t");
std::string_view trim_right(std::string_view text, std::string_view chars = " \t");
std::string_view trim_left(std::string_view text, std::string_view chars = " \t");

// Splits at every separator; n separators give n + 1 entries (empty entries included).
std::vector<std::string> split(std::string_view text, char separator);

// How bytes without a byte order mark are read.
enum class TextFallback {
    Latin1,      // each byte is the character with the same code (ISO 8859-1)
    Utf8OrLatin1 // valid UTF-8 is kept, anything else is read as ISO 8859-1
};

// Decodes a file's bytes to UTF-8: a UTF-8, UTF-16 LE/BE or UTF-32 LE/BE byte order mark selects
// that encoding (and is dropped); otherwise the fallback applies.
std::string decode_text(std::string_view bytes, TextFallback fallback = TextFallback::Utf8OrLatin1);
bool is_valid_utf8(std::string_view bytes);
std::string latin1_to_utf8(std::string_view bytes);
// Windows' 8-bit text (code page 1252): ISO 8859-1 with quotes, dashes, the euro sign and
// more in 0x80-0x9F.
std::string windows1252_to_utf8(std::string_view bytes);
void append_utf8(std::string& out, char32_t code_point);

// Splits text into lines ending in LF or CR LF; the line ends are not part of the lines. A final
// line without a line end is kept; a final line end does not add an empty line.
std::vector<std::string_view> split_lines(std::string_view text);

// Reads an optionally signed decimal number at the start of the text; stops at the first
// non-digit; text that does not start with a number reads as 0.
long long leading_number(std::string_view text);

// Text as it may safely reach a terminal: control characters other than the line feed, the tab
// and the carriage return of a CR LF become visible escapes ("\x1B"), and the C1 controls of
// UTF-8 text ("\u009B", which terminals may take for ESC [) likewise. Everything else is kept.
std::string escape_control_characters(std::string_view text);

} // namespace orvel
