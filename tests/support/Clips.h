#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// Clips made by ffmpeg at run time (no media in the repository), for the tests and the
// benchmarks alike: a moving test picture at 25 frames a second and, unless left out, a tone.
namespace clips
{

struct Format {
    const char *name;      // test row name
    const char *extension; // file extension
    QStringList codecArgs; // ffmpeg arguments choosing the codecs and container
};

struct Shape {
    QSize size = QSize(320, 240);
    int seconds = 4;
    bool sound = true;
};

// The legacy formats the player meets: AVI (mpeg4+mp3, msmpeg4v2+pcm, msvideo1), MPEG-1
// program stream, ASF (wmv2+wmav2).
const QList<Format> &formats();
// The format of that name; a name the table lacks ends the program.
const Format &format(const char *name);

// Makes the clip at `path`; false (with ffmpeg's complaint in *failure) when ffmpeg fails.
bool makeAt(const QString &path, const Format &format, const Shape &shape = {},
            QString *failure = nullptr);

// Makes the clip in `folder` under a name that tells its format and shape; returns its path,
// or an empty string (with the reason in *failure) when ffmpeg fails.
QString make(const QString &folder, const Format &format, const Shape &shape = {},
             QString *failure = nullptr);

} // namespace clips
