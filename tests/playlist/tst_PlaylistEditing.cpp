// The playlist toolbar's editing buttons, moving entries and sorting, on real folders with the
// simulated media engine measuring the videos and the choosers and message boxes scripted; and
// the choosers' scripted seam itself.
#include "common/Choosers.h"
#include "common/modGlobals.h"
#include "mci/SimulatedMedia.h"
#include "player/Playback.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/PlaylistRows.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using namespace modGlobals;
using support::kIntro;
using support::kWhite;
using support::kYellow;
using support::MediaRecorder;
using support::Row;

namespace
{

const QString kDuplicate =
    QStringLiteral("The following video is already loaded within the playlist: \r\n\r\n");

} // namespace

class PlaylistEditingTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void addFileMeasuresTheVideo();
    void addFileThatCannotBePlayedReadsZero();
    void cancelledChoosersChangeNothing_data();
    void cancelledChoosersChangeNothing();
    void addDirectoryInPatternOrder();
    void addDirectoryTreeMeasuresNothing();
    void duplicatesAreRefusedAndNamed_data();
    void duplicatesAreRefusedAndNamed();
    void duplicateInOtherLetterCaseFromAListFile();
    void addingHoldsAPlayingVideoOnly_data();
    void addingHoldsAPlayingVideoOnly();
    void removeAndNew();
    void moveUpAndDown_data();
    void moveUpAndDown();
    void movingKeepsTheCurrentColour();
    void colourPassAfterSortWritesChangedEntriesOnly();
    void sortByColumn();
    void sortedListTakesAddedEntriesInPlace();
    void scriptedChooserAnswersAndRecords();

  private:
    frmPlaylist &playlist() { return forms::frmPlaylist(); }
    QString makeFile(const QString &relative, qint64 lengthMs = -1);
    std::vector<Row> rows();
    void fill(const QStringList &keys);
    QStringList keys();
    // The media commands that name `word`, in the order sent.
    QStringList commandsWith(const QString &word) const
    {
        return f->recorder->commands().filter(word, Qt::CaseInsensitive);
    }

    std::optional<support::WindowFixture> f;
};

QString PlaylistEditingTest::makeFile(const QString &relative, qint64 lengthMs)
{
    const QString path = f->filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    if (lengthMs >= 0)
        f->media->addFile(path, lengthMs);
    else
        f->media->addUnplayableFile(path);
    return path;
}

std::vector<Row> PlaylistEditingTest::rows()
{
    return support::rowsOf(playlist().lvPlaylist);
}

QStringList PlaylistEditingTest::keys()
{
    QStringList result;
    for (const Row &row : rows())
        result << row.key;
    return result;
}

void PlaylistEditingTest::fill(const QStringList &entryKeys)
{
    for (const QString &key : entryKeys)
        playlist().AddEntry(key, key.section(u'/', -1).section(u'.', 0, 0), "1:00");
}

// The videos are measured by the simulated engine; every media command is kept and handed on.
void PlaylistEditingTest::init()
{
    f.emplace();
    QVERIFY(f->valid());
    f->simulateMedia();
    f->recorder.emplace(MediaRecorder::Answering::ByPrevious);
    forms::frmMain();
}

void PlaylistEditingTest::cleanup()
{
    f.reset();
}

void PlaylistEditingTest::addFileMeasuresTheVideo()
{
    const QString path = makeFile("Clips/Intro.Part1.ASF", 61000);
    f->chooserAnswers << path + QChar(u'\0');
    support::pressPlaylist("file");

    QCOMPARE(rows(), (std::vector<Row>{{path.toLower(), "intro", "1:01", kIntro}}));
    QCOMPARE(f->chooserCalls.size(), 1);
    const ChooserCall &call = f->chooserCalls[0];
    QCOMPARE(call.kind, ChooserKind::OpenFile);
    QCOMPARE(call.owner, playlist().hWnd());
    QCOMPARE(call.title, QString("Add Media File"));
    QCOMPARE(call.filter,
             QString("Video Files (*.MPG;*.MPEG;*.AVI;*.ASF) |*.mpg;*.mpeg;*.avi;*.asf|"));
    QCOMPARE(call.initialFolder, QString());

    // The probe works beside the playing video and is closed again.
    const QStringList probe = commandsWith("movie2");
    QVERIFY(probe.first().startsWith("open "));
    QVERIFY(probe.first().contains("Alias movie2 parent " +
                                   QString::number(forms::frmMain().picVideo.hWnd())));
    QVERIFY(probe.contains("play movie2 from 0 to 1"));
    QCOMPARE(probe.mid(probe.size() - 2), QStringList({"Stop movie2", "Close movie2"}));
    QCOMPARE(f->media->openDevices(), 0);
    QCOMPARE(playlist().MousePointer(), 0);
    QVERIFY(f->boxes.empty());

    // The next dialog starts where the last file came from.
    const QString second = makeFile("Clips/lesson.avi", 5000);
    f->chooserAnswers << second;
    support::pressPlaylist("file");
    QCOMPARE(f->chooserCalls[1].initialFolder, f->filePath("Clips") + "/");
    QCOMPARE(rows().back(), (Row{second.toLower(), "lesson", "0:05", kWhite}));
}

