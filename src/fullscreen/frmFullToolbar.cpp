#include "fullscreen/frmFullToolbar.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "player/frmMain.h"
#include "toolkit/Forms.h"

#include <QStyle>

using namespace modGlobals;

namespace
{

constexpr int kEsc = 27;
constexpr int kCtrlT = 20;

toolkit::FormSlot<frmFullToolbar> &slot()
{
    static toolkit::FormSlot<frmFullToolbar> instance;
    return instance;
}

} // namespace

frmFullToolbar::frmFullToolbar()
    : toolkit::Form(QStringLiteral("frmFullToolbar")), tlbFullScreen(client())
{
    // A fixed tool window: small caption with a close box, kept out of the taskbar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setCaption(QStringLiteral("Tools (Ctrl-T)"));

    imlIcon.add("play", "media-playback-start", QStyle::SP_MediaPlay);
    imlIcon.add("pause", "media-playback-pause", QStyle::SP_MediaPause);
    imlIcon.add("stop", "media-playback-stop", QStyle::SP_MediaStop);
    imlIcon.add("forward", "media-seek-forward", QStyle::SP_MediaSeekForward);
    imlIcon.add("rewind", "media-seek-backward", QStyle::SP_MediaSeekBackward);
    imlIcon.add("pcollapsed", "view-list-details", QStyle::SP_FileDialogListView);
    imlIcon.add("pexpanded", "view-list-tree", QStyle::SP_FileDialogDetailedView);
    imlIcon.add("normal", "view-restore", QStyle::SP_TitleBarNormalButton);
    tlbFullScreen.setImageList(&imlIcon);
    tlbFullScreen.addButton("normal", "normal", "Normal view");
    tlbFullScreen.addButton("play", "pause", "Pause video");
    tlbFullScreen.addButton("stop", "stop", "Stop");
    tlbFullScreen.addButton("rewind", "rewind", "Rewind");
    tlbFullScreen.addButton("forward", "forward", "Fast forward");
    tlbFullScreen.addButton("playlist", "pcollapsed", "Expand Playlist");
    tlbFullScreen.onButtonClick(
        [this](toolkit::ToolbarButton &button) { tlbFullScreen_ButtonClick(button); });

    tlbFullScreen.Move(0, 0, kClientWidth, kClientHeight);
    Move(0, 0, kClientWidth + toolkit::frameWidthTwips(),
         kClientHeight + toolkit::frameHeightTwips());
    setFixedSize(size());
}

void frmFullToolbar::Form_Load()
{
    Trap([this] {
        int top = kOffsetTop;
        int left = kOffsetLeft;
        if (forms::frmFullScreenLoaded()) {
            const ::frmFullScreen &full = forms::frmFullScreen();
            top += full.Top();
            left += full.Left();
        }
        setTop(top);
        setLeft(left);
    });
}

void frmFullToolbar::Form_KeyPress(int &KeyAscii)
{
    Trap([this, KeyAscii] {
        if (KeyAscii == kCtrlT) {
            Hide();
        } else if (KeyAscii == kEsc) {
            if (forms::frmFullScreenLoaded())
                forms::frmFullScreen().LeaveFullScreen();
            else
                Unload();
        }
    });
}

void frmFullToolbar::tlbFullScreen_ButtonClick(toolkit::ToolbarButton &Button)
{
    Trap([this, &Button] {
        const QString key = Button.Key();
        if (key == QLatin1String("play") || key == QLatin1String("stop") ||
            key == QLatin1String("rewind") || key == QLatin1String("forward")) {
            ::frmMain &main = forms::frmMain();
            main.tlbMain_ButtonClick(main.tlbMain.Buttons(key));
        } else if (key == QLatin1String("normal")) {
            if (forms::frmFullScreenLoaded())
                forms::frmFullScreen().LeaveFullScreen();
            else
                Unload();
        } else if (key == QLatin1String("playlist")) {
            forms::frmMain().cmdPList_Click();
            gKeepPlaylist = true;
        }
    });
}

namespace forms
{
::frmFullToolbar &frmFullToolbar()
{
    return slot()();
}

bool frmFullToolbarLoaded()
{
    return slot().Loaded();
}
} // namespace forms

toolkit::ToolbarButton *fullToolbarButton(const QString &key)
{
    return forms::frmFullToolbarLoaded() ? &forms::frmFullToolbar().tlbFullScreen.Buttons(key)
                                         : nullptr;
}
