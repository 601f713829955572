// The folder-tree walk on real folders and the choosers' filters, without a GUI.
#include "common/Choosers.h"
#include "common/MediaSearch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace modGlobals;

namespace
{

void touch(const QString &path)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QList<FoundVideo> search(const QString &folder, const QString &pattern, bool recurse)
{
    QList<FoundVideo> found;
    FindFiles(folder, pattern, recurse, [&found](const FoundVideo &video) { found << video; });
    return found;
}

QList<FoundVideo> search(const QString &folder, const QStringList &patterns)
{
    QList<FoundVideo> found;
    FindFiles(folder, patterns, true, [&found](const FoundVideo &video) { found << video; });
    return found;
}

QStringList keysOf(const QList<FoundVideo> &found)
{
    QStringList keys;
    for (const FoundVideo &video : found)
        keys << video.key;
    return keys;
}

// Restores a folder's permissions however the test ends.
struct PermissionsBack {
    QString path;
    ~PermissionsBack() { chmod(QFile::encodeName(path).constData(), 0755); }
};

} // namespace

class MediaSearchTest : public QObject
{
    Q_OBJECT

  private slots:
    void init() { QVERIFY(mTemp.isValid()); }

    void walksDepthFirstWithOwnFilesFirst();
    void onePassGivesEachPatternsFilesInTurn();
    void chosenFolderFoundIgnoringCase();
    void titlesAreCutAtTheFirstDot_data();
    void titlesAreCutAtTheFirstDot();
    void skipsDotFoldersAndFolderNamedLikeVideos();
    void withoutRecursionOnlyTheChosenFolder();
    void linkLoopEndsTheDescent();
    void linkToAnotherTreeIsWalkedOnce();
    void unreadableFolderIsSkipped();
    void danglingLinkIsSkipped();
    void missingFolderFindsNothing();
    void matchingFileNamesLeavesOutFoldersAndHiddenFiles();
    void rootGetsNoDoubledSeparator();

    void filtersBecomeQtNameFilters_data();
    void filtersBecomeQtNameFilters();

  private:
    QTemporaryDir mTemp;
};

void MediaSearchTest::walksDepthFirstWithOwnFilesFirst()
{
    const QString course = mTemp.filePath("Course");
    touch(course + "/Intro.ASF");
    touch(course + "/Part1/a.avi");
    touch(course + "/Part1/Deep/c.avi");
    touch(course + "/top.avi");

    const QList<FoundVideo> avi = search(course, "*.avi", true);
    const QString root = course.toLower();
    // The chosen folder's own file first, then the subfolder, its own file before its subfolder.
    QCOMPARE(keysOf(avi),
             QStringList({root + "/top.avi", root + "/part1/a.avi", root + "/part1/deep/c.avi"}));
    QCOMPARE(avi[1].path, course + "/Part1/a.avi");
    QCOMPARE(avi[1].title, QString("a"));
    QVERIFY(!avi[1].intro);

    const QList<FoundVideo> asf = search(course, "*.asf", true);
    QCOMPARE(asf.size(), 1);
    QCOMPARE(asf[0].key, root + "/intro.asf");
    QCOMPARE(asf[0].title, QString("intro"));
    QVERIFY(asf[0].intro);
}

void MediaSearchTest::onePassGivesEachPatternsFilesInTurn()
{
    const QString course = mTemp.filePath("Both");
    touch(course + "/Intro.ASF");
    touch(course + "/top.avi");
    touch(course + "/Part1/a.avi");
    touch(course + "/Part1/b.asf");
    touch(course + "/Part1/.hidden/c.avi");
    touch(course + "/Part2/d.AVI");
    QVERIFY(QFile::link(course, course + "/Part2/up"));
    const QString root = course.toLower();

    // Every AVI file in walk order, then every ASF file: what one walk per pattern gives.
    QStringList expected = keysOf(search(course, "*.avi", true));
    expected << keysOf(search(course, "*.asf", true));
    QCOMPARE(expected.size(), 5);
    QCOMPARE(keysOf(search(course, {"*.avi", "*.asf"})), expected);
    QCOMPARE(expected.mid(3), QStringList({root + "/intro.asf", root + "/part1/b.asf"}));
    // A file that two patterns match comes once for each, as two walks would give it.
    QCOMPARE(keysOf(search(course, {"*.asf", "intro.*"})),
             QStringList({root + "/intro.asf", root + "/part1/b.asf", root + "/intro.asf"}));
    QVERIFY(search(course, QStringList{}).isEmpty());
}

void MediaSearchTest::chosenFolderFoundIgnoringCase()
{
    const QString course = mTemp.filePath("Spelled");
    touch(course + "/Module/a.avi");
    const QString written = mTemp.filePath("SPELLED");
    const QList<FoundVideo> found = search(written, "*.avi", true);
    QCOMPARE(found.size(), 1);
    // The path keeps the chosen folder as it was given, then the names as they are.
    QCOMPARE(found[0].path, written + "/Module/a.avi");
}

void MediaSearchTest::titlesAreCutAtTheFirstDot_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::newRow("two dots") << "Lesson 1.Part 2.avi"
                              << "lesson 1";
    QTest::newRow("upper case") << "ROUTING.AVI"
                                << "routing";
    QTest::newRow("no dot") << "README"
                            << "readme";
}

void MediaSearchTest::titlesAreCutAtTheFirstDot()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QCOMPARE(FoundVideoOf("/videos", name).title, title);
}

