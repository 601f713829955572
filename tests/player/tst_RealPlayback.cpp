// The main window playing a clip on the real libmpv engine in an X server: the picture appears
// inside the video area and moves, and a playlist entry plays to its end, where the position timer
// stops it and brings the playlist back.
#include "common/modGlobals.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
    std::vector<toolkit::MessageBoxCall> boxes;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }

    QWidget *video() { return main().picVideo.findChild<QWidget *>(QStringLiteral("mciVideo")); }

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
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-v", "error", "-y", "-f", "lavfi", "-i",
                      "testsrc=size=320x240:rate=25:duration=4", "-f", "lavfi", "-i",
                      "sine=frequency=440:duration=4", "-c:v", "mpeg4", "-vtag", "FMP4", "-c:a",
                      "libmp3lame", clip});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
        mci::setAudioOutput(QStringLiteral("null"));
        mci::useLibmpvEngine();
        toolkit::setMessageBoxHandler([this](const toolkit::MessageBoxCall &call) {
            boxes.push_back(call);
            return toolkit::vbOK;
        });
    }

    void init()
    {
        boxes.clear();
        gMediaRoot = dir.path();
        gSingleFile = false;
        gFullScreen = false;
        main().Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
    }

    void cleanup()
    {
        for (toolkit::Form *form : toolkit::loadedForms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { toolkit::setMessageBoxHandler({}); }

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
        QVERIFY(boxes.empty());
        gMCI->CloseMultimedia();
        QVERIFY(!video());
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
        QVERIFY(boxes.empty());
    }
};

QTEST_MAIN(tst_RealPlayback)
#include "tst_RealPlayback.moc"
