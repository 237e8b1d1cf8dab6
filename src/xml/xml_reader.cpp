#include "xml/xml_reader.h"

#include <algorithm>
#include <climits>

namespace orvel {

void XmlParserFree::operator()(XML_Parser parser) const {
    XML_ParserFree(parser);
}

XmlParser make_xml_parser(void* user_data, XML_StartElementHandler on_start,
                          XML_EndElementHandler on_end, std::string_view encoding) {
    const std::string name(encoding);
    XmlParser parser(XML_ParserCreate(name.empty() ? nullptr : name.c_str()));
    if (!parser) return parser;
    XML_SetUserData(parser.get(), user_data);
    XML_SetElementHandler(parser.get(), on_start, on_end);
    return parser;
}

bool parse_xml_text(XML_Parser parser, std::string_view text, bool last) {
    constexpr std::size_t piece_limit = std::size_t{1} << 30;
    do {
        const std::size_t piece = std::min(text.size(), piece_limit);
        const bool final_piece = last && piece == text.size();
        if (XML_Parse(parser, text.data(), static_cast<int>(piece), final_piece) ==
            XML_STATUS_ERROR)
            return false;
        text.remove_prefix(piece);
    } while (!text.empty());
    return true;
}

XmlError xml_error(XML_Parser parser) {
    XmlError error;
    const XML_LChar* message = XML_ErrorString(XML_GetErrorCode(parser));
    error.message = message ? message : "unknown error";
    error.line = XML_GetCurrentLineNumber(parser);
    // Expat counts columns from 0; people count characters from 1.
    error.column = XML_GetCurrentColumnNumber(parser) + 1;
    return error;
}

std::string xml_error_text(const XmlError& error) {
    return "Error in the XML file:\nMessage: " + error.message +
           "\nLine: " + std::to_string(error.line) +
           "   Character: " + std::to_string(error.column);
}

} // namespace orvel
