#include "CourseContent.h"
#include "CourseIndexWriter.h"
#include "common/CourseIndex.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>

namespace
{

const QString docsProgram = QStringLiteral(PELLIN_DEMO_DOCS);
const QString makeCourse = QStringLiteral(PELLIN_MAKE_COURSE);

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
        const std::function<void()> &inChild = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QList<QByteArray> indexLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // after the last line end
    return lines;
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

QByteArray fileStart(const QString &path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

void writeExecutable(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

} // namespace

class DemoCourseTest : public QObject
{
    Q_OBJECT

  private slots:
    void indexHasCaptionAndEntries();
    void indexLinesAreUtf8OrWindowsCodePage();
    void indexIsReadBackByThePlayersReader();
    void indexWriterRefusesBrokenFields_data();
    void indexWriterRefusesBrokenFields();
    void lengthText_data();
    void lengthText();

    void videoListMatchesTheIndex();
    void docsProgramWritesCourseFiles_data();
    void docsProgramWritesCourseFiles();
    void docsProgramReportsUnwritableFolder();
    void docsProgramFailsUnderAFileSizeLimit();

    void makeCourseSkipsWhatIsUpToDate();
    void makeCourseRejectsBadArguments();
};

void DemoCourseTest::indexHasCaptionAndEntries()
{
    const QList<QByteArray> lines = indexLines(demo::courseIndex(demo::demoCourse()));
    QVERIFY(!lines.isEmpty());
    for (const QByteArray &line : lines)
        QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, line.constData());

    const QList<QByteArray> caption = lines.first().chopped(1).split(':');
    QVERIFY(!lines.first().contains(';'));
    QCOMPARE(caption.size(), 4);
    bool isNumber = false;
    caption[1].toInt(&isNumber);
    QVERIFY(isNumber);
    QVERIFY(caption[3].startsWith('\\'));

    QSet<QByteArray> extensions;
    const QRegularExpression length(QStringLiteral("^\\d+:\\d\\d$"));
    for (const QByteArray &line : lines.mid(1)) {
        const QList<QByteArray> fields = line.chopped(1).split(';');
        QCOMPARE(fields.size(), 3);
        QVERIFY(fields[0].startsWith('\\'));
        const QByteArray extension = fields[0].mid(fields[0].lastIndexOf('.') + 1).toLower();
        QVERIFY2(QSet<QByteArray>({"avi", "mpg", "asf"}).contains(extension), fields[0]);
        extensions.insert(extension);
        QVERIFY(!fields[1].isEmpty());
        QVERIFY2(length.match(QString::fromLatin1(fields[2])).hasMatch(), fields[2]);
    }
    QVERIFY(lines.size() - 1 >= 6);
    QCOMPARE(extensions, QSet<QByteArray>({"avi", "mpg", "asf"}));
}

void DemoCourseTest::indexLinesAreUtf8OrWindowsCodePage()
{
    const demo::Course &course = demo::demoCourse();
    const QList<QByteArray> lines = indexLines(demo::courseIndex(course));
    QVERIFY(isUtf8(lines.first()));
    QCOMPARE(lines.size(), qsizetype(course.entries.size()) + 1);
    int windowsLines = 0;
    for (std::size_t i = 0; i < course.entries.size(); ++i) {
        const QByteArray &line = lines[qsizetype(i) + 1];
        const demo::Video &video = course.entries[i];
        if (video.windowsCodePage) {
            ++windowsLines;
            QVERIFY2(!isUtf8(line), line.constData());
            QVERIFY(QString::fromLatin1(line).contains(video.title));
        } else {
            QVERIFY2(isUtf8(line), line.constData());
            QVERIFY(QString::fromUtf8(line).contains(video.title));
        }
    }
    QCOMPARE(windowsLines, 1);

    // Titles carry letters beyond ASCII, so both decodings are exercised.
    QVERIFY(std::any_of(course.entries.begin(), course.entries.end(), [](const demo::Video &v) {
        return !v.windowsCodePage && std::any_of(v.title.begin(), v.title.end(),
                                                 [](QChar c) { return c.unicode() > 0x7F; });
    }));
}

void DemoCourseTest::indexIsReadBackByThePlayersReader()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const demo::Course &course = demo::demoCourse();
    demo::writeCourseIndex(course, root.filePath(QStringLiteral("bin/index.dat")));

    const QString mediaRoot = root.path().toLower();
    const pellin::CourseIndex index = pellin::readCourseIndex(root.path());
    QVERIFY2(index.problems.isEmpty(), qPrintable(index.problems.join(u'\n')));
    QCOMPARE(index.captions.size(), 1);
    QCOMPARE(index.captions.first().name, course.name);
    QCOMPARE(index.captions.first().picture,
             root.path() + QDir::toNativeSeparators(QStringLiteral("/bin/course.bmp")));

