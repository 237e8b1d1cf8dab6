#pragma once
// What the program's XML readers (MAME's listing, software lists, history.xml) share: an owned
// Expat parser set up with its handlers, feeding text of any length, and the error text shown
// for a malformed file.

#include <expat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace orvel {

struct XmlParserFree {
    void operator()(XML_Parser parser) const;
};
using XmlParser = std::unique_ptr<std::remove_pointer_t<XML_Parser>, XmlParserFree>;

// A parser that hands user_data to the element handlers (either may be null). encoding names
// the document's encoding when it is known from outside (a byte order mark); empty: what the
// document says. Null when Expat cannot allocate one.
XmlParser make_xml_parser(void* user_data, XML_StartElementHandler on_start,
                          XML_EndElementHandler on_end, std::string_view encoding = {});

// Parses text of any length (Expat takes int lengths, so large text goes in pieces); last ends
// the document. False once the document is malformed.
bool parse_xml_text(XML_Parser parser, std::string_view text, bool last);

// Where and why a document is malformed; the column counts characters from 1.
struct XmlError {
    std::string message;
    std::uint64_t line = 0;
    std::uint64_t column = 0;
};
XmlError xml_error(XML_Parser parser);

// "Error in the XML file:", "Message: " and the message, "Line: N   Character: M", on three
// lines joined by "\n".
std::string xml_error_text(const XmlError& error);

} // namespace orvel
