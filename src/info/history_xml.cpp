// "history.xml": <entry> elements, each with <systems><system name="..."/></systems> naming the
// machines it belongs to and a <text> body. The index pass records the byte range of every
// entry under each name; a lookup parses only the ranges of its key, each after the document
// type declaration, whose internal entities (<!ENTITY nmc "Namco Ltd.">) entries may use. Expat
// keeps its protection against entity amplification throughout: an entry or file that trips it
// is reported in the text, as is anything else that could not be read.

#include "info/dat_index.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "xml/xml_reader.h"

#include <algorithm>
#include <cerrno>
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

// A document type declaration larger than this is not repeated before every entry.
constexpr std::int64_t max_doctype_bytes = std::int64_t{1} << 20;

class XmlIndexer {
  public:
    explicit XmlIndexer(DatCache::Index& index)
        : index_(index),
          parser_(make_xml_parser(this, &XmlIndexer::on_start, &XmlIndexer::on_end)) {
        index_.ranges.clear();
        index_.xml_encoding.clear();
        index_.doctype = {-1, -1};
        index_.problem.clear();
        if (parser_) {
            XML_SetXmlDeclHandler(parser_.get(), &XmlIndexer::on_declaration);
            XML_SetDoctypeDeclHandler(parser_.get(), &XmlIndexer::on_doctype_start,
                                      &XmlIndexer::on_doctype_end);
        }
    }

    // False once the document is malformed (the index's problem says where); the entries
    // completed before stay in the index.
    bool feed(const char* data, std::size_t size, bool last) {
        if (!parser_) {
            index_.problem = "out of memory";
            return false;
        }
        if (first_) {
            first_ = false;
            const std::string mark = mark_encoding(std::string_view(data, size));
            if (!mark.empty()) index_.xml_encoding = mark;
        }
        if (parse_xml_text(parser_.get(), std::string_view(data, size), last)) return true;
        const XmlError error = xml_error(parser_.get());
        index_.problem = error.message + " at line " + std::to_string(error.line);
        return false;
    }

  private:
    // Expat reports the declaration at the "[" that opens its internal subset and ends it at
    // the closing ">": the range kept is "[ ... ]>", all that entries can need of it.
    static void XMLCALL on_doctype_start(void* self, const XML_Char*, const XML_Char*,
                                         const XML_Char*, int has_internal_subset) {
        auto& me = *static_cast<XmlIndexer*>(self);
        if (has_internal_subset)
            me.index_.doctype.first = XML_GetCurrentByteIndex(me.parser_.get());
    }
    static void XMLCALL on_doctype_end(void* self) {
        auto& me = *static_cast<XmlIndexer*>(self);
        if (me.index_.doctype.first >= 0)
            me.index_.doctype.second = XML_GetCurrentByteIndex(me.parser_.get()) +
                                       XML_GetCurrentByteCount(me.parser_.get());
    }

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

    // The entry's text, after the document type declaration's bytes. False, with nothing
    // added, when the entry cannot be read (why in error).
    bool parse(std::string_view doctype, std::string_view bytes, std::string& error) {
        if (!parser_) {
            error = "out of memory";
            return false;
        }
        if (!parse_xml_text(parser_.get(), doctype, false) ||
            !parse_xml_text(parser_.get(), bytes, true)) {
            error = xml_error(parser_.get()).message;
            return false;
        }
        if (text_.empty()) return true;
        out_ += text_;
        if (out_.back() != '\n') out_ += '\n';
        return true;
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
        if (got == 0 && std::ferror(file.get())) {
            index.problem = system_failure("a read failed", errno).message;
            break;
        }
        if (!indexer.feed(buffer.data(), got, got == 0) || got == 0) break;
    }
    return true;
}

std::string history_xml_entries_from(const DatCache::Index& index, const std::string& path,
                                     std::string_view bytes, std::string_view key) {
    std::string out;
    const std::string name = path.empty() ? std::string("history.xml") : file_name_of(path);
    // Entries after the point where the index pass stopped may belong to the key too.
    const auto add_problem = [&] {
        if (!index.problem.empty())
            out += name + " could not be read to its end (" + index.problem +
                   "): entries after that point are not shown.\n";
    };
    const auto found = index.ranges.find(std::string(key));
    if (found == index.ranges.end()) {
        add_problem();
        return out;
    }
    File file;
    if (!path.empty()) {
        file.reset(open_file(path, "rb"));
        if (!file) {
            out += name + " could not be read (" + std::strerror(errno) + ").\n";
            return out;
        }
    }
    // Reads a byte range of the file (or of the bytes in memory); false when it is not there.
    std::string piece;
    const auto read_range = [&](std::int64_t begin, std::int64_t end, std::string& into,
                                std::string_view& view) {
        if (begin < 0 || end <= begin) return false;
        const auto length = static_cast<std::size_t>(end - begin);
        if (file) {
            into.resize(length);
            if (fseeko(file.get(), static_cast<off_t>(begin), SEEK_SET) != 0 ||
                std::fread(into.data(), 1, length, file.get()) != length)
                return false;
            view = into;
            return true;
        }
        if (static_cast<std::uint64_t>(end) > bytes.size()) return false;
        view = bytes.substr(static_cast<std::size_t>(begin), length);
        return true;
    };
    // "<!DOCTYPE entry " and the internal subset, in the file's encoding.
    std::string doctype;
    std::string subset_bytes;
    std::string_view subset;
    if (index.doctype.second - index.doctype.first <= max_doctype_bytes &&
        read_range(index.doctype.first, index.doctype.second, subset_bytes, subset)) {
        for (const char c : std::string_view("<!DOCTYPE entry ")) {
            if (index.xml_encoding == "UTF-16BE") doctype += '\0';
            doctype += c;
            if (index.xml_encoding == "UTF-16LE") doctype += '\0';
        }
        doctype += subset;
    }
    for (const auto& [begin, end] : found->second) {
        std::string_view entry;
        std::string error;
        if (!read_range(begin, end, piece, entry))
            error = "it is no longer where it was: the file changed";
        else if (EntryText(index.xml_encoding, out).parse(doctype, entry, error))
            continue;
        out += "An entry of " + name + " could not be read (" + error + ").\n";
    }
    add_problem();
    return out;
}

} // namespace orvel
