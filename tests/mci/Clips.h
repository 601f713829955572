#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// Test clips made by ffmpeg at test time (no media in the repository).
namespace clips
{

struct Format {
    const char *name;      // test row name
    const char *extension; // file extension
    QStringList codecArgs; // ffmpeg arguments choosing the codecs and container
};

// The legacy formats the player meets: AVI (mpeg4+mp3, msmpeg4v2+pcm, msvideo1), MPEG-1
// program stream, ASF (wmv2+wmav2).
const QList<Format> &formats();

// Makes a clip of the given length and size with a moving test picture and a tone; returns
// its path, or an empty string (with the reason in *failure) when ffmpeg fails.
QString make(const QString &folder, const Format &format, int seconds = 4,
             QSize size = QSize(320, 240), QString *failure = nullptr);

} // namespace clips
