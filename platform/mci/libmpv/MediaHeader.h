#pragma once

#include <QByteArray>
#include <QSize>

#include <optional>

namespace mci
{

// What a file's container says about it, read in-process with the demuxers the engine itself
// plays with: a header read instead of a load.
struct MediaHeader {
    // The container was recognised for sure and holds a stream the engine can decode.
    bool recognised = false;
    // In ms, only where the container states it (from its index or from the timestamps at both
    // ends); an estimate from the bit rate is no length.
    std::optional<qint64> length;
    QSize videoSize;            // empty for a file without a picture
    double frameMs = 0;         // the duration of one frame; 0 when unknown
    bool programStream = false; // an MPEG stream, which needs a wider seek window
};

class OpenFile;

// Reads the header of the open file through its descriptor without moving its position; `path`
// names it to the demuxers, whose guess takes the extension into account.
MediaHeader readMediaHeader(const OpenFile &file, const QByteArray &path);

} // namespace mci
