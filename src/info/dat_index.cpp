#include "info/dat_index.h"

#include "platform/files.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace orvel {

namespace {

// An "$info=" line longer than this is not a list of machine names; it is passed over.
constexpr std::size_t max_info_line = 1u << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open_file(const std::string& path) {
    return File(orvel::open_file(path, "rb"));
}

bool seek(std::FILE* file, std::int64_t offset) {
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::string_view strip_cr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool has_wide_mark(std::string_view bytes) {
    return bytes.size() >= 2 &&
           ((static_cast<unsigned char>(bytes[0]) == 0xFF &&
             static_cast<unsigned char>(bytes[1]) == 0xFE) ||
            (static_cast<unsigned char>(bytes[0]) == 0xFE &&
             static_cast<unsigned char>(bytes[1]) == 0xFF) ||
            (bytes.size() >= 4 && bytes.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4)));
}

bool has_utf8_mark(std::string_view bytes) {
    return bytes.substr(0, 3) == "\xEF\xBB\xBF";
}

// Calls fn for every name of an "$info=" line ("$info=a,b," names a and b).
template <class Fn> void for_each_info_name(std::string_view line, Fn&& fn) {
    constexpr std::string_view prefix = "$info=";
    if (line.size() < prefix.size() || line.compare(0, prefix.size(), prefix) != 0) return;
    // One pass over the bytes: names end at a comma, blanks around them are dropped.
    const char* p = line.data() + prefix.size();
    const char* const end = line.data() + line.size() - (line.back() == '\r' ? 1 : 0);
    while (p < end) {
        while (p < end && (*p == ' ' || *p == '\t'))
            ++p;
        const char* start = p;
        while (p < end && *p != ',')
            ++p;
        const char* stop = p;
        while (stop > start && (stop[-1] == ' ' || stop[-1] == '\t'))
            --stop;
        if (stop > start) fn(std::string_view(start, static_cast<std::size_t>(stop - start)));
        ++p; // past the comma
    }
}

// Finds the "$info=" lines of a file fed in chunks. Only lines that start with "$" are looked
// at, so the pass costs little more than reading the file.
class DatIndexer {
  public:
    explicit DatIndexer(DatCache::Index& index) : index_(index) {}

    void feed(const char* data, std::size_t size, std::int64_t base) {
        std::size_t i = 0;
        if (collecting_) {
            const void* found = std::memchr(data, '\n', size);
            const std::size_t take =
                found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : size;
            keep(data, take);
            if (!found) {
                at_line_start_ = false;
                return;
            }
            collecting_ = false;
            if (!overflow_) take_line(pending_, pending_start_);
            pending_.clear();
            i = take + 1;
        }
        while (i < size) {
            const void* dollar = std::memchr(data + i, '$', size - i);
            if (!dollar) break;
            const std::size_t at =
                static_cast<std::size_t>(static_cast<const char*>(dollar) - data);
            i = at + 1;
            const bool line_start = at == 0 ? at_line_start_ : data[at - 1] == '\n';
            if (!line_start) continue;
            // Most "$" lines are section markers ("$bio", "$end"): only "$info=" lines count.
            constexpr std::string_view prefix = "$info=";
            const std::size_t have = std::min(size - at, prefix.size());
            if (std::string_view(data + at, have) != prefix.substr(0, have)) continue;
            const void* end = std::memchr(data + at, '\n', size - at);
            if (end) {
                const std::size_t stop =
                    static_cast<std::size_t>(static_cast<const char*>(end) - data);
                take_line(std::string_view(data + at, stop - at),
                          base + static_cast<std::int64_t>(at));
                i = stop + 1;
            } else {
                // The line goes on in the next chunk.
                collecting_ = true;
                overflow_ = false;
                pending_start_ = base + static_cast<std::int64_t>(at);
                pending_.clear();
                keep(data + at, size - at);
                at_line_start_ = false;
                return;
            }
        }
        if (size > 0) at_line_start_ = data[size - 1] == '\n';
    }

    void finish(std::int64_t end) {
        if (collecting_ && !overflow_) take_line(pending_, pending_start_);
        (void)end;
        collecting_ = false;
        pending_.clear();
    }

  private:
    void keep(const char* data, std::size_t size) {
        if (overflow_) return;
        if (pending_.size() + size > max_info_line) {
            overflow_ = true;
            pending_.clear();
            return;
        }
        pending_.append(data, size);
    }

    void take_line(std::string_view line, std::int64_t line_start) {
        for_each_info_name(line, [&](std::string_view name) {
            index_.name_hashes.push_back(dat_name_hash(name));
            index_.info_lines.push_back(line_start);
        });
    }

    DatCache::Index& index_;
    bool at_line_start_ = true;
    bool collecting_ = false;
    bool overflow_ = false;
    std::string pending_;
    std::int64_t pending_start_ = 0;
};

// Lines from an offset on, from a file or from bytes in memory. LF and CR LF end a line.
class LineReader {
  public:
    LineReader(std::FILE* file, std::int64_t offset) : file_(file), buffer_(65536) {
        ok_ = offset >= 0 && seek(file, offset);
        position_ = ok_ ? static_cast<std::size_t>(offset) : 0;
    }
    LineReader(std::string_view bytes, std::int64_t offset) : bytes_(bytes) {
        ok_ = offset >= 0 && static_cast<std::uint64_t>(offset) <= bytes.size();
        position_ = ok_ ? static_cast<std::size_t>(offset) : 0;
    }

