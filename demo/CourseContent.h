#pragma once

#include <QString>
#include <vector>

// The one description of the demo course: the index, the documents, the picture and the video
// encodes are all derived from it, so they cannot drift apart.
namespace demo
{

enum class VideoFormat {
    AviMpeg4,     // AVI, MPEG-4 part 2 video, MP3 sound
    AviMsMpeg4v2, // AVI, Microsoft MPEG-4 v2 video, PCM sound: the classic screen-course kind
    Mpeg1,        // MPEG-1 program stream
    Asf,          // ASF with WMV8 video and WMA2 sound: the course's intros
};

struct Video {
    QString path; // below the course root, starting with "\" as course folders write it
    QString title;
    int seconds = 0;
    VideoFormat format = VideoFormat::AviMpeg4;
    // Index lines made on Windows are in the Windows code page; one such line keeps the
    // reader's fallback for them in use.
    bool windowsCodePage = false;
};

struct Course {
    QString name;
    QString picturePath; // below the course root, starting with "\"
    std::vector<Video> entries;
    Video welcome;
};

const Course &demoCourse();

// Length text as the index shows it, minutes and two-digit seconds ("0:12", "12:34").
QString lengthText(int seconds);

// The format's name in the video list that the encoder script reads.
QString formatName(VideoFormat format);

// A course path ("\videos\a.avi") as a path relative to the course folder on this system.
QString relativePath(const QString &coursePath);

} // namespace demo