void PlaylistEditingTest::addFileThatCannotBePlayedReadsZero()
{
    const QString path = makeFile("broken.avi");
    f->chooserAnswers << path;
    support::pressPlaylist("file");
    QCOMPARE(rows(), (std::vector<Row>{{path.toLower(), "broken", "0:00", kWhite}}));
    QCOMPARE(f->media->openDevices(), 0);
}

void PlaylistEditingTest::cancelledChoosersChangeNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("file") << "file";
    QTest::newRow("dir") << "dir";
    QTest::newRow("dir_rec") << "dir_rec";
    QTest::newRow("open") << "open";
    QTest::newRow("save") << "save";
}

void PlaylistEditingTest::cancelledChoosersChangeNothing()
{
    QFETCH(QString, button);
    fill({"/v/a.avi"});
    gLastFolder = "/remembered";
    playlist().mDialogFolder = "/dialog/";
    support::pressPlaylist(button.toLatin1().constData());
    QCOMPARE(f->chooserCalls.size(), 1);
    QCOMPARE(keys(), QStringList({"/v/a.avi"}));
    QCOMPARE(gLastFolder, QString("/remembered"));
    QCOMPARE(playlist().mDialogFolder, QString("/dialog/"));
    QCOMPARE(playlist().mSaveFile, QString());
    QCOMPARE(playlist().MousePointer(), 0);
    QVERIFY(commandsWith("movie2").isEmpty());
    QVERIFY(f->boxes.empty());
}

void PlaylistEditingTest::addDirectoryInPatternOrder()
{
    const QString a = makeFile("Dir/a.mpg", 1000);
    const QString b = makeFile("Dir/b.avi", 2000);
    const QString c = makeFile("Dir/C.ASF", 3000);
    const QString d = makeFile("Dir/d.mpeg", 4000);
    makeFile("Dir/notes.txt", 1);
    makeFile("Dir/.hidden.avi", 1);
    makeFile("Dir/Sub/deeper.avi", 1);
    const QString folder = f->filePath("Dir");
    f->chooserAnswers << folder;
    support::pressPlaylist("dir");

    QCOMPARE(rows(), (std::vector<Row>{{a.toLower(), "a", "0:01", kWhite},
                                       {d.toLower(), "d", "0:04", kWhite},
                                       {b.toLower(), "b", "0:02", kWhite},
                                       {c.toLower(), "c", "0:03", kIntro}}));
    QCOMPARE(f->chooserCalls[0].kind, ChooserKind::Folder);
    QCOMPARE(f->chooserCalls[0].title,
             QString("Select Directory (Only searches the selected directory):"));
    QCOMPARE(f->chooserCalls[0].owner, playlist().hWnd());
    QCOMPARE(gLastFolder, folder);
    QCOMPARE(commandsWith("Close movie2").size(), 4);
    QCOMPARE(f->media->openDevices(), 0);

    // The next browser starts in the folder chosen last.
    support::pressPlaylist("dir_rec");
    QCOMPARE(f->chooserCalls[1].initialFolder, folder);
}

