#pragma once

#include <QByteArray>

namespace mci
{

// A file held open by its descriptor. The header read and the engine read one open file, so a
// video is opened once before its first frame and the engine finds what the header read brought
// in already in memory; a slow drive pays for one open and one pass over the header.
class OpenFile
{
  public:
    OpenFile() = default;
    explicit OpenFile(int descriptor) : mDescriptor(descriptor) {}
    ~OpenFile();
    OpenFile(OpenFile &&other) noexcept;
    OpenFile &operator=(OpenFile &&other) noexcept;
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    // The file opened for reading; not valid when it cannot be opened.
    static OpenFile open(const QByteArray &path);

    bool valid() const { return mDescriptor >= 0; }
    int descriptor() const { return mDescriptor; }
    // A second descriptor of the same open file (same position, same cached pages); not valid
    // when this one is not or the process has no descriptor left.
    OpenFile duplicate() const;
    // Hands the descriptor over to whoever closes it from now on.
    int release();

  private:
    int mDescriptor = -1;
};

} // namespace mci
