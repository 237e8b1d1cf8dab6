#pragma once
// SHA-1, for comparing decompressed ROMs with the listing's checksums (the deep check).

#include <array>
#include <cstdint>
#include <string_view>

namespace orvel {

class Sha1 {
  public:
    void add(std::string_view bytes);
    std::array<std::uint8_t, 20> finish();

  private:
    std::array<std::uint32_t, 5> h_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::array<std::uint8_t, 64> block_{};
    std::size_t used_ = 0;
    std::uint64_t length_ = 0;
    void compress();
};

} // namespace orvel
