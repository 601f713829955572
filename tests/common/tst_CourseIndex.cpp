#include "common/CourseIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using pellin::CourseCaption;
using pellin::CourseEntry;
using pellin::CourseIndex;

namespace
{

const QString kRoot = QStringLiteral("/media/cd");
const QString kFile = QStringLiteral("/media/cd/bin/index.dat");

CourseIndex parse(const QStringList &lines)
{
    return pellin::parseCourseIndex(lines, kRoot, kFile);
}

} // namespace

class CourseIndexTest : public QObject
{
    Q_OBJECT

  private slots:
    void entryLine_data();
    void entryLine();
    void captionLine_data();
    void captionLine();
    void skippedLines_data();
    void skippedLines();
    void mixedFileKeepsOrder();
    void duplicateKeyIgnoresLetterCase();
    void readsFileBesideProgram();
    void missingFile();
    void skippedLinesReport_data();
    void skippedLinesReport();
    void installedWithoutCourse_data();
    void installedWithoutCourse();
};

void CourseIndexTest::entryLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("length");
    QTest::addColumn<bool>("intro");
    QTest::newRow("intro, lower-cased key") << "\\intro.ASF;Welcome;1:05"
                                            << "/media/cd/intro.asf"
                                            << "Welcome"
                                            << "1:05" << true;
    QTest::newRow("normal video") << "\\m1.avi;Module 1;20:00"
                                  << "/media/cd/m1.avi"
                                  << "Module 1"
                                  << "20:00" << false;
    QTest::newRow("backslash path") << "\\Videos\\Part 2\\M2.MPG;Module 2;3:00"
                                    << "/media/cd/videos/part 2/m2.mpg"
                                    << "Module 2"
                                    << "3:00" << false;
    QTest::newRow("slash path") << "/videos/m3.avi;Module 3;4:00"
                                << "/media/cd/videos/m3.avi"
                                << "Module 3"
                                << "4:00" << false;
    QTest::newRow("fields not trimmed, extra fields ignored") << "\\a.avi; Spaced ; 1:00;extra;more"
                                                              << "/media/cd/a.avi"
                                                              << " Spaced "
                                                              << " 1:00" << false;
    QTest::newRow("colon makes no caption line") << "\\c.avi;Part 1: Basics;2:00"
                                                 << "/media/cd/c.avi"
                                                 << "Part 1: Basics"
                                                 << "2:00" << false;
    QTest::newRow("blank after asf is no intro") << "\\d.asf ;Intro;0:30"
                                                 << "/media/cd/d.asf "
                                                 << "Intro"
                                                 << "0:30" << false;
    QTest::newRow("empty fields") << ";;"
                                  << "/media/cd"
                                  << ""
                                  << "" << false;
}

void CourseIndexTest::entryLine()
{
    QFETCH(QString, line);
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(QString, length);
    QFETCH(bool, intro);
    const CourseIndex index = parse({line});
    QVERIFY2(index.problems.isEmpty(), qPrintable(index.problems.join(u'\n')));
    QVERIFY(index.captions.isEmpty());
    QCOMPARE(index.entries.size(), 1);
    const CourseEntry &entry = index.entries.first();
    QCOMPARE(entry.key, key);
    QCOMPARE(entry.title, title);
    QCOMPARE(entry.length, length);
    QCOMPARE(entry.intro, intro);
}

void CourseIndexTest::captionLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("message");
    QTest::addColumn<QString>("picture");
    QTest::newRow("name trimmed") << "  Networking  :0:0:\\bin\\logo.jpg"
                                  << "Networking" << 0 << "/media/cd/bin/logo.jpg";
    QTest::newRow("picture path kept as written") << "Security:12:x:/Art/Cover.PNG"
                                                  << "Security" << 12 << "/media/cd/Art/Cover.PNG";
    QTest::newRow("blanks around the number") << "Net: -7 :0:\\p.bmp"
                                              << "Net" << -7 << "/media/cd/p.bmp";
    QTest::newRow("fraction rounded to even") << "Net:2.5:0:\\p.bmp"
                                              << "Net" << 2 << "/media/cd/p.bmp";
    QTest::newRow("fields beyond the fourth ignored") << "Net:1:0:\\p.bmp:ignored"
                                                      << "Net" << 1 << "/media/cd/p.bmp";
    QTest::newRow("tab is not a blank") << "\tNet :1:0:\\p.bmp"
                                        << "\tNet" << 1 << "/media/cd/p.bmp";
}

void CourseIndexTest::captionLine()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(int, message);
    QFETCH(QString, picture);
    const CourseIndex index = parse({line});
    QVERIFY2(index.problems.isEmpty(), qPrintable(index.problems.join(u'\n')));
    QVERIFY(index.entries.isEmpty());
    QCOMPARE(index.captions.size(), 1);
    const CourseCaption &caption = index.captions.first();
    QCOMPARE(caption.name, name);
    QCOMPARE(caption.message, message);
    QCOMPARE(caption.picture, picture);
}

