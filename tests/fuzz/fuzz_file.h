#pragma once
// For readers that take a path: the fuzz input is written to one private temporary file per
// process, replaced on every run.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace orvel::fuzz {

inline const std::string& input_file(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvel_fuzz_XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        std::atexit([] { std::remove(path.c_str()); });
        return pattern;
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
    return path;
}

} // namespace orvel::fuzz
