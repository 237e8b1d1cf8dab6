// MAME's output of any shape, fed to the line splitter in pieces of any size: the lines that
// come out, put together from their pieces, are those of the input, and what it holds stays
// within its bound. The first two bytes choose the feeding size and the longest piece.
#include "platform/process.h"
#include "platform/text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t step = 1 + data[0] % 64;
    const std::size_t max_piece = 1 + data[1] % 32;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

    std::vector<std::string> expected;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        expected.emplace_back(line);
        start = ended ? end + 1 : end;
    }

    const bool utf8 = orvel::is_valid_utf8(text);
    std::vector<std::string> got(1);
    const orvel::LineSplitter::Sink sink = [&](std::string_view piece, bool line_end) {
        // A piece held back is the line so far: at most the bound, a fed step and a character.
        if (piece.size() > max_piece + step + 4 && !line_end) std::abort();
        if (utf8 && !orvel::is_valid_utf8(piece)) std::abort();
        got.back() += piece;
        if (line_end) got.emplace_back();
    };
    orvel::LineSplitter lines(max_piece);
    for (std::size_t at = 0; at < text.size(); at += step)
        lines.feed(text.substr(at, step), sink);
    lines.finish(sink);
    got.pop_back();
    if (got != expected) std::abort();
    return 0;
}