void CourseIndexTest::skippedLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("why");
    QTest::newRow("caption with three fields") << "Net:0:0"
                                               << "four fields";
    QTest::newRow("blanks only") << "   "
                                 << "four fields";
    QTest::newRow("number field not a number") << "Net:abc:0:\\p.bmp"
                                               << "\"abc\" is not";
    QTest::newRow("number field empty") << "Net::0:\\p.bmp"
                                        << "\"\" is not";
    QTest::newRow("number beyond 32 bits") << "Net:99999999999:0:\\p.bmp"
                                           << "is not";
    QTest::newRow("entry with two fields") << "\\x.avi;Title"
                                           << "a path, a title and a length";
    QTest::newRow("entry with one separator only") << ";"
                                                   << "a path, a title and a length";
}

void CourseIndexTest::skippedLines()
{
    QFETCH(QString, line);
    QFETCH(QString, why);
    const CourseIndex index = parse(
        {QStringLiteral("\\a.avi;A;1:00"), QString(), line, QStringLiteral("\\b.avi;B;2:00")});
    QCOMPARE(index.entries.size(), 2);
    QCOMPARE(index.entries[1].key, QStringLiteral("/media/cd/b.avi"));
    QVERIFY(index.captions.isEmpty());
    QCOMPARE(index.problems.size(), 1);
    const QString &problem = index.problems.first();
    QVERIFY2(problem.startsWith(QStringLiteral("line 3 of /media/cd/bin/index.dat: ")),
             qPrintable(problem));
    QVERIFY2(problem.contains(why), qPrintable(problem));
}

void CourseIndexTest::mixedFileKeepsOrder()
{
    const CourseIndex index = parse({
        QStringLiteral("\\m1.avi;Module 1;20:00"),
        QString(),
        QStringLiteral("Networking:0:0:\\bin\\one.jpg"),
        QStringLiteral("\\m2.avi;Module 2;10:00"),
        QString(),
        QStringLiteral("Routing:5:0:\\bin\\two.jpg"),
    });
    QVERIFY(index.problems.isEmpty());
    QCOMPARE(index.entries.size(), 2);
    QCOMPARE(index.entries[0].title, QStringLiteral("Module 1"));
    QCOMPARE(index.entries[1].title, QStringLiteral("Module 2"));
    QCOMPARE(index.captions.size(), 2);
    QString caption = QStringLiteral("Vorlund - IT Certification Videos -");
    for (const CourseCaption &line : index.captions)
        caption = line.appendTo(caption);
    QCOMPARE(caption, QStringLiteral("Vorlund - IT Certification Videos - (Networking) (Routing)"));
    QCOMPARE(index.captions.last().picture, QStringLiteral("/media/cd/bin/two.jpg"));
}

void CourseIndexTest::duplicateKeyIgnoresLetterCase()
{
    const CourseIndex index =
        parse({QStringLiteral("\\m1.avi;First;1:00"), QStringLiteral("\\M1.AVI;Second;2:00"),
               QStringLiteral("/m1.avi;Third;3:00")});
    QCOMPARE(index.entries.size(), 1);
    QCOMPARE(index.entries.first().title, QStringLiteral("First"));
    QCOMPARE(index.problems.size(), 2);
    QVERIFY(index.problems[0].startsWith(QStringLiteral("line 2 of ")));
    QVERIFY(index.problems[0].contains(QStringLiteral("/media/cd/m1.avi is already")));
    QVERIFY(index.problems[1].startsWith(QStringLiteral("line 3 of ")));
}

void CourseIndexTest::readsFileBesideProgram()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    const QString root = dir.path();
    QCOMPARE(pellin::courseIndexPath(root), root + QStringLiteral("/bin/index.dat"));
    QFile file(pellin::courseIndexPath(root));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Netzwerke:0:0:\\bin\\logo.jpg\r\n"
               "\\intro.asf;Willkommen;1:05\r\n"
               "\r\n"
               "\\m1.avi;Einf\xFChrung;20:00\r\n"
               "\\m2.avi;\xC3\x9C"
               "bung;5:00\r\n"
               "\\m3.avi;short\r\n");
    file.close();

    const CourseIndex index = pellin::readCourseIndex(root);
    QCOMPARE(index.captions.size(), 1);
    QCOMPARE(index.captions.first().name, QStringLiteral("Netzwerke"));
    QCOMPARE(index.captions.first().picture, root + QStringLiteral("/bin/logo.jpg"));
    QCOMPARE(index.entries.size(), 3);
    QCOMPARE(index.entries[0].key, (root + QStringLiteral("/intro.asf")).toLower());
    QVERIFY(index.entries[0].intro);
    QCOMPARE(index.entries[1].title, QStringLiteral("Einführung"));
    QCOMPARE(index.entries[2].title, QStringLiteral("Übung"));
    QCOMPARE(index.problems,
             QStringList{QStringLiteral("line 6 of %1: an entry needs a path, a title and a "
                                        "length separated by \";\"")
                             .arg(pellin::courseIndexPath(root))});
}

