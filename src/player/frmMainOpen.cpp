// Opening a single video file, the welcome video and the video layouts of the main window.
#include "common/Choosers.h"
#include "common/VideoTypes.h"
#include "common/modGlobals.h"
#include "player/GivenFiles.h"
#include "player/Playback.h"
#include "player/frmMain.h"
#include "toolkit/Environment.h"

using namespace modGlobals;

namespace
{

// The welcome video sets no slider, so nothing else would notice that it did not open: a video
// the device could not open has no length, the value the slider refuses with 380.
void requireOpenedVideo()
{
    if (gMCI->TotalTime() < 0)
        throw pellin::Failure(pellin::failure::InvalidPropertyValue);
}

} // namespace

// The recovery of the opening handlers: the report, then the position display stops and the
// player returns to nothing loaded, ready for another video. The welcome video names a video
// without a length by what it means to the student.
void frmMain::recoverFromOpenFailure(const pellin::Failure &failure, bool fileNotFoundFor380)
{
    playback::AbandonUnopenedVideo(failure, fileNotFoundFor380);
}

void frmMain::applyVideoLayout(bool intro)
{
    tlbMain.Buttons("full").setEnabled(!intro);
    mnuFullScreen.setEnabled(!intro);
    if (intro) {
        setHeight(kSmallHeight);
        setWidth(kSmallWidth);
        sbStatus.Panels(1).setVisible(false);
        sbStatus.Panels(2).setWidth(2110.67);
        sldVideo.setVisible(false);
    } else {
        sbStatus.Panels(1).setVisible(true);
        sbStatus.Panels(2).setWidth(1310.74);
        sldVideo.setVisible(true);
        setHeight(kLargeHeight);
        setWidth(kLargeWidth);
    }
}

void frmMain::mnuOpen_Click()
{
    try {
        const QString answer =
            ShowOpenFileDialog(hWnd(), pellin::videoFileFilter(), "Open Media File", gMediaRoot);
        if (answer.isEmpty())
            return;
        OpenVideoFile(answer);
    } catch (const pellin::Failure &failure) {
        recoverFromOpenFailure(failure, false);
    }
}

void frmMain::OpenVideoFile(const QString &chosen)
{
    try {
        QString path = chosen;
        while (path.startsWith(' '))
            path.remove(0, 1);
        path = TrimNull(path).toLower();
        setMousePointer(11);
        picVideo.ClearPicture();
        playback::ShowTitle(path);
        gMCI->LoadedFilename(path.toStdString());
        toolkit::DoEvents();
        mOpenedFile = path;
        playback::OpenVideo(path, picVideo.hWnd());
        applyVideoLayout(gMCI->IsASF());
        playback::FitVideo(picVideo.hWnd());
        toolkit::DoEvents();
        if (cmdPList.Tag() == "0")
            cmdPList_Click();
        gMCI->PlayMultimedia("0", "0");
        playback::ShowPlayingState("Pause Video");
        gSingleFile = true;
        ActivateWindow(hWnd());
    } catch (const pellin::Failure &failure) {
        recoverFromOpenFailure(failure, false);
    }
    Ignore([this] { setMousePointer(0); });
}

void frmMain::Form_OLEDragDrop(const QStringList &files)
{
    givenFiles::open(files);
}

void frmMain::mnuWelcome_Click()
{
    try {
        if (tmrInitPlaylist.Enabled())
            tmrInitPlaylist.setEnabled(false);
        setMousePointer(11);
        picVideo.ClearPicture();
        const QString welcome = gMediaRoot + "/welcome.asf";
        gMCI->LoadedFilename(welcome.toStdString());
        toolkit::DoEvents();
        playback::OpenVideo(welcome, picVideo.hWnd());
        requireOpenedVideo();
        if (cmdPList.Tag() == "0")
            cmdPList_Click();
        applyVideoLayout(true);
        toolkit::DoEvents();
        playback::FitVideo(picVideo.hWnd());
        gMCI->PlayMultimedia("0", "0");
        // The tooltip stays as it was: only the image shows that the video plays.
        playback::ShowPlayingImage();
        toolkit::DoEvents();
        tmrMediaScroller.setEnabled(true);
        playback::EnableTransport(true);
        ActivateWindow(hWnd());
    } catch (const pellin::Failure &failure) {
        recoverFromOpenFailure(failure, true);
    }
    Ignore([this] { setMousePointer(0); });
}

void frmMain::mnuFullScreen_Click()
{
    Trap([this] { tlbMain_ButtonClick(tlbMain.Buttons("full")); });
}
