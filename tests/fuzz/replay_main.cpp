// Runs the fuzz targets over their seed files in ordinary builds, so that every target keeps
// compiling without clang's libFuzzer and its seeds stay accepted.
//   orvel_fuzz_replay TARGET FILE_OR_FOLDER...
// Each target's entry point is renamed at compile time to <target>_one_input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#define ORVEL_FUZZ_TARGET(name)                                                                    \
    extern "C" int name##_one_input(const std::uint8_t* data, std::size_t size);
#include "replay_targets.h"
#undef ORVEL_FUZZ_TARGET

namespace {

using Entry = int (*)(const std::uint8_t*, std::size_t);

struct Target {
    std::string_view name;
    Entry entry;
};

const Target targets[] = {
#define ORVEL_FUZZ_TARGET(name) {#name, name##_one_input},
#include "replay_targets.h"
#undef ORVEL_FUZZ_TARGET
};

bool run_file(Entry entry, const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: orvel_fuzz_replay TARGET FILE_OR_FOLDER...\n");
        return 2;
    }
    Entry entry = nullptr;
    for (const Target& t : targets)
        if (t.name == argv[1]) entry = t.entry;
    if (!entry) {
        std::fprintf(stderr, "unknown fuzz target %s\n", argv[1]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (int i = 2; i < argc; ++i) {
        const std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(p))
                if (e.is_regular_file()) files.push_back(e.path());
        } else {
            files.push_back(p);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "no seed files for %s\n", argv[1]);
        return 1;
    }
    for (const auto& f : files)
        if (!run_file(entry, f)) return 1;
    std::printf("%s: %zu seed files ran\n", argv[1], files.size());
    return 0;
}
