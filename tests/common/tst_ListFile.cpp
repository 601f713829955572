#include "common/ListFile.h"
#include "failure/Failure.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using pellin::ListEntry;
using pellin::ListFileContent;

namespace
{

const QString kFile = QStringLiteral("/home/student/course.pel");

} // namespace

class ListFileTest : public QObject
{
    Q_OBJECT

  private slots:
    void parsesLines();
    void skippedLines_data();
    void skippedLines();
    void duplicateKeys();
    void formatsLines();
    void semicolonInTitleSplitsWhenRead();
    void roundTripThroughFile();
    void keyStartingWithFeffSurvivesSaveAndReopen();
    void manyEntriesWithOneKey();
    void carryOverFile();
    void readFailure();
};

void ListFileTest::parsesLines()
{
    const ListFileContent content = pellin::parseListLines(
        {QStringLiteral("a.asf;Intro;1:00"), QString(), QStringLiteral("b.mpg;Second;2:30;more"),
         QStringLiteral("d:\\videos\\Routing.avi; routing ; 12:40")},
        kFile);
    QVERIFY(content.problems.isEmpty());
    QCOMPARE(content.entries,
             (QList<ListEntry>{
                 {QStringLiteral("a.asf"), QStringLiteral("Intro"), QStringLiteral("1:00")},
                 {QStringLiteral("b.mpg"), QStringLiteral("Second"), QStringLiteral("2:30")},
                 {QStringLiteral("d:/videos/Routing.avi"), QStringLiteral(" routing "),
                  QStringLiteral(" 12:40")}}));
}

void ListFileTest::skippedLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("key only") << "d:/videos/a.avi";
    QTest::newRow("two pieces") << "d:/videos/a.avi;title";
    QTest::newRow("blanks only") << "   ";
}

void ListFileTest::skippedLines()
{
    QFETCH(QString, line);
    const ListFileContent content = pellin::parseListLines(
        {QStringLiteral("x.avi;X;1:00"), line, QStringLiteral("y.avi;Y;2:00")}, kFile);
    QCOMPARE(content.entries.size(), 2);
    QCOMPARE(content.entries[1].key, QStringLiteral("y.avi"));
    QCOMPARE(content.problems,
             QStringList{QStringLiteral("line 2 of /home/student/course.pel: an entry needs a "
                                        "path, a title and a length separated by \";\"")});
}

void ListFileTest::duplicateKeys()
{
    const ListFileContent content = pellin::parseListLines(
        {QStringLiteral("d:/v/a.avi;First;1:00"), QStringLiteral("D:\\V\\A.AVI;Second;2:00"),
         QStringLiteral("d:/v/b.avi;Third;3:00"), QStringLiteral("d:/v/a.avi;Fourth;4:00")},
        kFile);
    QCOMPARE(content.entries.size(), 2);
    QCOMPARE(content.entries[0].title, QStringLiteral("First"));
    QCOMPARE(content.entries[1].title, QStringLiteral("Third"));
    QCOMPARE(content.problems.size(), 2);
    QCOMPARE(content.problems[0], QStringLiteral("line 2 of /home/student/course.pel: the video "
                                                 "D:/V/A.AVI is already in the list"));
    QVERIFY(content.problems[1].startsWith(QStringLiteral("line 4 of ")));
}

void ListFileTest::formatsLines()
{
    QCOMPARE(pellin::formatListLines({{QStringLiteral("d:/videos/routing basics.avi"),
                                       QStringLiteral("routing basics"), QStringLiteral("12:40")},
                                      {QStringLiteral("e.asf"), QString(), QString()}}),
             (QStringList{QStringLiteral("d:/videos/routing basics.avi;routing basics;12:40"),
                          QStringLiteral("e.asf;;")}));
    QVERIFY(pellin::formatListLines({}).isEmpty());
}