void CourseIndexTest::missingFile()
{
    QTemporaryDir dir;
    const CourseIndex index = pellin::readCourseIndex(dir.path());
    QVERIFY(index.captions.isEmpty());
    QVERIFY(index.entries.isEmpty());
    QCOMPARE(index.problems.size(), 1);
    QVERIFY(index.problems.first().contains(pellin::courseIndexPath(dir.path())));
    QVERIFY(index.problems.first().contains(QStringLiteral("Path not found")));

    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    const CourseIndex noFile = pellin::readCourseIndex(dir.path());
    QCOMPARE(noFile.problems.size(), 1);
    QVERIFY(noFile.problems.first().contains(QStringLiteral("File not found")));
}

void CourseIndexTest::skippedLinesReport_data()
{
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("report"); // the lines after the heading
    const auto numbered = [](int count) {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << QStringLiteral("line %1 of %2: bad").arg(i).arg(kFile);
        return lines;
    };
    const auto named = [](int count) {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << QStringLiteral("line %1 of index.dat: bad").arg(i);
        return lines;
    };
    QTest::newRow("one") << numbered(1) << named(1);
    QTest::newRow("twenty, all named") << numbered(20) << named(20);
    QTest::newRow("twenty-one") << numbered(21) << named(20) + QStringList{"and 1 more."};
    QTest::newRow("a hundred thousand")
        << numbered(100000) << named(20) + QStringList{"and 99980 more."};

    QTest::newRow("names inside the course from the course folder")
        << QStringList{QStringLiteral("line 9 of %1: the video /media/cd/m1.avi is already in "
                                      "the list")
                           .arg(kFile),
                       QStringLiteral("the course picture /media/cd/pics/logo.png: File not found")}
        << QStringList{QStringLiteral("line 9 of index.dat: the video /m1.avi is already") +
                           QChar(0x2026),
                       QStringLiteral("the course picture /pics/logo.png: File not found")};
    // U+1F3AC takes two UTF-16 units; one across the cut is left out whole.
    const QString clapper = QString::fromUcs4(U"\U0001F3AC");
    QTest::newRow("a character of two units is never split")
        << QStringList{QString(48, u'a') + clapper + QString(10, u'b')}
        << QStringList{QString(48, u'a') + QChar(0x2026)};
}

// The box names the first twenty problems, each short enough for one line of the box, and then
// says how many more there were.
void CourseIndexTest::skippedLinesReport()
{
    QFETCH(QStringList, problems);
    QFETCH(QStringList, report);
    const QStringList lines = pellin::skippedLinesReport(problems, kRoot).split("\r\n");
    QCOMPARE(lines.first(),
             QStringLiteral("The course index could not be read completely. Skipped:"));
    QCOMPARE(lines.mid(1), report);
    for (const QString &line : lines.mid(1))
        QVERIFY2(line.size() <= pellin::kProblemLength, qPrintable(line));
}

void CourseIndexTest::installedWithoutCourse_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("desktopEntry");
    QTest::addColumn<bool>("installed");
    QTest::newRow("installed, no course") << QString() << true << true;
    QTest::newRow("installed tree with an index") << "index.dat" << true << false;
    QTest::newRow("index in capitals") << "INDEX.DAT" << true << false;
    QTest::newRow("course without its index") << QString() << false << false;
    QTest::newRow("course") << "index.dat" << false << false;
}

// The program lies in <tree>/bin, where the index of a course would be too.
void CourseIndexTest::installedWithoutCourse()
{
    QFETCH(QString, index);
    QFETCH(bool, desktopEntry);
    QFETCH(bool, installed);
    QTemporaryDir dir;
    const QString root = dir.path();
    const QDir program(root + QStringLiteral("/bin"));
    QVERIFY(QDir().mkpath(program.path()));
    if (!index.isEmpty()) {
        QFile file(program.filePath(index));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (desktopEntry) {
        const QString entry = QDir::cleanPath(program.filePath(pellin::installedDesktopEntry()));
        QVERIFY(!entry.startsWith(program.path() + u'/'));
        QVERIFY(QDir().mkpath(QFileInfo(entry).path()));
        QFile file(entry);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(pellin::isInstalledWithoutCourse(program.path(), root), installed);
}

QTEST_GUILESS_MAIN(CourseIndexTest)
#include "tst_CourseIndex.moc"