    // The next line without its line end; valid until the next call.
    bool next(std::string_view& line) {
        if (!ok_) return false;
        if (!file_) {
            if (position_ >= bytes_.size()) return false;
            const std::size_t end = bytes_.find('\n', position_);
            const std::size_t stop = end == std::string_view::npos ? bytes_.size() : end;
            line = strip_cr(bytes_.substr(position_, stop - position_));
            position_ = end == std::string_view::npos ? bytes_.size() : end + 1;
            return true;
        }
        line_.clear();
        bool any = false;
        while (true) {
            if (begin_ == end_) {
                const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
                begin_ = 0;
                end_ = got;
                if (got == 0) {
                    if (!any) return false;
                    break;
                }
            }
            any = true;
            const char* start = buffer_.data() + begin_;
            const void* found = std::memchr(start, '\n', end_ - begin_);
            if (found) {
                const std::size_t length =
                    static_cast<std::size_t>(static_cast<const char*>(found) - start);
                line_.append(start, length);
                begin_ += length + 1;
                position_ += length + 1;
                break;
            }
            line_.append(start, end_ - begin_);
            position_ += end_ - begin_;
            begin_ = end_;
        }
        line = strip_cr(line_);
        return true;
    }

    // Where the next line starts.
    std::int64_t position() const { return static_cast<std::int64_t>(position_); }

  private:
    std::FILE* file_ = nullptr;
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::string line_;
    bool ok_ = false;
};

// Appends one entry: "$" lines skipped, everything else a line of its own, up to "$end".
void collect_entry(LineReader& reader, std::string& out, bool eight_bit) {
    out.reserve(out.size() + 4096);
    std::string_view line;
    while (reader.next(line)) {
        if (line == "$end") return;
        if (!line.empty() && line.front() == '$') continue;
        // 8-bit DAT files are written on Windows: their quotes and dashes are code page 1252.
        if (eight_bit && !is_valid_utf8(line))
            out += windows1252_to_utf8(line);
        else
            out.append(line);
        out += '\n';
    }
}

} // namespace

std::vector<std::string_view> dat_info_names(std::string_view line) {
    std::vector<std::string_view> names;
    for_each_info_name(line, [&](std::string_view name) { names.push_back(name); });
    return names;
}

void build_dat_index_in(std::string_view bytes, DatCache::Index& index) {
    index.name_hashes.clear();
    index.info_lines.clear();
    if (has_wide_mark(bytes)) {
        index.in_memory = true;
        index.text = decode_text(bytes);
        bytes = index.text;
    }
    const std::int64_t base = !index.in_memory && has_utf8_mark(bytes) ? 3 : 0;
    DatIndexer indexer(index);
    indexer.feed(bytes.data() + base, bytes.size() - static_cast<std::size_t>(base), base);
    indexer.finish(static_cast<std::int64_t>(bytes.size()));
}

bool build_dat_index(const std::string& path, DatCache::Index& index) {
    File file = open_file(path);
    if (!file) return false;
    // The buffer is filled by each read: no need to clear it first.
    const std::unique_ptr<char[]> buffer(new char[dat_buffer_size]);
    std::size_t got = std::fread(buffer.get(), 1, dat_buffer_size, file.get());
    const std::string_view head(buffer.get(), got);
    if (has_wide_mark(head)) {
        // Wide text cannot be scanned by bytes; such files are rare and decoded once.
        std::string all(head);
        while ((got = std::fread(buffer.get(), 1, dat_buffer_size, file.get())) > 0)
            all.append(buffer.get(), got);
        build_dat_index_in(all, index);
        return true;
    }
    index.in_memory = false;
    index.text.clear();
    index.name_hashes.clear();
    index.info_lines.clear();
    // Room for a generous number of names up front: what is not used is never touched.
    const std::int64_t size = file_size(path);
    if (size > 0) {
        const auto expected = static_cast<std::size_t>(size / 256 + 64);
        index.name_hashes.reserve(expected);
        index.info_lines.reserve(expected);
    }
    DatIndexer indexer(index);
    const std::size_t skip = has_utf8_mark(head) ? 3 : 0;
    std::int64_t offset = static_cast<std::int64_t>(skip);
    indexer.feed(buffer.get() + skip, got - skip, offset);
    offset += static_cast<std::int64_t>(got - skip);
    while ((got = std::fread(buffer.get(), 1, dat_buffer_size, file.get())) > 0) {
        indexer.feed(buffer.get(), got, offset);
        offset += static_cast<std::int64_t>(got);
    }
    indexer.finish(offset);
    return true;
}

std::string dat_entries_from(const DatCache::Index& index, const std::string& path,
                             std::string_view bytes, std::string_view key) {
    std::string out;
    const std::uint32_t hash = dat_name_hash(key);
    File file;
    if (index.in_memory) bytes = index.text;
    // An "$info=" line inside an entry that is still open belongs to that entry (its lines
    // starting with "$" are skipped), so it starts no entry of its own; a name listed twice on
    // one line gives its entry once.
    std::int64_t open_until = -1;
    std::int64_t last = -1;
    const std::size_t count = index.name_hashes.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (index.name_hashes[i] != hash) continue;
        const std::int64_t offset = index.info_lines[i];
        if (offset < open_until || offset == last) continue;
        if (!file && !index.in_memory && !path.empty()) {
            file = open_file(path);
            if (!file) return out;
        }
        LineReader reader = file ? LineReader(file.get(), offset) : LineReader(bytes, offset);
        std::string_view line;
        if (!reader.next(line)) continue;
        bool named = false;
        for_each_info_name(line, [&](std::string_view name) { named = named || name == key; });
        if (!named) continue; // another name with the same hash
        last = offset;
        collect_entry(reader, out, !index.in_memory);
        open_until = reader.position();
    }
    return out;
}

} // namespace orvel
