#include "player/frmMain.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/Playback.h"
#include "player/ProgressDisplay.h"
#include "player/TransportKeys.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/KeyMap.h"
#include "toolkit/MessageBox.h"

#include <QStyle>

using namespace modGlobals;

namespace
{
constexpr std::uint32_t kVideoBackColour = 0x00400000;
constexpr std::uint32_t kPlaylistCaptionColour = 0x00800000;
} // namespace

frmMain::frmMain()
    : toolkit::Form(QStringLiteral("frmMain"), true), menuBar(this), tlbMain(client()),
      sbStatus(client(), 2), cmdPList(client()), picVideo(client()), sldVideo(client()),
      mnuOpen("&Open", this), mnuOnTop("&Always on Top", this), mnuExit("&Exit", this),
      mnuExpanded("&Expanded", this), mnuCollapse("&Collapsed", this),
      mnuFullScreen("&Full Screen", this), mnuWelcome("&Play the Welcome Message", this),
      mnuPellinSite("&Visit the Vorlund Web Site", this), mnuBuyVideos("&Buy More Videos", this),
      mnuMailingList("&Join the Mailing List", this), mnuPellinLab("Visit the Virtual &Lab", this),
      mnuUserManual("&User Manual", this), mnuSupport("&Support on the Web", this),
      mnuInstallAdobe("&Install Acrobat Reader from this CDROM", this),
      mnuOrderForm("&Order Form", this), mnuLicense("&License Agreement", this),
      mnuAbout("&About", this)
{
    setCaption(QStringLiteral("Vorlund - IT Certification Videos -"));
    setTakesFileDrops();
    buildMenus();
    setMenuBar(&menuBar);
    buildToolbar();

    tlbMain.Move(0, 0, 9645, 360);
    sbStatus.Move(2565, 30, 2880, 255);
    cmdPList.Move(5640, 40, 885, 255);
    picVideo.Move(5, 420, 9630, 7200);
    sldVideo.Move(0, 7680, 9555, 375);
    sbStatus.raise();
    cmdPList.raise();

    cmdPList.setCaption(QStringLiteral("Playlist"));
    cmdPList.setGraphical(true);
    cmdPList.setToolTipText(QStringLiteral("Collapse playlist"));
    cmdPList.setTag(QStringLiteral("1"));
    cmdPList.onClick([this] { cmdPList_Click(); });

    tlbMain.onButtonClick([this](toolkit::ToolbarButton &button) { tlbMain_ButtonClick(button); });
    transportKeys::bind(*this).bindDoubleClick(picVideo, [this] { tlbMain.click("full"); });
    // The window's keys start on the video, not on the first button of the Tab order, which a
    // Space would press instead of "play".
    picVideo.setFocus();
    sldVideo.setAccessibleName(QStringLiteral("Position"));
    sbStatus.Panels(1).setAccessibleDescription(QStringLiteral("Video"));
    sbStatus.Panels(2).setAccessibleDescription(QStringLiteral("Position and length"));
    sldVideo.onScroll([this] { sldVideo_Scroll(); });
    sbStatus.Panels(2).setText(QStringLiteral("00:00/00:00"));
    // Nothing is loaded at start: no stop, rewind, forward or slider until a video plays.
    for (const char *key : {"stop", "rewind", "forward"})
        tlbMain.Buttons(key).setEnabled(false);
    sldVideo.setEnabled(false);

    tmrMediaScroller.setInterval(500);
    tmrMediaScroller.onTimer([this] { tmrMediaScroller_Timer(); });
    tmrInitPlaylist.setInterval(4000);
    tmrInitPlaylist.onTimer([this] { tmrInitPlaylist_Timer(); });

    // A fixed single frame: the program sizes the window, the student cannot; it minimises and
    // closes but does not maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedFrame();
    Move(0, 0, kLargeWidth, kLargeHeight);
}

