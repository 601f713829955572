#include "mci/libmpv/MediaHeader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <cstring>
#include <memory>

namespace mci
{
namespace
{

// The engine refuses a container that was recognised with a lower probe score than this.
constexpr int kSureProbeScore = AVPROBE_SCORE_MAX / 4 + 1;

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

MediaHeader readMediaHeader(const QByteArray &path)
{
    MediaHeader header;
    AVFormatContext *opened = nullptr;
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
