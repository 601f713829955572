#include "mci/libmpv/MediaHeader.h"

#include "mci/libmpv/OpenFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace mci
{
namespace
{

// The engine refuses a container that was recognised with a lower probe score than this.
constexpr int kSureProbeScore = AVPROBE_SCORE_MAX / 4 + 1;

constexpr int kReadBufferSize = 32 * 1024;

// Reads the file at a position of its own (pread), so that the descriptor's position, which the
// engine goes on from, stays where it is.
struct FileReader {
    int descriptor = -1;
    std::int64_t at = 0;
    std::int64_t size = 0;

    static int read(void *opaque, std::uint8_t *buffer, int size)
    {
        auto &reader = *static_cast<FileReader *>(opaque);
        const ssize_t got = ::pread(reader.descriptor, buffer, size, reader.at);
        if (got < 0)
            return AVERROR(errno);
        if (got == 0)
            return AVERROR_EOF;
        reader.at += got;
        return static_cast<int>(got);
    }

    static std::int64_t seek(void *opaque, std::int64_t offset, int whence)
    {
        auto &reader = *static_cast<FileReader *>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return reader.size;
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += reader.at;
            break;
        case SEEK_END:
            offset += reader.size;
            break;
        default:
            return AVERROR(EINVAL);
        }
        if (offset < 0)
            return AVERROR(EINVAL);
        reader.at = offset;
        return offset;
    }
};

struct IoFree {
    void operator()(AVIOContext *io) const
    {
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

struct InputCloser {
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};

bool decodable(const AVStream &stream)
{
    const AVMediaType type = stream.codecpar->codec_type;
    return (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO) &&
           avcodec_find_decoder(stream.codecpar->codec_id) != nullptr;
}

double frameMsOf(const AVStream &stream)
{
    for (const AVRational rate : {stream.avg_frame_rate, stream.r_frame_rate})
        if (rate.num > 0 && rate.den > 0)
            return 1000.0 / av_q2d(rate);
    return 0;
}

} // namespace

MediaHeader readMediaHeader(const OpenFile &file, const QByteArray &path)
{
    MediaHeader header;
    struct stat status {};
    if (!file.valid() || ::fstat(file.descriptor(), &status) != 0)
        return header;
    FileReader reader{file.descriptor(), 0, status.st_size};
    auto *buffer = static_cast<unsigned char *>(av_malloc(kReadBufferSize));
    if (!buffer)
        return header;
    const std::unique_ptr<AVIOContext, IoFree> io(avio_alloc_context(
        buffer, kReadBufferSize, 0, &reader, &FileReader::read, nullptr, &FileReader::seek));
    if (!io) {
        av_free(buffer);
        return header;
    }
    AVFormatContext *opened = avformat_alloc_context();
    if (!opened)
        return header;
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure the context is freed and set to null.
    if (avformat_open_input(&opened, path.constData(), nullptr, nullptr) < 0)
        return header;
    const std::unique_ptr<AVFormatContext, InputCloser> context(opened);
    if (context->probe_score < kSureProbeScore || avformat_find_stream_info(opened, nullptr) < 0)
        return header;

    bool playable = false;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream &stream = *context->streams[i];
        if (!decodable(stream))
            continue;
        playable = true;
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && header.videoSize.isEmpty() &&
            !(stream.disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            header.videoSize = QSize(stream.codecpar->width, stream.codecpar->height);
            header.frameMs = frameMsOf(stream);
        }
    }
    if (!playable)
        return header;
    header.recognised = true;
    header.programStream = std::strncmp(context->iformat->name, "mpeg", 4) == 0;
    if (context->duration > 0 &&
        context->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE) {
        // The same arithmetic as the engine's own length: seconds first, then milliseconds.
        const double seconds = double(context->duration) / AV_TIME_BASE;
        header.length = std::llround(seconds * 1000);
    }
    return header;
}

} // namespace mci