void ListFileTest::semicolonInTitleSplitsWhenRead()
{
    const QStringList lines = pellin::formatListLines(
        {{QStringLiteral("k.avi"), QStringLiteral("part a;part b"), QStringLiteral("1:00")}});
    QCOMPARE(lines, QStringList{QStringLiteral("k.avi;part a;part b;1:00")});
    const ListFileContent content = pellin::parseListLines(lines, kFile);
    QCOMPARE(content.entries, (QList<ListEntry>{{QStringLiteral("k.avi"), QStringLiteral("part a"),
                                                 QStringLiteral("part b")}}));
}

void ListFileTest::roundTripThroughFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("my list.pel"));
    const QList<ListEntry> entries{
        {QStringLiteral("/media/cd/intro.asf"), QStringLiteral("Willkommen"),
         QStringLiteral("1:05")},
        {QStringLiteral("/home/student/Videos/Übung 1.AVI"), QStringLiteral("übung 1"),
         QStringLiteral("????")},
        {QStringLiteral("/media/cd/m2.avi"), QStringLiteral("Module “2”"), QStringLiteral("62:05")},
    };
    pellin::writeListFile(path, entries);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("/media/cd/intro.asf;Willkommen;1:05\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), 3);

    const ListFileContent content = pellin::readListFile(path);
    QVERIFY(content.problems.isEmpty());
    QCOMPARE(content.entries, entries);
}

// U+FEFF is a byte order mark only as the file's first bytes; a key that starts with it on any
// other line keeps it, and so names the same video once saved and read back.
void ListFileTest::keyStartingWithFeffSurvivesSaveAndReopen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pel"));
    // Written on Windows: its first line is Windows-1252, the others UTF-8.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("/media/cd/caf\xE9.avi;Caf\xE9;1:00\r\n"
                   "\xEF\xBB\xBF/media/cd/b.avi;B;2:00\r\n"
                   "/media/cd/b.avi;B again;2:00\r\n");
    }
    const QList<ListEntry> entries{
        {QStringLiteral("/media/cd/café.avi"), QStringLiteral("Café"), QStringLiteral("1:00")},
        {QStringLiteral("\uFEFF/media/cd/b.avi"), QStringLiteral("B"), QStringLiteral("2:00")},
        {QStringLiteral("/media/cd/b.avi"), QStringLiteral("B again"), QStringLiteral("2:00")},
    };
    ListFileContent content = pellin::readListFile(path);
    QVERIFY(content.problems.isEmpty());
    QCOMPARE(content.entries, entries);

    // Saved from what was read, as the playlist window does, and opened again.
    pellin::writeListFile(path, content.entries);
    content = pellin::readListFile(path);
    QVERIFY(content.problems.isEmpty());
    QCOMPARE(content.entries, entries);
}

void ListFileTest::manyEntriesWithOneKey()
{
    const QStringList lines(100000, QStringLiteral("d:/v/same.avi;Same;1:00"));
    const ListFileContent content = pellin::parseListLines(lines, kFile);
    QCOMPARE(content.entries.size(), 1);
    QCOMPARE(content.problems.size(), 99999);
    QVERIFY(content.problems.last().startsWith(QStringLiteral("line 100000 of ")));
}

void ListFileTest::carryOverFile()
{
    QCOMPARE(QString::fromLatin1(pellin::CarryOverFileName), QStringLiteral("tmpPlist.txt"));
    QCOMPARE(pellin::carryOverPath(QStringLiteral("/tmp/")), QStringLiteral("/tmp/tmpPlist.txt"));
}

void ListFileTest::readFailure()
{
    QTemporaryDir dir;
    try {
        pellin::readListFile(dir.filePath(QStringLiteral("never written.pel")));
        QFAIL("reading a missing file succeeded");
    } catch (const pellin::Failure &failure) {
        QCOMPARE(failure.number(), pellin::failure::FileNotFound);
    }
}

QTEST_GUILESS_MAIN(ListFileTest)
#include "tst_ListFile.moc"
