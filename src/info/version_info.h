#pragma once
// The version resource of a Windows executable, read straight from the file on every platform.

#include <cstdint>
#include <string>

namespace orvel {

// Field bits of read_version_info.
enum VersionField : std::uint32_t {
    version_file_version = 1,
    version_file_description = 2,
    version_legal_copyright = 4,
    version_internal_name = 8,
    version_original_filename = 16,
    version_product_name = 32,
    version_product_version = 64,
    version_company_name = 128,
    version_legal_trademarks = 256,
    version_special_build = 512,
    version_private_build = 1024,
    version_comments = 2048,
    version_language = 4096,
};

// The asked fields of the file's version information, in bit order, one per line ("\n"
// between them); with labels each line is "Name:\tvalue". The strings are those of the first
// translation the resource lists. Empty for a file that is missing, empty, not a PE file or has
// no version resource; truncated or damaged files give what can be read safely.
std::string read_version_info(const std::string& path, std::uint32_t fields, bool labels);

// The English name of a Windows language identifier ("English (United States)" for 0x0409);
// "Language Neutral" for 0, the hexadecimal code for one it does not know.
std::string language_name(std::uint16_t language);

} // namespace orvel
