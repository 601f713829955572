#include "mci/libmpv/OpenFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace mci
{

OpenFile::~OpenFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

OpenFile::OpenFile(OpenFile &&other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

OpenFile &OpenFile::operator=(OpenFile &&other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

OpenFile OpenFile::open(const QByteArray &path)
{
    return OpenFile(::open(path.constData(), O_RDONLY | O_CLOEXEC));
}

OpenFile OpenFile::duplicate() const
{
    return OpenFile(valid() ? ::fcntl(descriptor_, F_DUPFD_CLOEXEC, 0) : -1);
}

int OpenFile::release()
{
    return std::exchange(descriptor_, -1);
}

} // namespace mci
