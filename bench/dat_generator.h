#pragma once
// History-like and mameinfo-like DAT files of a chosen size, for the benchmarks.

#include "platform/files.h"

#include <random>
#include <string>

namespace orvel::bench {

inline std::string machine_name(int i) {
    return "mach" + std::to_string(i);
}

inline const char* const words[] = {"the",    "arcade", "game",   "was",   "released", "in",
                                    "Japan",  "by",     "Namco",  "with",  "a",        "maze",
                                    "player", "ghosts", "points", "level", "bonus",    "fruit"};

inline void append_paragraph(std::string& out, std::mt19937& rng, int words_count) {
    std::string line;
    for (int w = 0; w < words_count; ++w) {
        line += words[rng() % (sizeof words / sizeof *words)];
        line += ' ';
        if (line.size() > 70) {
            out += line;
            out += "\r\n";
            line.clear();
        }
    }
    out += line + "\r\n\r\n";
}

// A history-like file: entries naming a parent and two clones, a bio with paragraphs.
inline int write_history(const std::string& path, std::size_t target) {
    std::mt19937 rng(1);
    std::string out;
    out.reserve(target + 65536);
    int n = 0;
    while (out.size() < target) {
        out += "$info=" + machine_name(n) + "," + machine_name(n) + "a," + machine_name(n) +
               "b,\r\n$bio\r\n\r\n";
        for (int p = 0; p < 6; ++p)
            append_paragraph(out, rng, 60 + static_cast<int>(rng() % 60));
        out += "- TECHNICAL -\r\n\r\nMain CPU : Z80 (@ 3.072 Mhz)\r\n\r\n$end\r\n\r\n";
        ++n;
    }
    write_file_atomic(path, out);
    return n;
}

// A mameinfo-like file: one name per entry, short notes.
inline int write_mameinfo(const std::string& path, std::size_t target) {
    std::mt19937 rng(2);
    std::string out = "# MAMEINFO.DAT\r\n\r\n";
    int n = 0;
    while (out.size() < target) {
        out += "$info=" + machine_name(n) + "\r\n$mame\r\n";
        append_paragraph(out, rng, 20 + static_cast<int>(rng() % 60));
        out += "WIP:\r\n\r\n- 0.251: fixed something.\r\n\r\n$end\r\n\r\n";
        ++n;
    }
    write_file_atomic(path, out);
    return n;
}

} // namespace orvel::bench
