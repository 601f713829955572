#pragma once

#include <QString>
#include <QStringList>

#include <string_view>

// The videos the player opens: one table for the file dialogs' filter, the folder's patterns
// and the media controller's device type.
namespace pellin
{

struct VideoType {
    std::string_view extension; // lower case, without the dot
    std::string_view deviceType;
    bool intro; // an ASF intro
};

inline constexpr VideoType kVideoTypes[] = {
    {"mpg", "MPEGVideo", false},
    {"mpeg", "MPEGVideo", false},
    {"avi", "AviVideo", false},
    {"asf", "MPEGVideo", true},
};

// The names the files of those types go by on a desktop (AVI, MPEG, ASF and WMV), which its
// file manager may hand the player: the table's extensions and their aliases.
inline constexpr std::string_view kDesktopVideoExtensions[] = {"avi", "mpg", "mpeg", "mpe", "m1v",
                                                               "m2v", "mp2", "vob",  "asf", "wmv"};

// The type of a lower-case extension without its dot; nullptr for a file that is no video.
inline const VideoType *videoTypeOf(std::string_view extension)
{
    for (const VideoType &type : kVideoTypes)
        if (type.extension == extension)
            return &type;
    return nullptr;
}

// "*.mpg", "*.mpeg", ... in the table's order.
inline QStringList videoFilePatterns()
{
    QStringList patterns;
    for (const VideoType &type : kVideoTypes)
        patterns << QStringLiteral("*.") + QLatin1String(type.extension);
    return patterns;
}

// The choosers' filter: "Video Files (*.MPG;*.MPEG;*.AVI;*.ASF) |*.mpg;*.mpeg;*.avi;*.asf|".
inline QString videoFileFilter()
{
    const QString patterns = videoFilePatterns().join(u';');
    return QStringLiteral("Video Files (") + patterns.toUpper() + QStringLiteral(") |") + patterns +
           u'|';
}

} // namespace pellin
