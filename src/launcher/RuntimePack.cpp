#include "launcher/RuntimePack.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace launcher
{
namespace
{

constexpr std::size_t kInputChunk = 1 << 20;

} // namespace

RuntimePack::RuntimePack(const std::string &path)
    : mFile(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), mInput(kInputChunk)
{
    if (!mFile.valid())
        return;
    ::posix_fadvise(mFile.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    mReady = lzma_stream_decoder(&mStream, UINT64_MAX, 0) == LZMA_OK;
}

RuntimePack::~RuntimePack()
{
    lzma_end(&mStream);
}

ssize_t RuntimePack::read(char *out, std::size_t size)
{
    if (!mReady)
        return -1;
    if (mEnded || size == 0)
        return 0;
    mStream.next_out = reinterpret_cast<std::uint8_t *>(out);
    mStream.avail_out = size;
    while (mStream.avail_out == size) {
        if (mStream.avail_in == 0 && !mInputEnded) {
            const ssize_t got = ::read(mFile.get(), mInput.data(), mInput.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return -1;
            mInputEnded = got == 0;
            mStream.next_in = mInput.data();
            mStream.avail_in = std::size_t(got);
        }
        const lzma_ret status = lzma_code(&mStream, mInputEnded ? LZMA_FINISH : LZMA_RUN);
        if (status == LZMA_STREAM_END) {
            mEnded = true;
            break;
        }
        if (status != LZMA_OK)
            return -1;
    }
    return ssize_t(size - mStream.avail_out);
}

} // namespace launcher
