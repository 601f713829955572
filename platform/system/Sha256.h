#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sys
{

// SHA-256 (FIPS 180-4) fed in pieces. The runtime's checks use it without a toolkit, so that the
// disc's first program can tell an installed copy from its list before any library of the
// bundle is loaded.
class Sha256
{
  public:
    Sha256();

    void add(const char *data, std::size_t size);
    // The digest as lower-case hex; the object is spent afterwards.
    std::string hex();

    static std::string of(const std::string &text);

  private:
    void compress(const unsigned char *block);

    std::array<std::uint32_t, 8> mState;
    std::array<unsigned char, 64> mBlock{};
    std::size_t mFilled = 0;
    std::uint64_t mLength = 0;
};

} // namespace sys
