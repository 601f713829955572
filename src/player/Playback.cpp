#include "player/Playback.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/DesktopControls.h"
#include "player/PlaybackState.h"
#include "player/frmMain.h"

#include <QDir>
#include <QFileInfo>

using namespace modGlobals;

namespace playback
{

namespace
{

// The one writable state: only the procedures of this file write it.
State &writableState()
{
    static State state;
    return state;
}

const QString kMovie = QStringLiteral("movie");
const QString kPause = QStringLiteral("pause");
const QString kPlay = QStringLiteral("play");
constexpr const char *kTransportKeys[] = {"stop", "rewind", "forward"};

// The main toolbar's button of `key`, then the tools bar's while full screen shows it.
template <class Change> void onBothBars(const QString &key, Mirror mirror, Change &&change)
{
    change(forms::frmMain().tlbMain.Buttons(key));
    if (mirror == Mirror::MainOnly || !gFullScreen)
        return;
    if (toolkit::ToolbarButton *button = fullToolbarButton(key))
        change(*button);
}

void showLook(const QString &image, const QString &toolTip)
{
    onBothBars(kPlay, Mirror::ToolsBar, [&](toolkit::ToolbarButton &play) {
        play.setImage(image);
        play.setToolTipText(toolTip);
    });
    writableState().setPlaying(image == kPause);
    desktopControls::publish();
}

// A device opened anew plays at the normal rate until it is told the session's speed.
void applySpeed()
{
    if (gPlaySpeed != kNormalSpeed)
        gMCI->SetSpeed(gPlaySpeed);
}

} // namespace

const State &state()
{
    return writableState();
}

void ResetState()
{
    modGlobals::ResetState();
    writableState().reset();
}

void OpenVideo(const QString &file, long long picture)
{
    gMCI->StopMultimedia();
    gMCI->CloseMultimedia();
    gMCI->LoadedFilename(file.toStdString());
    writableState().setFile(file);
    gMCI->AliasName(kMovie.toStdString());
    gMCI->OpenMultimedia(picture);
    applySpeed();
}

void ShowTitle(const QString &title)
{
    forms::frmMain().sbStatus.Panels(1).setText(title);
    writableState().setTitle(title);
}

void FitVideo(long long picture)
{
    gMCI->PutMultimedia(picture, 0, 0, 0, 0);
}

void MoveVideo(long long picture, std::int32_t position)
{
    gMCI->CloseMultimedia();
    gMCI->OpenMultimedia(picture);
    applySpeed();
    FitVideo(picture);
    gMCI->MoveMultimedia(position);
}

void SetSpeed(int factor)
{
    gPlaySpeed = factor;
    writableState().setSpeed(factor);
    if (!gMCI->LoadedFilename().empty())
        gMCI->SetSpeed(factor);
    desktopControls::publish();
}

void ShowPlayingLook(const QString &toolTip)
{
    showLook(kPause, toolTip);
}

void ShowPausedLook()
{
    showLook(kPlay, kPlayVideo);
}

void ShowPlayingImage(Mirror mirror)
{
    onBothBars(kPlay, mirror, [](toolkit::ToolbarButton &play) { play.setImage(kPause); });
    writableState().setPlaying(true);
    desktopControls::publish();
}

void EnableTransport(bool enabled)
{
    for (const char *key : kTransportKeys)
        onBothBars(QLatin1String(key), Mirror::ToolsBar,
                   [enabled](toolkit::ToolbarButton &button) { button.setEnabled(enabled); });
    writableState().setSeekable(enabled);
    desktopControls::publish();
}

void ShowPlayingState(const QString &toolTip)
{
    frmMain &main = forms::frmMain();
    ShowPlayingLook(toolTip);
    main.sldVideo.setEnabled(true);
    main.sldVideo.setMax(gMCI->GetTotalTime());
    writableState().setLengthMs(main.sldVideo.Max());
    main.tmrMediaScroller.setEnabled(true);
    EnableTransport(true);
    desktopControls::publish();
}

void ReturnToNothingLoaded()
{
    frmMain &main = forms::frmMain();
    gMCI->LoadedFilename("");
    writableState().setFile({});
    writableState().setLengthMs(0);
    main.cmdPList.setTag("1");
    main.cmdPList_Click();
    ShowPausedLook();
    EnableTransport(false);
    if (gFullScreen && forms::frmFullToolbarLoaded())
        forms::frmFullToolbar().setCaption("Tools(Ctl-T) 0:00/00:00");
    ShowTitle({});
    main.sbStatus.Panels(2).setText("00:00/00:00");
    main.sldVideo.setValue(0);
    main.sldVideo.setSelStart(0);
    main.sldVideo.setEnabled(false);
    main.tmrMediaScroller.setEnabled(false);
    desktopControls::publish();
}

void AbandonVideo()
{
    gMCI->StopMultimedia();
    ReturnToNothingLoaded();
}

void AbandonUnreadableVideo()
{
    const QString file = QString::fromStdString(gMCI->mstrLongFileName);
    forms::frmMain().tmrMediaScroller.setEnabled(false);
    AbandonVideo();
    ReportError(pellin::failure::PathFileAccess,
                QStringLiteral("The video could not be read: ") + QDir::toNativeSeparators(file));
}

void AbandonUnopenedVideo(const pellin::Failure &failure, bool explainNoLength)
{
    const QString file = QString::fromStdString(gMCI->mstrLongFileName);
    forms::frmMain().tmrMediaScroller.setEnabled(false);
    AbandonVideo();
    QString explanation = QString::fromStdString(failure.description());
    if (explainNoLength && failure.number() == pellin::failure::InvalidPropertyValue)
        explanation = QFileInfo::exists(file) ? QStringLiteral("The file could not be played")
                                              : QStringLiteral("File Not Found");
    if (!file.isEmpty())
        explanation += QStringLiteral(": ") + QDir::toNativeSeparators(file);
    ReportError(failure.number(), explanation);
}

} // namespace playback
