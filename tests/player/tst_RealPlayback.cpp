// The main window playing a clip on the real libmpv engine in an X server: the picture appears
// inside the video area and moves, and a playlist entry plays to its end, where the position timer
// stops it and brings the playlist back.
#include "common/modGlobals.h"
#include "mci/LibmpvEngine.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "session/MediaControls.h"
#include "support/Clips.h"
#include "support/Files.h"
#include "support/VideoWidget.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace modGlobals;

namespace
{

// The test picture is colourful; the empty video area is black or dark blue.
bool showsPicture(const QImage &image)
{
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 3);
    return centre.red() + centre.green() + centre.blue() > 120;
}

} // namespace

class tst_RealPlayback : public QObject
{
    Q_OBJECT

  private:
    QTemporaryDir dir;
    QString clip;
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }

    QWidget *video() { return support::videoWidget(&main().picVideo); }

    QImage videoImage()
    {
        QWidget *widget = video();
        return widget ? widget->grab().toImage() : QImage();
    }

  private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        clip = dir.filePath(QStringLiteral("lesson.avi"));
        QString failure;
        QVERIFY2(clips::makeAt(clip, clips::format("avi-mpeg4-mp3"), {}, &failure),
                 qPrintable(failure));
    }

    // The real libmpv engine: the fixture leaves the simulated one unselected.
    void init()
    {
        f.emplace();
        // The fixture's reset leaves the audio output to the desktop; the suite plays silently.
        mci::setAudioOutput(QStringLiteral("null"));
        gMediaRoot = dir.path();
        main().Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
    }

    void cleanup() { f.reset(); }

    void courseVideoPlaysInsideTheVideoArea()
    {
        gMCI->LoadedFilename(clip.toStdString());
        gMCI->AliasName("movie");
        QCOMPARE(gMCI->OpenMultimedia(main().picVideo.hWnd()), std::string("Success"));
        int width = 0;
        int height = 0;
        QCOMPARE(gMCI->PutMultimedia(main().picVideo.hWnd(), 0, 0, width, height),
                 std::string("Success"));
        QCOMPARE(gMCI->PlayMultimedia("0", "0"), std::string("Success"));
        QCOMPARE(gMCI->GetTotalTime(), 4049);

        QWidget *widget = video();
        QVERIFY(widget);
        QVERIFY(widget->isVisible());
        // The video fills the area but for the small margin inside its frame.
        const QRect area = main().picVideo.rect();
        QCOMPARE(widget->geometry(), QRect(0, 0, area.width() - 2, area.height() - 4));
        QCOMPARE(QSize(width, height), widget->size());
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(videoImage()), 10000);
        const QImage first = videoImage();
        QTRY_VERIFY_WITH_TIMEOUT(videoImage() != first, 10000);
        QVERIFY(f->boxes.empty());
        gMCI->CloseMultimedia();
        QVERIFY(!video());
    }

    // A playing video whose file goes: cut to nothing, removed, made unreadable or its mount
    // taken away. One box names the file, the player returns to nothing loaded, and the
    // desktop's media controls say Stopped.
    void aVideoThatVanishesWhilePlayingIsReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cut to nothing") << "truncate";
        QTest::newRow("removed") << "remove";
        QTest::newRow("made unreadable") << "chmod";
        QTest::newRow("mount taken away") << "unmount";
    }

    void aVideoThatVanishesWhilePlayingIsReported()
    {
        QFETCH(QString, how);
        if (how == "chmod" && ::geteuid() == 0)
            QSKIP("root reads a file whatever its mode");
        QString folder = dir.filePath(how);
        QVERIFY(QDir().mkpath(folder));
        if (how == "unmount" &&
            ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=16m") != 0)
            QSKIP("a tmpfs cannot be mounted here (needs root)");
        const QString video = folder + "/lesson.avi";
        QVERIFY(QFile::copy(clip, video));
        playlist().AddEntry(video, QStringLiteral("Lesson"), QStringLiteral("0:04"));
        playlist().lvPlaylist.findKey(video)->setSelected(true);
        playlist().lvPlaylist_Click();
        QTRY_VERIFY_WITH_TIMEOUT(gMCI->GetCurrentMultimediaPos() > 300, 10000);

        if (how == "truncate")
            QVERIFY(QFile::resize(video, 0));
        else if (how == "remove")
            QVERIFY(QFile::remove(video));
        else if (how == "chmod")
            QVERIFY(::chmod(QFile::encodeName(video).constData(), 0) == 0);
        else
            QVERIFY(::umount2(QFile::encodeName(folder).constData(), MNT_DETACH) == 0);

        QTRY_VERIFY_WITH_TIMEOUT(!f->boxes.empty(), 10000);
        // The position timer runs on: the report stays one.
        QTest::qWait(600);
        QCOMPARE(f->boxes.size(), std::size_t(1));
        QVERIFY2(f->boxes[0].prompt.contains("The video could not be read: " + video),
                 qPrintable(f->boxes[0].prompt));
        QVERIFY(gMCI->LoadedFilename().empty());
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("play"));
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("00:00/00:00"));
        QCOMPARE(session::mediaControls().playbackStatus(), QStringLiteral("Stopped"));
    }

    void anEntryThatCannotBeOpenedLeavesThePlayerReady_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the file was deleted
        QTest::newRow("deleted") << QByteArray();
        QByteArray noise(64 * 1024, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("corrupt") << noise;
    }

    // The report, then nothing loaded with the playlist shown; the next entry plays.
    void anEntryThatCannotBeOpenedLeavesThePlayerReady()
    {
        QFETCH(QByteArray, content);
        const QString broken = dir.filePath(QStringLiteral("broken.avi"));
        QFile::remove(broken);
        if (!content.isEmpty())
            QVERIFY(support::writeFile(broken, content));
        playlist().AddEntry(broken, QStringLiteral("Broken"), QStringLiteral("1:00"));
        playlist().AddEntry(clip, QStringLiteral("Lesson"), QStringLiteral("0:04"));
        playlist().lvPlaylist.findKey(broken)->setSelected(true);
        playlist().lvPlaylist_Click();

        QCOMPARE(f->boxes.size(), std::size_t(1));
        QVERIFY(f->boxes[0].prompt.contains(QStringLiteral("Number: 380")));
        // The box names the file, and says whether it is missing or there but unplayable.
        const QString explanation = content.isEmpty()
                                        ? QStringLiteral("File Not Found")
                                        : QStringLiteral("The file could not be played");
        QVERIFY2(f->boxes[0].prompt.contains("Explanation: " + explanation + ": " + broken),
                 qPrintable(f->boxes[0].prompt));
        QVERIFY(gMCI->LoadedFilename().empty());
        QVERIFY(playlist().isVisible());
        QCOMPARE(main().cmdPList.Tag(), QStringLiteral("0"));
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("play"));
        QCOMPARE(main().tlbMain.Buttons("play").ToolTipText(), QStringLiteral("Play video"));
        for (const char *key : {"stop", "rewind", "forward"})
            QVERIFY(!main().tlbMain.Buttons(key).Enabled());
        QVERIFY(!main().sldVideo.isEnabled());
        QVERIFY(!main().tmrMediaScroller.Enabled());
        QCOMPARE(main().sbStatus.Panels(1).Text(), QString());
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("00:00/00:00"));
        // The failed device's widget is hidden at once and deleted once the events waiting run.
        QVERIFY(!video() || video()->isHidden());
        support::flushDeletes();
        QVERIFY(!video());

        playlist().lvPlaylist.findKey(clip)->setSelected(true);
        playlist().lvPlaylist_Click();
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), clip);
        QCOMPARE(main().sldVideo.Max(), 4049);
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(videoImage()), 10000);
        QCOMPARE(f->boxes.size(), std::size_t(1));
    }

    void playlistEntryPlaysToItsEnd()
    {
        playlist().AddEntry(clip, QStringLiteral("Lesson"), QStringLiteral("0:04"));
        playlist().lvPlaylist.findKey(clip)->setSelected(true);
        playlist().lvPlaylist_Click();
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), clip);
        QVERIFY(!playlist().isVisible());
        QCOMPARE(main().sldVideo.Max(), 4049);
        QVERIFY(main().tmrMediaScroller.Enabled());
        QVERIFY(main().picVideo.isAncestorOf(video()));
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(videoImage()), 10000);

        // From here the test ticks the position timer itself.
        main().tmrMediaScroller.setEnabled(false);
        QTest::qWait(1500);
        main().tmrMediaScroller_Timer();
        QVERIFY(main().sldVideo.Value() > 0);
        QVERIFY(main().sbStatus.Panels(2).Text() != QStringLiteral("0:00/0:04"));
        QVERIFY(main().sbStatus.Panels(2).Text().endsWith(QStringLiteral("/0:04")));
        QVERIFY(!gMCI->LoadedFilename().empty());

        QTRY_VERIFY_WITH_TIMEOUT(gMCI->GetCurrentMultimediaPos() >= gMCI->GetTotalTime(), 15000);
        main().tmrMediaScroller_Timer();
        QVERIFY(gMCI->LoadedFilename().empty());
        QVERIFY(playlist().isVisible());
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("play"));
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("00:00/00:00"));
        QVERIFY(!main().sldVideo.isEnabled());
        QVERIFY(f->boxes.empty());
    }

    // View > Speed at 2x: the entry plays to its end in about half its length (the figure is
    // printed), well under the three quarters that no load of the machine comes near but a speed
    // left unapplied passes; the position display follows the video, and the end presses "stop"
    // once.
    void twiceTheSpeedPlaysToTheEndOnce()
    {
        f->recorder.emplace(support::MediaRecorder::Answering::ByInterpreter);
        main().mnuSpeed_Click(2000);
        playlist().AddEntry(clip, QStringLiteral("Lesson"), QStringLiteral("0:04"));
        playlist().lvPlaylist.findKey(clip)->setSelected(true);
        QElapsedTimer wall;
        wall.start();
        playlist().lvPlaylist_Click();
        QVERIFY(f->recorder->commands().contains(QStringLiteral("set movie speed 2000")));
        f->recorder->clear();
        const qint64 length = gMCI->TotalTime();
        QVERIFY(length > 3900);

        // The position timer runs on its own; what it shows never goes back.
        int last = 0;
        while (main().tmrMediaScroller.Enabled() && wall.elapsed() < 20000) {
            QVERIFY(main().sldVideo.Value() >= last || main().sldVideo.Value() == 0);
            last = main().sldVideo.Value();
            QTest::qWait(50);
        }
        const qint64 took = wall.elapsed();
        QVERIFY(!main().tmrMediaScroller.Enabled());
        qInfo("%lld ms of video at twice the speed played to its end in %lld ms", length, took);
        QVERIFY2(took < length * 3 / 4, "the video played at less than twice the speed");
        QCOMPARE(f->recorder->commands().filter(QStringLiteral("stop movie"), Qt::CaseInsensitive),
                 QStringList{"Stop movie"});
        QVERIFY(gMCI->LoadedFilename().empty());
        QVERIFY(playlist().isVisible());
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("00:00/00:00"));
        QVERIFY(f->boxes.empty());
    }
};

QTEST_MAIN(tst_RealPlayback)
#include "tst_RealPlayback.moc"