void PlaylistEditingTest::addDirectoryTreeMeasuresNothing()
{
    const QString intro = makeFile("Course/Intro.ASF", 1000);
    const QString a = makeFile("Course/Part1/a.avi", 1000);
    makeFile("Course/Part1/b.mpg", 1000);
    makeFile("Course/.hidden/c.avi", 1000);
    QVERIFY(QFile::link(f->filePath("Course"), f->filePath("Course/Part1/loop")));
    f->chooserAnswers << f->filePath("Course");
    support::pressPlaylist("dir_rec");

    QCOMPARE(rows(), (std::vector<Row>{{a.toLower(), "a", "????", kWhite},
                                       {intro.toLower(), "intro", "????", kIntro}}));
    QCOMPARE(f->chooserCalls[0].title,
             QString("Select Directory (Searches all subdirectories within selected directory):"));
    QVERIFY(f->recorder->commands().filter("movie").isEmpty());
    QCOMPARE(playlist().MousePointer(), 0);
}

void PlaylistEditingTest::duplicatesAreRefusedAndNamed_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("file") << "file";
    QTest::newRow("dir") << "dir";
    QTest::newRow("dir_rec") << "dir_rec";
}

void PlaylistEditingTest::duplicatesAreRefusedAndNamed()
{
    QFETCH(QString, button);
    const QString path = makeFile("Twice/Lesson.AVI", 3000);
    const QString answer = button == "file" ? path : f->filePath("Twice");
    f->chooserAnswers << answer << answer;
    support::pressPlaylist(button.toLatin1().constData());
    QCOMPARE(keys(), QStringList({path.toLower()}));
    QVERIFY(f->boxes.empty());
    const int probesBefore = commandsWith("open ").size();

    support::pressPlaylist(button.toLatin1().constData());
    QCOMPARE(keys(), QStringList({path.toLower()}));
    QCOMPARE(f->boxes.size(), std::size_t(1));
    // The path as it was built, not lower-cased.
    QCOMPARE(f->boxes[0].prompt, kDuplicate + path);
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbInformation);
    QCOMPARE(f->boxes[0].title, kAppTitle);
    // Nothing is measured for a video that is refused; no probe is left open.
    QCOMPARE(commandsWith("open ").size(), probesBefore);
    QCOMPARE(f->media->openDevices(), 0);
    QCOMPARE(playlist().MousePointer(), 0);
}

void PlaylistEditingTest::duplicateInOtherLetterCaseFromAListFile()
{
    const QString path = makeFile("Mixed/New.avi", 3000);
    const QString stored = f->filePath("Mixed/NEW.AVI");
    playlist().AddEntry(stored, "stored", "0:03");
    makeFile("Mixed/other.avi", 1000);
    f->chooserAnswers << f->filePath("Mixed");
    support::pressPlaylist("dir");
    QCOMPARE(keys(), QStringList({stored, f->filePath("Mixed/other.avi").toLower()}));
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QCOMPARE(f->boxes[0].prompt, kDuplicate + path);
}

void PlaylistEditingTest::addingHoldsAPlayingVideoOnly_data()
{
    QTest::addColumn<QString>("playImage");
    QTest::addColumn<bool>("held");
    QTest::newRow("playing") << "pause" << true;
    QTest::newRow("paused by the student") << "play" << false;
}

void PlaylistEditingTest::addingHoldsAPlayingVideoOnly()
{
    QFETCH(QString, playImage);
    QFETCH(bool, held);
    const QString playing = makeFile("playing.avi", 60000);
    gMCI->LoadedFilename(playing.toStdString());
    gMCI->AliasName("movie");
    gMCI->OpenMultimedia(forms::frmMain().picVideo.hWnd());
    gMCI->PlayMultimedia("0", "0");
    // The play button's look and the player's state are written together, as the transport does.
    if (playImage == QLatin1String("pause"))
        playback::ShowPlayingLook();
    else
        playback::ShowPausedLook();
    QCOMPARE(forms::frmMain().tlbMain.Buttons("play").Image(), playImage);
    f->recorder->clear();

    f->chooserAnswers << makeFile("added.avi", 1000);
    support::pressPlaylist("file");
    const QStringList expected =
        held ? QStringList({"Pause movie", "Resume movie"}) : QStringList();
    QCOMPARE(f->recorder->commands().filter(QRegularExpression("^(Pause|Resume) movie$")),
             expected);
    QCOMPARE(rows().size(), std::size_t(1));
}