void frmMain::buildMenus()
{
    QMenu *file = menuBar.addMenu("&File");
    file->addAction(&mnuOpen);
    mnuOpen.onClick([this] { mnuOpen_Click(); });
    file->addAction(&mnuOnTop);
    file->addSeparator();
    file->addAction(&mnuExit);
    mnuExit.onClick([this] { mnuExit_Click(); });

    QMenu *view = menuBar.addMenu("&View");
    QMenu *playlist = view->addMenu("&Playlist");
    playlist->addAction(&mnuExpanded);
    playlist->addAction(&mnuCollapse);
    view->addSeparator();
    view->addAction(&mnuFullScreen);
    mnuFullScreen.onClick([this] { mnuFullScreen_Click(); });
    mnuExpanded.setChecked(true);
    mnuCollapse.setChecked(false);
    mnuExpanded.onClick([this] { mnuExpanded_Click(); });
    mnuCollapse.onClick([this] { mnuCollapse_Click(); });
    view->addSeparator();
    QMenu *speed = view->addMenu("Speed");
    for (const auto &[factor, caption] :
         {std::pair{750, "0.75x"}, std::pair{1000, "1x"}, std::pair{1250, "1.25x"},
          std::pair{1500, "1.5x"}, std::pair{2000, "2x"}}) {
        auto item = std::make_unique<toolkit::MenuItem>(caption, this);
        item->setChecked(factor == kNormalSpeed);
        item->onClick([this, factor = factor] { mnuSpeed_Click(factor); });
        speed->addAction(item.get());
        mnuSpeed.push_back({factor, std::move(item)});
    }

    QMenu *pellins = menuBar.addMenu("&Pellins");
    pellins->addAction(&mnuWelcome);
    mnuWelcome.onClick([this] { mnuWelcome_Click(); });
    pellins->addSeparator();
    pellins->addAction(&mnuPellinSite);
    pellins->addAction(&mnuBuyVideos);
    pellins->addAction(&mnuMailingList);
    pellins->addSeparator();
    pellins->addAction(&mnuPellinLab);

    QMenu *help = menuBar.addMenu("&Help");
    help->addAction(&mnuUserManual);
    help->addAction(&mnuSupport);
    help->addAction(&mnuInstallAdobe);
    help->addSeparator();
    help->addAction(&mnuOrderForm);
    help->addAction(&mnuLicense);
    help->addSeparator();
    help->addAction(&mnuAbout);
    wireDocumentMenus();
}

void frmMain::buildToolbar()
{
    lvIcons.add("full", "view-fullscreen", QStyle::SP_TitleBarMaxButton);
    lvIcons.add("forward", "media-seek-forward", QStyle::SP_MediaSeekForward);
    lvIcons.add("pause", "media-playback-pause", QStyle::SP_MediaPause);
    lvIcons.add("play", "media-playback-start", QStyle::SP_MediaPlay);
    lvIcons.add("rewind", "media-seek-backward", QStyle::SP_MediaSeekBackward);
    lvIcons.add("stop", "media-playback-stop", QStyle::SP_MediaStop);
    lvIcons.add("web", "applications-internet", QStyle::SP_DriveNetIcon);
    lvIcons.add("pcollapsed", "view-list-details", QStyle::SP_FileDialogListView);
    lvIcons.add("pexpanded", "view-list-tree", QStyle::SP_FileDialogDetailedView);
    tlbMain.setImageList(&lvIcons);
    tlbMain.setButtonsTakeFocus(true);
    tlbMain.setAccessibleName(QStringLiteral("Transport"));
    tlbMain.addButton("full", "full", "Full screen");
    tlbMain.addSeparator();
    tlbMain.addButton("play", "play", "Play video");
    tlbMain.addButton("stop", "stop", "Stop video");
    tlbMain.addButton("rewind", "rewind", "Rewind video");
    tlbMain.addButton("forward", "forward", "Fast forward video");
    tlbMain.addSeparator();
    tlbMain.addButton("web", "web", "Visit the Vorlund web site!");
}

void frmMain::Form_Load()
{
    progressDisplay::start();
    Trap([this] {
        gMCI = std::make_unique<clsMCI>();
        picVideo.setBackColor(kVideoBackColour);
        SetButtonTextColor(cmdPList.hWnd(), kPlaylistCaptionColour, DT_VCENTER);
        gScreenRes = GetScreenResolution();
        setLeft((toolkit::screenWidth() - Width()) / 2);
        setTop((toolkit::screenHeight() - Height()) / 2);
        if (gScreenRes == QLatin1String("640x480")) {
            gLowRes = true;
            toolkit::MsgBox(
                "Vorlund videos are best viewed at a screen resolution of 800x600 or greater.",
                toolkit::vbOKOnly | toolkit::vbExclamation, kAppTitle);
        }
    });
}

