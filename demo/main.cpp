// pellin-demo-docs: writes the parts of the demo course that need no video encoder (the course
// index, the course picture and the two PDF documents) and lists the videos for the encoder.

#include "CourseContent.h"
#include "CourseDocuments.h"
#include "CourseIndexWriter.h"
#include "CoursePicture.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>
#include <exception>

namespace
{

// One line per video, tab-separated: path below the course folder, seconds, format, title.
void listVideos(const demo::Course &course)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    std::vector<demo::Video> videos = course.entries;
    videos.push_back(course.welcome);
    for (const demo::Video &video : videos)
        out << demo::relativePath(video.path) << '\t' << video.seconds << '\t'
            << demo::formatName(video.format) << '\t' << video.title << '\n';
}

const QString indexFile = QStringLiteral("bin/index.dat");
const QString manualFile = QStringLiteral("manual.pdf");
const QString licenseFile = QStringLiteral("license_agreement.pdf");

// The files that writeCourseFiles makes, below the course folder.
void listOutputs(const demo::Course &course)
{
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    out << indexFile << '\n'
        << demo::relativePath(course.picturePath) << '\n'
        << manualFile << '\n'
        << licenseFile << '\n';
}

void writeCourseFiles(const demo::Course &course, const QDir &root)
{
    demo::writeCourseIndex(course, root.filePath(indexFile));
    demo::writeCoursePicture(course, root.filePath(demo::relativePath(course.picturePath)));
    demo::writeManual(course, root.filePath(manualFile));
    demo::writeLicenseAgreement(course, root.filePath(licenseFile));
}

} // namespace

int main(int argc, char *argv[])
{
    // Fonts and PDF painting need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the demo course's index, picture and PDF documents into COURSE_FOLDER."));
    parser.addHelpOption();
    const QCommandLineOption videosOption(
        QStringLiteral("videos"),
        QStringLiteral("List the course's videos (path, seconds, format, title) instead."));
    parser.addOption(videosOption);
    const QCommandLineOption outputsOption(
        QStringLiteral("outputs"),
        QStringLiteral("List the files written into COURSE_FOLDER instead."));
    parser.addOption(outputsOption);
    parser.addPositionalArgument(QStringLiteral("COURSE_FOLDER"),
                                 QStringLiteral("The folder of the course to write."));
    parser.process(app);

    const demo::Course &course = demo::demoCourse();
    if (parser.isSet(videosOption)) {
        listVideos(course);
        return 0;
    }
    if (parser.isSet(outputsOption)) {
        listOutputs(course);
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        QTextStream(stderr) << parser.helpText();
        return 2;
    }
    try {
        writeCourseFiles(course, QDir(parser.positionalArguments().constFirst()));
    } catch (const std::exception &error) {
        QTextStream(stderr) << "pellin-demo-docs: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