void PlaylistEditingTest::removeAndNew()
{
    support::pressPlaylist("delete"); // an empty list: nothing happens
    QVERIFY(f->boxes.empty());

    fill({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
    support::pressPlaylist("delete"); // rows, none selected: nothing to remove
    QCOMPARE(keys().size(), 3);
    playlist().lvPlaylist.findKey("/v/b.avi")->setSelected(true);
    support::pressPlaylist("delete");
    QCOMPARE(keys(), QStringList({"/v/a.avi", "/v/c.avi"}));

    playlist().mDialogFolder = "/v/";
    playlist().mSaveFile = "/lists/mine.pel";
    support::pressPlaylist("new");
    QCOMPARE(playlist().lvPlaylist.Count(), 0);
    QCOMPARE(playlist().mDialogFolder, QString());
    QCOMPARE(playlist().mSaveFile, QString());
    QVERIFY(f->boxes.empty());
}

void PlaylistEditingTest::moveUpAndDown_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("expected");
    const QStringList abc{"/v/a.avi", "/v/b.avi", "/v/c.avi"};
    QTest::newRow("up") << abc << "/v/b.avi"
                        << "up" << QStringList({"/v/b.avi", "/v/a.avi", "/v/c.avi"});
    QTest::newRow("down") << abc << "/v/b.avi"
                          << "down" << QStringList({"/v/a.avi", "/v/c.avi", "/v/b.avi"});
    QTest::newRow("up on the first") << abc << "/v/a.avi"
                                     << "up" << abc;
    QTest::newRow("down on the last") << abc << "/v/c.avi"
                                      << "down" << abc;
    QTest::newRow("one entry up") << QStringList({"/v/a.avi"}) << "/v/a.avi"
                                  << "up" << QStringList({"/v/a.avi"});
    QTest::newRow("none selected") << abc << ""
                                   << "down" << abc;
}

void PlaylistEditingTest::moveUpAndDown()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, selected);
    QFETCH(QString, button);
    QFETCH(QStringList, expected);
    fill(entries);
    if (!selected.isEmpty())
        playlist().lvPlaylist.findKey(selected)->setSelected(true);
    const std::vector<Row> before = rows();
    support::pressPlaylist(button.toLatin1().constData());
    QCOMPARE(keys(), expected);
    // Titles and lengths travel with their keys.
    for (const Row &row : rows())
        QCOMPARE(row.title, row.key.section(u'/', -1).section(u'.', 0, 0));
    if (!selected.isEmpty())
        QVERIFY(playlist().lvPlaylist.findKey(selected)->Selected());
    QVERIFY(f->boxes.empty());

    if (button == "up" && selected == "/v/b.avi") {
        support::pressPlaylist("down");
        QCOMPARE(rows(), before);
        QVERIFY(playlist().lvPlaylist.findKey(selected)->Selected());
    }
}

void PlaylistEditingTest::movingKeepsTheCurrentColour()
{
    fill({"/v/a.avi", "/v/intro.asf", "/v/c.avi"});
    toolkit::ListView &list = playlist().lvPlaylist;
    list.findKey("/v/a.avi")->setForeColor(kYellow);
    list.findKey("/v/c.avi")->setSelected(true);

    gMCI->mstrLongFileName = "/v/c.avi";
    support::pressPlaylist("up");
    QCOMPARE(rows(), (std::vector<Row>{{"/v/a.avi", "a", "1:00", kWhite},
                                       {"/v/c.avi", "c", "1:00", kYellow},
                                       {"/v/intro.asf", "intro", "1:00", kIntro}}));

    // A file opened from disk is no entry: no entry stays current.
    gMCI->mstrLongFileName = "/elsewhere/single.avi";
    support::pressPlaylist("up");
    QCOMPARE(keys(), QStringList({"/v/c.avi", "/v/a.avi", "/v/intro.asf"}));
    for (const Row &row : rows())
        QVERIFY(row.colour != kYellow);
}

