#pragma once

#include "system/Descriptor.h"

#include <lzma.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace launcher
{

// The disc's runtime packed for the install: its files one after another in the list's order,
// as one xz stream (bin/runtime.xz). The install reads the pack rather than the files, so that
// a new user's first start reads a third of the bytes from the slow drive; each file is still
// checked against the list once unpacked.
class RuntimePack
{
  public:
    explicit RuntimePack(const std::string &path);
    ~RuntimePack();
    RuntimePack(const RuntimePack &) = delete;
    RuntimePack &operator=(const RuntimePack &) = delete;

    bool valid() const { return mReady; }
    // Up to `size` bytes of the unpacked runtime; 0 at its end, -1 when the pack cannot be read
    // or is damaged.
    ssize_t read(char *out, std::size_t size);

  private:
    sys::Descriptor mFile;
    lzma_stream mStream{};
    std::vector<std::uint8_t> mInput;
    bool mReady = false;
    bool mInputEnded = false;
    bool mEnded = false;
};

} // namespace launcher
