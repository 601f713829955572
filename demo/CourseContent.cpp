#include "CourseContent.h"

namespace demo
{

const Course &demoCourse()
{
    static const Course course{
        .name = QStringLiteral("Networking Essentials Démo"),
        .picturePath = QStringLiteral("\\bin\\course.bmp"),
        .entries =
            {
                {QStringLiteral("\\Videos\\Intro.asf"),
                 QStringLiteral("Course Introduction (Présentation)"), 12, VideoFormat::Asf},
                {QStringLiteral("\\Videos\\Module1.avi"),
                 QStringLiteral("Module 1 - Network Basics"), 20, VideoFormat::AviMpeg4},
                {QStringLiteral("\\Videos\\Module2.avi"),
                 QStringLiteral("Module 2 - Routing für Einsteiger"), 18,
                 VideoFormat::AviMsMpeg4v2},
                {QStringLiteral("\\Videos\\Module3.mpg"),
                 QStringLiteral("Module 3 - Subnetting Exercises"), 15, VideoFormat::Mpeg1},
                {QStringLiteral("\\Videos\\Module4.mpg"),
                 QStringLiteral("Module 4 - Café Wi-Fi Security"), 16, VideoFormat::Mpeg1},
                {QStringLiteral("\\Videos\\Module5.avi"),
                 QStringLiteral("Module 5 - Übungen zur Fehlersuche"), 14,
                 VideoFormat::AviMsMpeg4v2, true},
                {QStringLiteral("\\Videos\\Review Session.avi"),
                 QStringLiteral("Review Session and Quiz"), 10, VideoFormat::AviMpeg4},
            },
        .welcome = {QStringLiteral("\\welcome.asf"), QStringLiteral("Welcome - Bienvenue à bord"),
                    10, VideoFormat::Asf},
    };
    return course;
}

QString lengthText(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString formatName(VideoFormat format)
{
    switch (format) {
    case VideoFormat::AviMpeg4:
        return QStringLiteral("avi-mpeg4");
    case VideoFormat::AviMsMpeg4v2:
        return QStringLiteral("avi-msmpeg4v2");
    case VideoFormat::Mpeg1:
        return QStringLiteral("mpeg1");
    case VideoFormat::Asf:
        return QStringLiteral("asf");
    }
    return {};
}

QString relativePath(const QString &coursePath)
{
    QString path = coursePath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    return path;
}

} // namespace demo
