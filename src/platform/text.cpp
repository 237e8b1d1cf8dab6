#include "platform/text.h"

#include <algorithm>
#include <cstdlib>

#if ORVEL_HAVE_UTF8PROC
#include <utf8proc.h>
#elif defined(_WIN32)
#include "platform/files.h"

#include <windows.h>
#endif

namespace orvel {

namespace {

#if !ORVEL_HAVE_UTF8PROC && defined(_WIN32)
// The text in the system's normal form; empty when the system cannot normalise it.
std::wstring normalized(const std::wstring& wide, NORM_FORM form) {
    int size = ::NormalizeString(form, wide.data(), static_cast<int>(wide.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(std::max(size, 0)), L'\0');
    size = ::NormalizeString(form, wide.data(), static_cast<int>(wide.size()), out.data(), size);
    out.resize(static_cast<size_t>(std::max(size, 0)));
    return out;
}

// The blocks of combining marks that accents decompose into (the kana voicing marks included).
bool is_combining_mark(wchar_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F) || c == 0x3099 || c == 0x309A;
}
#endif

bool is_ascii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void append_ascii_lower(std::string& out, std::string_view text) {
    const size_t at = out.size();
    out.append(text);
    for (size_t i = at; i < out.size(); ++i)
        out[i] = ascii_lower(out[i]);
}

} // namespace

#if ORVEL_HAVE_UTF8PROC
namespace {
// Appends text as utf8proc maps it with options; false (nothing appended) for text that is not
// UTF-8.
bool append_mapped(std::string& out, std::string_view text, int options) {
    utf8proc_uint8_t* mapped = nullptr;
    const utf8proc_ssize_t n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()),
                                            static_cast<utf8proc_ssize_t>(text.size()), &mapped,
                                            static_cast<utf8proc_option_t>(options));
    if (n >= 0) out.append(reinterpret_cast<const char*>(mapped), static_cast<size_t>(n));
    std::free(mapped);
    return n >= 0;
}
} // namespace
#endif

void append_folded(std::string& out, std::string_view text) {
#if ORVEL_HAVE_UTF8PROC
    if (!is_ascii(text) &&
        append_mapped(out, text, UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD))
        return;
#elif defined(_WIN32)
    // Without utf8proc Windows itself composes and lower-cases (simple case mapping: "ß" stays).
    if (!is_ascii(text) && is_valid_utf8(text)) {
        const std::wstring composed = normalized(to_wide(text), NormalizationC);
        if (!composed.empty()) {
            const int size = static_cast<int>(composed.size());
            std::wstring lower(composed.size(), L'\0');
            const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, composed.data(),
                                          size, lower.data(), size, nullptr, nullptr, 0);
            if (n > 0) {
                lower.resize(static_cast<size_t>(n));
                out += from_wide(lower);
                return;
            }
        }
    }
#endif
    append_ascii_lower(out, text);
}

void append_search_folded(std::string& out, std::string_view text) {
#if ORVEL_HAVE_UTF8PROC
    if (!is_ascii(text) && append_mapped(out, text,
                                         UTF8PROC_STABLE | UTF8PROC_COMPAT | UTF8PROC_COMPOSE |
                                             UTF8PROC_STRIPMARK | UTF8PROC_CASEFOLD))
        return;
#elif defined(_WIN32)
    // Without utf8proc Windows itself decomposes; the combining marks are dropped, then the rest
    // is composed and lower-cased as everywhere else.
    if (!is_ascii(text) && is_valid_utf8(text)) {
        const std::wstring decomposed = normalized(to_wide(text), NormalizationKD);
        if (!decomposed.empty()) {
            std::wstring bare;
            bare.reserve(decomposed.size());
            for (const wchar_t c : decomposed)
                if (!is_combining_mark(c)) bare.push_back(c);
            append_folded(out, from_wide(bare));
            return;
        }
    }
#endif
    // Without utf8proc, or for text that is not UTF-8: case alone.
    append_folded(out, text);
}

std::string search_fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    append_search_folded(out, text);
    return out;
}

std::string fold_case(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    append_folded(out, text);
    return out;
}

