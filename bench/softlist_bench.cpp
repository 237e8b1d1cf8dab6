// Loading a large software list (parse, sort, availability scan) against a bare Expat pass over
// the same file. The list defaults to Debian's largest, vgmplay.xml; another may be named by the
// environment variable ORVEL_SOFTLIST_BENCH_FILE. Prints the best of several rounds.

#include "host/host.h"
#include "platform/files.h"
#include "softlist/software_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <expat.h>
#include <unistd.h>

namespace {

// Answers nothing and shows nothing; a message here means the list is malformed.
class QuietHost : public orvel::SilentHost {
  public:
    int messages = 0;
    orvel::Answer message(std::string_view, std::string_view, orvel::Buttons,
                          orvel::Icon) override {
        ++messages;
        return orvel::Answer::Ok;
    }
};

void XMLCALL no_start(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL no_end(void*, const XML_Char*) {}

// One Expat pass over the file, read in the same chunks as the loader; with_handlers adds empty
// element handlers. Returns false on a parse error.
bool bare_pass(const std::string& path, bool with_handlers) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (with_handlers) XML_SetElementHandler(parser, no_start, no_end);
    bool ok = true;
    constexpr int chunk = 1 << 16;
    while (true) {
        void* buffer = XML_GetBuffer(parser, chunk);
        const std::size_t n = std::fread(buffer, 1, chunk, f);
        const bool last = n < static_cast<std::size_t>(chunk);
        if (XML_ParseBuffer(parser, static_cast<int>(n), last) == XML_STATUS_ERROR) {
            ok = false;
            break;
        }
        if (last) break;
    }
    XML_ParserFree(parser);
    std::fclose(f);
    return ok;
}

double elapsed_ms(const std::function<void()>& job) {
    const auto begin = std::chrono::steady_clock::now();
    job();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
        .count();
}

} // namespace

int main() {
    const char* env = std::getenv("ORVEL_SOFTLIST_BENCH_FILE");
    const std::string path = env && *env ? env : "/usr/share/games/mame/hash/vgmplay.xml";
    const std::int64_t size = orvel::file_size(path);
    if (size <= 0) {
        std::fprintf(stderr, "softlist_bench: %s not found (set ORVEL_SOFTLIST_BENCH_FILE)\n",
                     path.c_str());
        return 1;
    }
    const std::string list_name = orvel::base_name_of(orvel::file_name_of(path));
    const std::string hash_folder = orvel::folder_of(path);

    // A MAME folder whose romset folder holds a file for every 7th item, a few levels deep.
    namespace fs = std::filesystem;
    const fs::path mame =
        fs::temp_directory_path() / ("orvel-softlist-bench-" + std::to_string(::getpid()));
    std::vector<orvel::SoftwareItem> probe;
    (void)orvel::parse_software_list_file(path, list_name, probe);
    for (std::size_t i = 0; i < probe.size(); i += 7) {
        const fs::path file = mame / "roms" / list_name / std::to_string(i % 5) /
                              (probe[i].name + (i % 2 ? ".zip" : ".7z"));
        fs::create_directories(file.parent_path());
        std::FILE* f = std::fopen(file.c_str(), "wb");
        if (f) std::fclose(f);
    }
    const std::string mame_folder = orvel::with_separator(mame.string());

    // The jobs take turns in every round, so that a busy machine slows them alike; the best
    // round of each counts.
    constexpr int rounds = 10;
    bare_pass(path, false); // warm the file cache
    QuietHost host;
    orvel::SoftwareItemList list;
    double bare = 1e300, bare_handlers = 1e300, load = 1e300, parse_only = 1e300;
    for (int round = 0; round < rounds; ++round) {
        bare = std::min(bare, elapsed_ms([&] { bare_pass(path, false); }));
        bare_handlers = std::min(bare_handlers, elapsed_ms([&] { bare_pass(path, true); }));
        load = std::min(load, elapsed_ms([&] {
                            (void)orvel::load_software_list(list_name, hash_folder, "roms",
                                                            mame_folder, list, host);
                        }));
        parse_only = std::min(parse_only, elapsed_ms([&] {
                                  std::vector<orvel::SoftwareItem> items;
                                  (void)orvel::parse_software_list_file(path, list_name, items);
                              }));
    }
    std::size_t available = 0;
    for (const orvel::SoftwareItem& item : list.items)
        available += item.is_available() ? 1 : 0;
    fs::remove_all(mame);

    std::printf("software list:        %s (%.1f MB, %zu items, %zu available, %d messages)\n",
                path.c_str(), static_cast<double>(size) / 1e6, list.items.size(), available,
                host.messages);
    std::printf("bare Expat pass:      %8.1f ms\n", bare);
    std::printf("Expat, empty handlers:%8.1f ms\n", bare_handlers);
    std::printf("parse only:           %8.1f ms\n", parse_only);
    std::printf("load + sort + scan:   %8.1f ms  (%.2fx the bare pass; target <= 1.5x)\n", load,
                load / bare);
    return 0;
}