void MediaSearchTest::skipsDotFoldersAndFolderNamedLikeVideos()
{
    const QString course = mTemp.filePath("Skips");
    touch(course + "/.hidden/secret.avi");
    touch(course + "/x.avi/inside.avi");
    touch(course + "/only.mpg");
    const QStringList keys = keysOf(search(course, "*.avi", true));
    // x.avi is a folder: walked into, never added itself.
    QCOMPARE(keys, QStringList({course.toLower() + "/x.avi/inside.avi"}));
}

void MediaSearchTest::withoutRecursionOnlyTheChosenFolder()
{
    const QString course = mTemp.filePath("Flat");
    touch(course + "/one.avi");
    touch(course + "/sub/two.avi");
    QCOMPARE(keysOf(search(course, "*.avi", false)), QStringList({course.toLower() + "/one.avi"}));
}

void MediaSearchTest::linkLoopEndsTheDescent()
{
    const QString course = mTemp.filePath("Loop");
    touch(course + "/a.avi");
    touch(course + "/sub/b.avi");
    QVERIFY(QFile::link(course, course + "/sub/back"));
    QVERIFY(QFile::link(course + "/sub", course + "/sub/self"));
    const QStringList keys = keysOf(search(course, "*.avi", true));
    QCOMPARE(keys, QStringList({course.toLower() + "/a.avi", course.toLower() + "/sub/b.avi"}));
}

void MediaSearchTest::linkToAnotherTreeIsWalkedOnce()
{
    const QString elsewhere = mTemp.filePath("Elsewhere");
    touch(elsewhere + "/far.avi");
    const QString course = mTemp.filePath("Linked");
    touch(course + "/near.avi");
    QVERIFY(QFile::link(elsewhere, course + "/shortcut"));
    const QStringList keys = keysOf(search(course, "*.avi", true));
    QCOMPARE(keys,
             QStringList({course.toLower() + "/near.avi", course.toLower() + "/shortcut/far.avi"}));
}

void MediaSearchTest::unreadableFolderIsSkipped()
{
    if (geteuid() == 0)
        QSKIP("permissions do not bind the superuser");
    const QString course = mTemp.filePath("Locked");
    touch(course + "/open/a.avi");
    touch(course + "/shut/b.avi");
    touch(course + "/z.avi");
    const PermissionsBack back{course + "/shut"};
    QCOMPARE(chmod(QFile::encodeName(back.path).constData(), 0), 0);
    QStringList keys = keysOf(search(course, "*.avi", true));
    keys.sort();
    QCOMPARE(keys, QStringList({course.toLower() + "/open/a.avi", course.toLower() + "/z.avi"}));
}

void MediaSearchTest::danglingLinkIsSkipped()
{
    const QString course = mTemp.filePath("Dangling");
    touch(course + "/a.avi");
    QVERIFY(QFile::link(mTemp.filePath("gone"), course + "/broken"));
    QCOMPARE(keysOf(search(course, "*.avi", true)), QStringList({course.toLower() + "/a.avi"}));
}

void MediaSearchTest::missingFolderFindsNothing()
{
    QVERIFY(search(mTemp.filePath("nowhere"), "*.avi", true).isEmpty());
    QVERIFY(search(QString(), "*.avi", true).isEmpty());
}

void MediaSearchTest::matchingFileNamesLeavesOutFoldersAndHiddenFiles()
{
    const QString folder = mTemp.filePath("Names");
    touch(folder + "/Clip.MPG");
    touch(folder + "/.junk.mpg");
    touch(folder + "/film.mpeg");
    QVERIFY(QDir().mkpath(folder + "/folder.mpg"));
    QCOMPARE(MatchingFileNames(folder, "*.mpg"), QStringList({"Clip.MPG"}));
    QCOMPARE(MatchingFileNames(folder, "*.mpeg"), QStringList({"film.mpeg"}));
}

void MediaSearchTest::rootGetsNoDoubledSeparator()
{
    QCOMPARE(FoundVideoOf("/", "Intro.asf").path, QString("/Intro.asf"));
    QCOMPARE(FoundVideoOf("/media/cd/", "a.avi").key, QString("/media/cd/a.avi"));
}

void MediaSearchTest::filtersBecomeQtNameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    const QString video = "Video Files (*.MPG;*.MPEG;*.AVI;*.ASF) (*.[mM][pP][gG] "
                          "*.[mM][pP][eE][gG] *.[aA][vV][iI] *.[aA][sS][fF])";
    QTest::newRow("video") << "Video Files (*.MPG;*.MPEG;*.AVI;*.ASF) |*.mpg;*.mpeg;*.avi;*.asf|"
                           << QStringList{video};
    QTest::newRow("video, not closed")
        << "Video Files (*.MPG;*.MPEG;*.AVI;*.ASF) |*.mpg;*.mpeg;*.avi;*.asf" << QStringList{video};
    QTest::newRow("playlist") << "Vorlund Playlist (*.PEL) |*.pel|"
                              << QStringList{"Vorlund Playlist (*.PEL) (*.[pP][eE][lL])"};
    QTest::newRow("two pairs") << "A|*.a|B|*.b1|" << QStringList{"A (*.[aA])", "B (*.[bB]1)"};
}

void MediaSearchTest::filtersBecomeQtNameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(NameFiltersOf(filter), expected);
}

QTEST_GUILESS_MAIN(MediaSearchTest)
#include "tst_MediaSearch.moc"
