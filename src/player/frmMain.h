#pragma once

#include "CommandButton.h"
#include "Form.h"
#include "ImageList.h"
#include "MenuItem.h"
#include "PictureBox.h"
#include "Slider.h"
#include "StatusBar.h"
#include "Timer.h"
#include "Toolbar.h"

#include <QMenuBar>

// The main player window: transport toolbar, status bar, Playlist button, the video area and the
// position slider.
class frmMain : public toolkit::Form
{
    Q_OBJECT
  public:
    frmMain();

    void Form_Load() override;
    void Form_Unload(int &cancel) override;
    void Form_Resize() override;

    void cmdPList_Click();
    void mnuExpanded_Click();
    void mnuCollapse_Click();
    void mnuExit_Click();
    void tmrInitPlaylist_Timer();

    // Transport, position display and opening files.
    void tlbMain_ButtonClick(toolkit::ToolbarButton &Button);
    void tmrMediaScroller_Timer();
    void sldVideo_Scroll();
    void mnuOpen_Click();
    void mnuWelcome_Click();
    void mnuFullScreen_Click();

    // Moves the loaded video into the full-screen window.
    void EnterFullScreen();

    // The step of rewind and fast forward, in ms.
    static constexpr int PlayStep = 5000;
    // The file last opened with File > Open, lower case.
    QString mOpenedFile;

    // Designer sizes of the window: large for AVI and MPEG videos, small for ASF intros.
    static constexpr int kLargeWidth = 9735;
    static constexpr int kLargeHeight = 8730;
    static constexpr int kSmallWidth = 5610;
    static constexpr int kSmallHeight = 5150;

    toolkit::ImageList lvIcons;
    QMenuBar menuBar;
    toolkit::Toolbar tlbMain;
    toolkit::StatusBar sbStatus;
    toolkit::CommandButton cmdPList;
    toolkit::PictureBox picVideo;
    toolkit::Slider sldVideo;
    toolkit::Timer tmrMediaScroller;
    toolkit::Timer tmrInitPlaylist;

    toolkit::MenuItem mnuOpen;
    toolkit::MenuItem mnuOnTop;
    toolkit::MenuItem mnuExit;
    toolkit::MenuItem mnuExpanded;
    toolkit::MenuItem mnuCollapse;
    toolkit::MenuItem mnuFullScreen;
    toolkit::MenuItem mnuWelcome;
    toolkit::MenuItem mnuPellinSite;
    toolkit::MenuItem mnuBuyVideos;
    toolkit::MenuItem mnuMailingList;
    toolkit::MenuItem mnuPellinLab;
    toolkit::MenuItem mnuUserManual;
    toolkit::MenuItem mnuSupport;
    toolkit::MenuItem mnuInstallAdobe;
    toolkit::MenuItem mnuOrderForm;
    toolkit::MenuItem mnuLicense;
    toolkit::MenuItem mnuAbout;

  private:
    void buildMenus();
    void buildToolbar();
};

namespace forms
{
// The one main window, created and loaded on first use.
::frmMain &frmMain();
} // namespace forms