char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
char ascii_upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string to_lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = ascii_lower(c);
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    if (!is_ascii(a) || !is_ascii(b)) return fold_case(a) == fold_case(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

int icompare(std::string_view a, std::string_view b) {
    if (!is_ascii(a) || !is_ascii(b)) {
        const int c = fold_case(a).compare(fold_case(b));
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(ascii_lower(a[i]));
        const auto cb = static_cast<unsigned char>(ascii_lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool iless(std::string_view a, std::string_view b) {
    return icompare(a, b) < 0;
}

bool icontains(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) return true;
    if (!is_ascii(haystack) || !is_ascii(needle))
        return fold_case(haystack).find(fold_case(needle)) != std::string::npos;
    if (needle.size() > haystack.size()) return false;
    const char first_lower = ascii_lower(needle[0]);
    const char first_upper = ascii_upper(needle[0]);
    const size_t last = haystack.size() - needle.size();
    for (size_t i = 0; i <= last; ++i) {
        const char c = haystack[i];
        if (c != first_lower && c != first_upper) continue;
        size_t j = 1;
        while (j < needle.size() && ascii_lower(haystack[i + j]) == ascii_lower(needle[j]))
            ++j;
        if (j == needle.size()) return true;
    }
    return false;
}

bool iends_with(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           iequals(text.substr(text.size() - suffix.size()), suffix);
}

bool istarts_with(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

std::string title_case(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool word_start = true;
    for (char c : text) {
        out.push_back(word_start ? ascii_upper(c) : ascii_lower(c));
        word_start = false;
        switch (c) {
        case ' ':
        case '(':
        case ')':
        case '[':
        case '-':
        case '|':
        case '.':
        case '_':
        case '&':
            word_start = true;
            break;
        default:
            break;
        }
    }
    return std::string(trim(out, " "));
}

std::string_view trim_left(std::string_view text, std::string_view chars) {
    const size_t start = text.find_first_not_of(chars);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view trim_right(std::string_view text, std::string_view chars) {
    const size_t end = text.find_last_not_of(chars);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view trim(std::string_view text, std::string_view chars) {
    return trim_right(trim_left(text, chars), chars);
}

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool is_valid_utf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t extra;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= n) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr char32_t min_for[] = {0, 0x80, 0x800, 0x10000};
        if (cp < min_for[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

std::string latin1_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes)
        append_utf8(out, static_cast<unsigned char>(c));
    return out;
}

std::string windows1252_to_utf8(std::string_view bytes) {
    // 0x80-0x9F hold punctuation where ISO 8859-1 has control codes; the five codes Windows
    // leaves unassigned keep their ISO 8859-1 meaning.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        append_utf8(out, b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b);
    }
    return out;
}

namespace {

std::string decode_utf16(std::string_view b, bool big_endian) {
    std::string out;
    out.reserve(b.size() / 2);
    size_t i = 0;
    auto unit = [&](size_t at) -> char32_t {
        const auto lo = static_cast<unsigned char>(b[at + (big_endian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(b[at + (big_endian ? 0 : 1)]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    while (i + 1 < b.size()) {
        char32_t u = unit(i);
        i += 2;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < b.size()) {
            const char32_t u2 = unit(i);
            if (u2 >= 0xDC00 && u2 <= 0xDFFF) {
                i += 2;
                u = 0x10000 + ((u - 0xD800) << 10) + (u2 - 0xDC00);
            }
        }
        append_utf8(out, u);
    }
    return out;
}

std::string decode_utf32(std::string_view b, bool big_endian) {
    std::string out;
    out.reserve(b.size() / 4);
    for (size_t i = 0; i + 3 < b.size(); i += 4) {
        char32_t cp = 0;
        for (int k = 0; k < 4; ++k) {
            const auto byte = static_cast<unsigned char>(b[i + (big_endian ? k : 3 - k)]);
            cp = (cp << 8) | byte;
        }
        append_utf8(out, cp);
    }
    return out;
}

bool starts_with_bytes(std::string_view b, std::initializer_list<unsigned char> mark) {
    if (b.size() < mark.size()) return false;
    size_t i = 0;
    for (unsigned char m : mark)
        if (static_cast<unsigned char>(b[i++]) != m) return false;
    return true;
}

} // namespace

std::string decode_text(std::string_view bytes, TextFallback fallback) {
    // UTF-32 LE must be tested before UTF-16 LE: its mark begins with the same two bytes.
    if (starts_with_bytes(bytes, {0xFF, 0xFE, 0x00, 0x00}))
        return decode_utf32(bytes.substr(4), false);
    if (starts_with_bytes(bytes, {0x00, 0x00, 0xFE, 0xFF}))
        return decode_utf32(bytes.substr(4), true);
    if (starts_with_bytes(bytes, {0xEF, 0xBB, 0xBF})) return std::string(bytes.substr(3));
    if (starts_with_bytes(bytes, {0xFF, 0xFE})) return decode_utf16(bytes.substr(2), false);
    if (starts_with_bytes(bytes, {0xFE, 0xFF})) return decode_utf16(bytes.substr(2), true);
    if (fallback == TextFallback::Utf8OrLatin1 && is_valid_utf8(bytes)) return std::string(bytes);
    return latin1_to_utf8(bytes);
}

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            std::string_view last = text.substr(start);
            if (last.back() == '\r') last.remove_suffix(1);
            lines.push_back(last);
            break;
        }
        size_t line_end = end;
        if (line_end > start && text[line_end - 1] == '\r') --line_end;
        lines.push_back(text.substr(start, line_end - start));
        start = end + 1;
    }
    return lines;
}

long long leading_number(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + static_cast<unsigned long long>(text[i] - '0');
        ++i;
    }
    // Negated as unsigned: "-9223372036854775808" and overlong numbers must not overflow.
    return static_cast<long long>(negative ? 0ull - value : value);
}

std::string escape_control_characters(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool kept_cr = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((c < 0x20 && c != '\n' && c != '\t' && !kept_cr) || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += hex[code >> 4];
            out += hex[code & 15];
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

} // namespace orvel