void frmMain::Form_Unload(int &)
{
    progressDisplay::stop();
    Ignore([] { gMCI->StopMultimedia(); });
    Ignore([] { gMCI->CloseAll(); });
    Ignore([this] { ClearButtonTextColor(cmdPList.hWnd()); });
    for (toolkit::Form *form : toolkit::loadedForms())
        if (form->Name() != Name())
            Ignore([form] { form->Unload(); });
    // The window itself goes when this returns; the program ends once it is gone. Qt's own quit
    // would ask every window to close first, and these windows answer a close by unloading.
}

void frmMain::Form_Resize()
{
    if (WindowState() == 1) {
        Ignore([this] {
            cmdPList.setTag("0");
            cmdPList_Click();
        });
        return;
    }
    Ignore([this] { picVideo.setWidth(ScaleWidth()); });
    Ignore([this] { picVideo.setHeight(ScaleHeight() - 800); });
    Ignore([this] { sldVideo.setWidth(ScaleWidth() - 3); });
    Ignore([this] { sldVideo.setTop(picVideo.Top() + picVideo.Height() + 3); });
    Ignore([this] { cmdPList.setLeft(Width() - 1020); });
    Ignore([this] { sbStatus.setWidth(Width() - (sbStatus.Left() + 1030)); });
}

void frmMain::cmdPList_Click()
{
    // Each step that fails is skipped and the next one runs.
    Ignore([this] {
        if (tmrInitPlaylist.Enabled())
            tmrInitPlaylist.setEnabled(false);
    });
    if (cmdPList.Tag().toInt() != 0) {
        Ignore([this] {
            cmdPList.setTag("0");
            cmdPList.setToolTipText("Collapse playlist");
        });
        Ignore([this] {
            // While full screen is on, the playlist must stay above the full-screen window.
            if (gFullScreen)
                forms::frmPlaylist().Show(&forms::frmFullScreen());
            else
                forms::frmPlaylist().Show(this);
        });
        if (gFullScreen) {
            Ignore([] {
                if (toolkit::ToolbarButton *button = fullToolbarButton("playlist")) {
                    button->setImage("pexpanded");
                    button->setToolTipText("Collapse playlist");
                }
            });
            Ignore([] { ActivateWindow(forms::frmPlaylist().hWnd()); });
        }
        Ignore([this] {
            mnuCollapse.setChecked(false);
            mnuExpanded.setChecked(true);
        });
        Ignore([this] { cmdPList.setState(true); });
    } else {
        Ignore([this] {
            cmdPList.setTag("1");
            cmdPList.setToolTipText("Expand playlist");
        });
        if (gFullScreen) {
            Ignore([] {
                if (toolkit::ToolbarButton *button = fullToolbarButton("playlist")) {
                    button->setImage("pcollapsed");
                    button->setToolTipText("Expand playlist");
                }
            });
        }
        Ignore([] { forms::frmPlaylist().setVisible(false); });
        Ignore([this] {
            mnuCollapse.setChecked(true);
            mnuExpanded.setChecked(false);
        });
        Ignore([this] { cmdPList.setState(false); });
    }
    Ignore([] { toolkit::DoEvents(); });
}

void frmMain::mnuExpanded_Click()
{
    Trap([this] { cmdPList_Click(); });
}

void frmMain::mnuCollapse_Click()
{
    Trap([this] { cmdPList_Click(); });
}

void frmMain::mnuSpeed_Click(int factor)
{
    Trap([this, factor] {
        playback::SetSpeed(factor);
        for (const SpeedEntry &entry : mnuSpeed)
            entry.item->setChecked(entry.factor == factor);
    });
}

void frmMain::mnuExit_Click()
{
    Trap([this] { Unload(); });
}

void frmMain::tmrInitPlaylist_Timer()
{
    Ignore([this] {
        if (WindowState() != 1)
            cmdPList_Click();
    });
    tmrInitPlaylist.setEnabled(false);
}

namespace forms
{
::frmMain &frmMain()
{
    static toolkit::FormSlot<::frmMain> slot;
    return slot();
}
} // namespace forms