    QCOMPARE(index.entries.size(), qsizetype(course.entries.size()));
    for (std::size_t i = 0; i < course.entries.size(); ++i) {
        const pellin::CourseEntry &entry = index.entries[qsizetype(i)];
        const demo::Video &video = course.entries[i];
        QCOMPARE(entry.title, video.title);
        QCOMPARE(entry.length, demo::lengthText(video.seconds));
        QCOMPARE(entry.intro, video.format == demo::VideoFormat::Asf);
        QVERIFY(entry.key.endsWith(demo::relativePath(video.path).toLower()));
    }
}

void DemoCourseTest::indexWriterRefusesBrokenFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("windowsCodePage");

    QTest::newRow("colon in course name") << "Course: Two"
                                          << "Title" << false;
    QTest::newRow("semicolon in course name") << "Course; Two"
                                              << "Title" << false;
    QTest::newRow("semicolon in title") << "Course"
                                        << "Part 1; Part 2" << false;
    QTest::newRow("euro sign in code-page line") << "Course"
                                                 << "Price in €" << true;
    QTest::newRow("CJK in code-page line") << "Course"
                                           << "网络" << true;
}

void DemoCourseTest::indexWriterRefusesBrokenFields()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(bool, windowsCodePage);
    demo::Course course;
    course.name = name;
    course.picturePath = QStringLiteral("\\bin\\course.bmp");
    course.entries.push_back(
        {QStringLiteral("\\a.avi"), title, 10, demo::VideoFormat::AviMpeg4, windowsCodePage});
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, demo::courseIndex(course));

    QTemporaryDir root;
    const QString file = root.filePath(QStringLiteral("bin/index.dat"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, demo::writeCourseIndex(course, file));
    QVERIFY(!QFile::exists(file));
}

void DemoCourseTest::lengthText_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "0:00";
    QTest::newRow("one digit") << 9 << "0:09";
    QTest::newRow("a minute") << 60 << "1:00";
    QTest::newRow("example") << 754 << "12:34";
    QTest::newRow("past an hour") << 3725 << "62:05";
}

void DemoCourseTest::lengthText()
{
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(demo::lengthText(seconds), text);
}

void DemoCourseTest::videoListMatchesTheIndex()
{
    const Run listed = run(docsProgram, {QStringLiteral("--videos")});
    QCOMPARE(listed.exitCode, 0);
    QStringList lines = listed.out.split(u'\n');
    QCOMPARE(lines.takeLast(), QString());

    const demo::Course &course = demo::demoCourse();
    QStringList expectedPaths;
    for (const demo::Video &video : course.entries)
        expectedPaths << demo::relativePath(video.path);
    expectedPaths << QStringLiteral("welcome.asf");

    QStringList paths;
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'\t');
        QCOMPARE(fields.size(), 4);
        paths << fields[0];
        const int seconds = fields[1].toInt();
        QVERIFY2(seconds >= 10 && seconds <= 30, qPrintable(line));
        const QString extension = fields[0].section(u'.', -1).toLower();
        const QString format = fields[2];
        QVERIFY2((extension == u"asf" && format == u"asf") ||
                     (extension == u"mpg" && format == u"mpeg1") ||
                     (extension == u"avi" && format.startsWith(u"avi-")),
                 qPrintable(line));
        QVERIFY(!fields[3].isEmpty());
    }
    QCOMPARE(paths, expectedPaths);
}

void DemoCourseTest::docsProgramWritesCourseFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("index") << "bin/index.dat" << demo::courseIndex(demo::demoCourse()).left(40);
    QTest::newRow("manual") << "manual.pdf" << QByteArray("%PDF-");
    QTest::newRow("license") << "license_agreement.pdf" << QByteArray("%PDF-");
    QTest::newRow("picture") << "bin/course.bmp" << QByteArray("BM");
}

void DemoCourseTest::docsProgramWritesCourseFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    QTemporaryDir root;
    const QString course = root.filePath(QStringLiteral("course"));
    QCOMPARE(run(docsProgram, {course}).exitCode, 0);

    const QString path = QDir(course).filePath(file);
    QCOMPARE(fileStart(path, start.size()), start);
    const Run outputs = run(docsProgram, {QStringLiteral("--outputs")});
    QVERIFY(outputs.out.split(u'\n').contains(file));

    if (file.endsWith(u".pdf")) {
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().trimmed().endsWith("%%EOF"));
    } else if (file.endsWith(u".bmp")) {
        const QImage picture(path);
        QCOMPARE(picture.size(), QSize(640, 480));
    } else {
        QFile index(path);
        QVERIFY(index.open(QIODevice::ReadOnly));
        QCOMPARE(index.readAll(), demo::courseIndex(demo::demoCourse()));
    }
}

