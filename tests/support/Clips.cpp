#include "support/Clips.h"

#include <QDir>
#include <QProcess>

#include <cstring>

namespace clips
{

const QList<Format> &formats()
{
    static const QList<Format> list{
        {"avi-mpeg4-mp3",
         "avi",
         {"-c:v", "mpeg4", "-vtag", "FMP4", "-c:a", "libmp3lame", "-f", "avi"}},
        {"avi-msmpeg4v2-pcm", "avi", {"-c:v", "msmpeg4v2", "-c:a", "pcm_s16le", "-f", "avi"}},
        {"avi-msvideo1", "avi", {"-c:v", "msvideo1", "-an", "-f", "avi"}},
        {"mpeg1-ps", "mpg", {"-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"}},
        {"asf-wmv2-wmav2", "asf", {"-c:v", "wmv2", "-c:a", "wmav2", "-f", "asf"}},
    };
    return list;
}

const Format &format(const char *name)
{
    for (const Format &candidate : formats())
        if (std::strcmp(candidate.name, name) == 0)
            return candidate;
    qFatal("no clip format is named %s", name);
}

bool makeAt(const QString &path, const Format &format, const Shape &shape, QString *failure)
{
    const QString size = QStringLiteral("%1x%2").arg(shape.size.width()).arg(shape.size.height());
    QStringList args{
        "-hide_banner",
        "-loglevel",
        "error",
        "-y",
        "-f",
        "lavfi",
        "-i",
        QStringLiteral("testsrc=size=%1:rate=25:duration=%2").arg(size).arg(shape.seconds)};
    if (shape.sound)
        args += {"-f", "lavfi", "-i",
                 QStringLiteral("sine=frequency=440:duration=%1").arg(shape.seconds)};
    args += format.codecArgs;
    args += {"-shortest", path};
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0) {
        if (failure)
            *failure = QString::fromLocal8Bit(ffmpeg.readAllStandardError());
        return false;
    }
    return true;
}

QString make(const QString &folder, const Format &format, const Shape &shape, QString *failure)
{
    const QString path = QDir(folder).filePath(QStringLiteral("%1-%2x%3-%4s.%5")
                                                   .arg(QLatin1String(format.name))
                                                   .arg(shape.size.width())
                                                   .arg(shape.size.height())
                                                   .arg(shape.seconds)
                                                   .arg(QLatin1String(format.extension)));
    return makeAt(path, format, shape, failure) ? path : QString();
}

} // namespace clips
