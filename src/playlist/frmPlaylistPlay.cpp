// Playing the selected playlist entry.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Environment.h"
#include "toolkit/MessageBox.h"

using namespace modGlobals;

void frmPlaylist::lvPlaylist_Click()
{
    try {
        playSelected();
    } catch (const pellin::Failure &failure) {
        // A video that cannot be opened reports no length, which the slider refuses with 380.
        const bool missing = failure.number() == pellin::failure::InvalidPropertyValue;
        ReportError(failure.number(), missing ? QStringLiteral("File Not Found")
                                              : QString::fromStdString(failure.description()));
        forms::frmMain().tmrMediaScroller.setEnabled(false);
    }
    Ignore([this] { setMousePointer(0); });
}

void frmPlaylist::playSelected()
{
    frmMain &main = forms::frmMain();
    if (lvPlaylist.Count() > 0) {
        main.picVideo.ClearPicture();
        setMousePointer(11);
        const auto selected = lvPlaylist.SelectedItem();
        // A click with rows but none selected has nothing to play.
        if (!selected)
            return;
        const QString key = selected->Key();
        ApplyColourRule(key);
        main.sbStatus.Panels(1).setText(selected->Text());
        toolkit::DoEvents();
        const bool intro = IsIntroKey(key);
        if (intro && gFullScreen) {
            const int answer = toolkit::MsgBox(
                "Intro's may not be viewed in full screen mode.\r\n\r\nClick OK to resume in "
                "normal "
                "screen mode and view the selected intro.\r\nClick Cancel to stay in full screen "
                "mode.",
                toolkit::vbOKCancel | toolkit::vbExclamation, kAppTitle);
            if (answer != toolkit::vbOK)
                return;
            gIntroFromFullScreen = true;
            forms::frmFullScreen().Unload();
            toolkit::DoEvents();
        }
        gMCI->StopMultimedia();
        gMCI->CloseMultimedia();
        gMCI->LoadedFilename(key.toStdString());
        gMCI->AliasName("movie");
        if (intro) {
            gMCI->OpenMultimedia(main.picVideo.hWnd());
            toolkit::DoEvents();
            main.applyVideoLayout(true);
            gMCI->PutMultimedia(main.picVideo.hWnd(), 0, 0, 0, 0);
            toolkit::DoEvents();
        } else {
            const long long parent = main.videoParent();
            gMCI->OpenMultimedia(parent);
            toolkit::DoEvents();
            main.applyVideoLayout(false);
            toolkit::DoEvents();
            gMCI->PutMultimedia(parent, 0, 0, 0, 0);
        }
        toolkit::DoEvents();
        if (gFullScreen && !gMCI->IsASF()) {
            main.tlbMain_ButtonClick(main.tlbMain.Buttons("full"));
            if (toolkit::ToolbarButton *play = fullToolbarButton("play")) {
                play->setImage("pause");
                play->setToolTipText("Pause video");
            }
            for (const char *transport : {"stop", "rewind", "forward"})
                if (toolkit::ToolbarButton *button = fullToolbarButton(transport))
                    button->setEnabled(true);
        }
        if (main.cmdPList.Tag() == "0")
            main.cmdPList_Click();
        gMCI->PlayMultimedia("0", "0");
        toolkit::DoEvents();
        main.setPlayLook("pause", "Pause video");
        main.sldVideo.setEnabled(true);
        main.sldVideo.setMax(gMCI->GetTotalTime());
        main.tmrMediaScroller.setEnabled(true);
        main.setTransportEnabled(true);
        gSingleFile = false;
    }
    ActivateWindow(gFullScreen ? forms::frmFullScreen().hWnd() : main.hWnd());
}
