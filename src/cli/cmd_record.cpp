// orvel-cli record NAME: one machine's section exactly as the database file holds it, from
// "[NAME]" through its last key line.

#include "cli/common.h"
#include "database/database_file.h"
#include "platform/files.h"
#include "settings/settings.h"

#include <cerrno>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace orvel::cli {

int cmd_record(const Options& options, const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("usage: record NAME", usage_error);
    Settings settings;
    if (const Status read = load_core_settings(options, settings); !read)
        return fail(std::string(read.message()));
    const std::string path = database_path(settings);
    const Result<std::string> bytes =
        read_file(path, static_cast<std::uint64_t>(max_database_bytes), "The database file");
    if (!bytes) return fail(std::string(bytes.message()));
    const std::string_view section = find_record_section(*bytes, args.front());
    if (section.empty()) return fail("no machine " + args.front());
#ifdef _WIN32
    // The section's own CR LF line ends go out as they are, not with a second CR before each LF.
    std::cout.flush();
    ::_setmode(::_fileno(stdout), _O_BINARY);
#endif
    std::cout.write(section.data(), static_cast<std::streamsize>(section.size()));
    std::cout.flush();
    return ok;
}

} // namespace orvel::cli
