#pragma once

#include <utility>

#include <unistd.h>

namespace sys
{

// An open file descriptor of the program's own, closed when it goes.
class Descriptor
{
  public:
    explicit Descriptor(int fd = -1) : mFd(fd) {}
    ~Descriptor()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return mFd; }
    bool valid() const { return mFd >= 0; }
    // Hands the descriptor over to whoever closes it from now on.
    int release() { return std::exchange(mFd, -1); }
    // Closes now, telling whether everything written reached the file.
    bool close() { return ::close(std::exchange(mFd, -1)) == 0; }

  private:
    int mFd;
};

} // namespace sys