void DemoCourseTest::docsProgramReportsUnwritableFolder()
{
    QTemporaryDir root;
    QFile blocker(root.filePath(QStringLiteral("plain-file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const Run result = run(docsProgram, {blocker.fileName() + QStringLiteral("/course")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(QStringLiteral("cannot create")), qPrintable(result.err));

    const Run usage = run(docsProgram, {});
    QCOMPARE(usage.exitCode, 2);
}

// With the file-size limit at 64 bytes and the signal of that limit at its default (which ends a
// program), the program reports the file it cannot write and leaves the course as it was.
void DemoCourseTest::docsProgramFailsUnderAFileSizeLimit()
{
    QTemporaryDir root;
    const QString course = root.filePath(QStringLiteral("course"));
    QCOMPARE(run(docsProgram, {course}).exitCode, 0);
    const QString index = QDir(course).filePath(QStringLiteral("bin/index.dat"));
    const QByteArray before = fileStart(index, 1 << 20);
    const QStringList binBefore =
        QDir(QFileInfo(index).path()).entryList(QDir::Files | QDir::Hidden);

    const Run capped = run(docsProgram, {course}, QProcessEnvironment::systemEnvironment(), [] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    QCOMPARE(capped.exitCode, 1);
    QVERIFY2(capped.err.contains(QStringLiteral("cannot write ") + index), qPrintable(capped.err));
    QCOMPARE(fileStart(index, 1 << 20), before);
    QCOMPARE(QDir(QFileInfo(index).path()).entryList(QDir::Files | QDir::Hidden), binBefore);
}

void DemoCourseTest::makeCourseSkipsWhatIsUpToDate()
{
    // A stand-in encoder records each call and writes its output file, so the script's own
    // bookkeeping is checked without real encodes.
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString tools = root.filePath(QStringLiteral("tools"));
    QVERIFY(QDir().mkpath(tools));
    const QString log = root.filePath(QStringLiteral("encodes.log"));
    writeExecutable(QDir(tools).filePath(QStringLiteral("ffmpeg")),
                    "#!/bin/sh\nfor last; do :; done\necho \"$last\" >> '" + log.toUtf8() +
                        "'\necho video > \"$last\"\n");
    const QString player = root.filePath(QStringLiteral("PellinPlayer"));
    writeExecutable(player, "#!/bin/sh\nexit 0\n");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"),
                       tools + u':' + environment.value(QStringLiteral("PATH")));
    const QString course = root.filePath(QStringLiteral("course"));
    const QStringList arguments{QStringLiteral("--docs"), docsProgram, QStringLiteral("--player"),
                                player, course};
    const auto encodes = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
    };

    const Run first = run(makeCourse, arguments, environment);
    QVERIFY2(first.exitCode == 0, qPrintable(first.err));
    QCOMPARE(encodes(), qsizetype(demo::demoCourse().entries.size()) + 1);
    for (const demo::Video &video : demo::demoCourse().entries)
        QVERIFY(QFile::exists(QDir(course).filePath(demo::relativePath(video.path))));
    QVERIFY(QFile::exists(QDir(course).filePath(QStringLiteral("welcome.asf"))));
    const QFileInfo copy(QDir(course).filePath(QStringLiteral("bin/PellinPlayer")));
    QVERIFY(copy.isExecutable());
    QVERIFY(!copy.isSymLink());

    const Run second = run(makeCourse, arguments, environment);
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(encodes(), qsizetype(demo::demoCourse().entries.size()) + 1);
    QVERIFY2(second.out.contains(QStringLiteral("up to date")), qPrintable(second.out));
    QVERIFY(!second.out.contains(QStringLiteral("copied the player")));

    // A lost video is made again, and only that one.
    QVERIFY(QFile::remove(QDir(course).filePath(QStringLiteral("welcome.asf"))));
    QCOMPARE(run(makeCourse, arguments, environment).exitCode, 0);
    QCOMPARE(encodes(), qsizetype(demo::demoCourse().entries.size()) + 2);
}

void DemoCourseTest::makeCourseRejectsBadArguments()
{
    QTemporaryDir root;
    QCOMPARE(run(makeCourse, {root.path()}).exitCode, 2);
    QCOMPARE(run(makeCourse, {QStringLiteral("--docs")}).exitCode, 2);
    const Run missing =
        run(makeCourse, {QStringLiteral("--docs"), docsProgram, QStringLiteral("--player"),
                         root.filePath(QStringLiteral("none")), root.path()});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.contains(QStringLiteral("not built")), qPrintable(missing.err));
}

QTEST_GUILESS_MAIN(DemoCourseTest)
#include "tst_DemoCourse.moc"
