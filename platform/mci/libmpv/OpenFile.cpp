#include "mci/libmpv/OpenFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace mci
{

OpenFile::~OpenFile()
{
    if (mDescriptor >= 0)
        ::close(mDescriptor);
}

OpenFile::OpenFile(OpenFile &&other) noexcept : mDescriptor(std::exchange(other.mDescriptor, -1)) {}

OpenFile &OpenFile::operator=(OpenFile &&other) noexcept
{
    if (this != &other) {
        if (mDescriptor >= 0)
            ::close(mDescriptor);
        mDescriptor = std::exchange(other.mDescriptor, -1);
    }
    return *this;
}

OpenFile OpenFile::open(const QByteArray &path)
{
    return OpenFile(::open(path.constData(), O_RDONLY | O_CLOEXEC));
}

OpenFile OpenFile::duplicate() const
{
    return OpenFile(valid() ? ::fcntl(mDescriptor, F_DUPFD_CLOEXEC, 0) : -1);
}

int OpenFile::release()
{
    return std::exchange(mDescriptor, -1);
}

} // namespace mci