void PlaylistEditingTest::colourPassAfterSortWritesChangedEntriesOnly()
{
    fill({"/v/c.avi", "/v/intro.asf", "/v/a.avi", "/v/b.avi"});
    playlist().lvPlaylist_ColumnClick(1); // by title, descending
    playlist().ApplyColourRule("/v/a.avi");
    QSignalSpy changed(playlist().lvPlaylist.model(), &QAbstractItemModel::dataChanged);

    playlist().ApplyColourRule("/v/b.avi");
    QCOMPARE(rows(), (std::vector<Row>{{"/v/intro.asf", "intro", "1:00", kIntro},
                                       {"/v/c.avi", "c", "1:00", kWhite},
                                       {"/v/b.avi", "b", "1:00", kYellow},
                                       {"/v/a.avi", "a", "1:00", kWhite}}));
    // The entry that was current and the one that is now; the others keep their colour.
    QCOMPARE(changed.size(), 2);
}

void PlaylistEditingTest::sortByColumn()
{
    toolkit::ListView &list = playlist().lvPlaylist;
    playlist().AddEntry("/v/b.avi", "beta", "10:00");
    playlist().AddEntry("/v/a.avi", "alpha", "9:59");
    playlist().AddEntry("/v/c.avi", "gamma", "0:30");

    playlist().lvPlaylist_ColumnClick(1);
    QVERIFY(list.Sorted());
    QCOMPARE(list.SortKey(), 0);
    QCOMPARE(keys(), QStringList({"/v/c.avi", "/v/b.avi", "/v/a.avi"}));
    playlist().lvPlaylist_ColumnClick(1);
    QCOMPARE(keys(), QStringList({"/v/a.avi", "/v/b.avi", "/v/c.avi"}));
    // One order for the whole list: the other column flips it too. Lengths sort as text.
    playlist().lvPlaylist_ColumnClick(2);
    QCOMPARE(list.SortKey(), 1);
    QCOMPARE(keys(), QStringList({"/v/a.avi", "/v/b.avi", "/v/c.avi"}));
    playlist().lvPlaylist_ColumnClick(2);
    QCOMPARE(keys(), QStringList({"/v/c.avi", "/v/b.avi", "/v/a.avi"}));

    // The header itself is wired to the handler.
    emit list.header()->sectionClicked(0);
    QCOMPARE(list.SortKey(), 0);
    QCOMPARE(keys(), QStringList({"/v/c.avi", "/v/b.avi", "/v/a.avi"}));
}

void PlaylistEditingTest::sortedListTakesAddedEntriesInPlace()
{
    playlist().AddEntry("/v/a.avi", "alpha", "1:00");
    playlist().AddEntry("/v/c.avi", "gamma", "1:00");
    playlist().lvPlaylist_ColumnClick(1);
    playlist().lvPlaylist_ColumnClick(1); // ascending by title
    f->chooserAnswers << makeFile("Sorted/beta.avi", 2000);
    support::pressPlaylist("file");
    QCOMPARE(keys(),
             QStringList({"/v/a.avi", f->filePath("Sorted/beta.avi").toLower(), "/v/c.avi"}));
}

void PlaylistEditingTest::scriptedChooserAnswersAndRecords()
{
    f->chooserAnswers = {"/videos/Intro.avi", "", "/lists/x.pel", "/videos"};
    QCOMPARE(ShowOpenFileDialog(7, "F|*.f|", "Open Media File", "/root"),
             QString("/videos/Intro.avi"));
    QCOMPARE(ShowOpenFileDialog(7, "F|*.f|", "Open Media File", "/root"), QString());
    QCOMPARE(ShowSaveFileDialog(8, "P|*.pel|", "Save Pellin Playlist", ""),
             QString("/lists/x.pel"));
    QCOMPARE(BrowseForFolder("/last", "Select Directory"), QString("/videos"));

    const QList<ChooserCall> &calls = f->chooserCalls;
    QCOMPARE(calls.size(), 4);
    QCOMPARE(calls[0].kind, ChooserKind::OpenFile);
    QCOMPARE(calls[0].owner, 7LL);
    QCOMPARE(calls[0].filter, QString("F|*.f|"));
    QCOMPARE(calls[0].title, QString("Open Media File"));
    QCOMPARE(calls[0].initialFolder, QString("/root"));
    QCOMPARE(calls[2].kind, ChooserKind::SaveFile);
    QCOMPARE(calls[3].kind, ChooserKind::Folder);
    QCOMPARE(calls[3].initialFolder, QString("/last"));
    // No playlist window is loaded here: the browser has no owner.
    QCOMPARE(calls[3].owner, 0LL);
}

QTEST_MAIN(PlaylistEditingTest)
#include "tst_PlaylistEditing.moc"
