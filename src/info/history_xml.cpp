// "history.xml": <entry> elements, each with <systems><system name="..."/></systems> naming the
// machines it belongs to and a <text> body. The index pass records the byte range of every
// entry under each name; a lookup parses only the ranges of its key.

#include "info/dat_index.h"
#include "platform/files.h"
#include "xml/xml_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace orvel {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string mark_encoding(std::string_view head) {
    if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFF &&
        static_cast<unsigned char>(head[1]) == 0xFE)
        return "UTF-16LE";
    if (head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0xFE &&
        static_cast<unsigned char>(head[1]) == 0xFF)
        return "UTF-16BE";
    return {};
}

class XmlIndexer {
  public:
    explicit XmlIndexer(DatCache::Index& index)
        : index_(index),
          parser_(make_xml_parser(this, &XmlIndexer::on_start, &XmlIndexer::on_end)) {
        index_.ranges.clear();
        index_.xml_encoding.clear();
        if (parser_) XML_SetXmlDeclHandler(parser_.get(), &XmlIndexer::on_declaration);
    }

    // False once the document is malformed; the entries completed before stay in the index.
    bool feed(const char* data, std::size_t size, bool last) {
        if (!parser_) return false;
        if (first_) {
            first_ = false;
            const std::string mark = mark_encoding(std::string_view(data, size));
            if (!mark.empty()) index_.xml_encoding = mark;
        }
        return parse_xml_text(parser_.get(), std::string_view(data, size), last);
    }

  private:
    static void XMLCALL on_declaration(void* self, const XML_Char*, const XML_Char* encoding, int) {
        auto& me = *static_cast<XmlIndexer*>(self);
        if (encoding && me.index_.xml_encoding.empty()) me.index_.xml_encoding = encoding;
    }

    static void XMLCALL on_start(void* self, const XML_Char* name, const XML_Char** attributes) {
        auto& me = *static_cast<XmlIndexer*>(self);
        ++me.depth_;
        if (me.entry_depth_ < 0) {
            if (std::strcmp(name, "entry") == 0) {
                me.entry_depth_ = me.depth_;
                me.entry_begin_ = XML_GetCurrentByteIndex(me.parser_.get());
                me.names_.clear();
            }
        } else if (me.systems_depth_ < 0) {
            if (me.depth_ == me.entry_depth_ + 1 && std::strcmp(name, "systems") == 0)
                me.systems_depth_ = me.depth_;
        } else if (me.depth_ == me.systems_depth_ + 1 && std::strcmp(name, "system") == 0) {
            for (const XML_Char** a = attributes; a[0]; a += 2)
                if (std::strcmp(a[0], "name") == 0 && a[1][0] != '\0') me.names_.emplace_back(a[1]);
        }
    }

    static void XMLCALL on_end(void* self, const XML_Char*) {
        auto& me = *static_cast<XmlIndexer*>(self);
        if (me.depth_ == me.systems_depth_) {
            me.systems_depth_ = -1;
        } else if (me.depth_ == me.entry_depth_) {
            const std::int64_t end = XML_GetCurrentByteIndex(me.parser_.get()) +
                                     XML_GetCurrentByteCount(me.parser_.get());
            for (const std::string& n : me.names_) {
                auto& list = me.index_.ranges[n];
                if (list.empty() || list.back().first != me.entry_begin_)
                    list.emplace_back(me.entry_begin_, end);
            }
            me.entry_depth_ = -1;
            me.names_.clear();
        }
        --me.depth_;
    }

    DatCache::Index& index_;
    XmlParser parser_;
    bool first_ = true;
    int depth_ = 0;
    int entry_depth_ = -1;
    int systems_depth_ = -1;
    std::int64_t entry_begin_ = 0;
    std::vector<std::string> names_;
};

// Parses one <entry> element on its own and appends the text of its <text> children.
class EntryText {
  public:
    EntryText(const std::string& encoding, std::string& out)
        : parser_(make_xml_parser(this, &EntryText::on_start, &EntryText::on_end, encoding)),
          out_(out) {
        if (parser_) XML_SetCharacterDataHandler(parser_.get(), &EntryText::on_text);
    }

    void parse(std::string_view bytes) {
        if (!parser_) return;
        if (!parse_xml_text(parser_.get(), bytes, true))
            return; // the range no longer holds an entry (the file changed under us)
        if (text_.empty()) return;
        out_ += text_;
        if (out_.back() != '\n') out_ += '\n';
    }

  private:
    static void XMLCALL on_start(void* self, const XML_Char* name, const XML_Char**) {
        auto& me = *static_cast<EntryText*>(self);
        ++me.depth_;
        if (me.depth_ == 2 && std::strcmp(name, "text") == 0) me.in_text_ = true;
    }
    static void XMLCALL on_end(void* self, const XML_Char*) {
        auto& me = *static_cast<EntryText*>(self);
        if (me.depth_ == 2) me.in_text_ = false;
        --me.depth_;
    }
    static void XMLCALL on_text(void* self, const XML_Char* text, int length) {
        auto& me = *static_cast<EntryText*>(self);
        if (me.in_text_) me.text_.append(text, static_cast<std::size_t>(length));
    }

    XmlParser parser_;
    std::string& out_;
    std::string text_;
    int depth_ = 0;
    bool in_text_ = false;
};

} // namespace

void build_history_xml_index_in(std::string_view bytes, DatCache::Index& index) {
    XmlIndexer indexer(index);
    indexer.feed(bytes.data(), bytes.size(), true);
}

bool build_history_xml_index(const std::string& path, DatCache::Index& index) {
    File file(open_file(path, "rb"));
    if (!file) return false;
    XmlIndexer indexer(index);
    std::vector<char> buffer(dat_buffer_size);
    while (true) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (!indexer.feed(buffer.data(), got, got == 0) || got == 0) break;
    }
    return true;
}

std::string history_xml_entries_from(const DatCache::Index& index, const std::string& path,
                                     std::string_view bytes, std::string_view key) {
    std::string out;
    const auto found = index.ranges.find(std::string(key));
    if (found == index.ranges.end()) return out;
    File file;
    if (!path.empty()) {
        file.reset(open_file(path, "rb"));
        if (!file) return out;
    }
    std::string piece;
    for (const auto& [begin, end] : found->second) {
        if (begin < 0 || end <= begin) continue;
        const auto length = static_cast<std::size_t>(end - begin);
        std::string_view entry;
        if (file) {
            piece.resize(length);
            if (fseeko(file.get(), static_cast<off_t>(begin), SEEK_SET) != 0 ||
                std::fread(piece.data(), 1, length, file.get()) != length)
                continue;
            entry = piece;
        } else {
            if (static_cast<std::uint64_t>(end) > bytes.size()) continue;
            entry = bytes.substr(static_cast<std::size_t>(begin), length);
        }
        EntryText(index.xml_encoding, out).parse(entry);
    }
    return out;
}

} // namespace orvel
