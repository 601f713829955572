#pragma once

#include "failure/Failure.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/MenuItem.h"
#include "toolkit/PictureBox.h"
#include "toolkit/Slider.h"
#include "toolkit/StatusBar.h"
#include "toolkit/Timer.h"
#include "toolkit/Toolbar.h"

#include <QMenuBar>

#include <memory>
#include <vector>

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
    // A video dropped on the window opens as File > Open opens it; a playlist replaces the list.
    void Form_OLEDragDrop(const QStringList &files) override;

    void cmdPList_Click();
    void mnuExpanded_Click();
    void mnuCollapse_Click();
    void mnuExit_Click();
    void tmrInitPlaylist_Timer();

    // Documents, web links, Always on Top and the About box.
    void mnuOnTop_Click();
    void mnuPellinSite_Click();
    void mnuBuyVideos_Click();
    void mnuMailingList_Click();
    void mnuPellinLab_Click();
    void mnuUserManual_Click();
    void mnuSupport_Click();
    void mnuInstallAdobe_Click();
    void mnuOrderForm_Click();
    void mnuLicense_Click();
    void mnuAbout_Click();
    // Connects the document, web link, Always on Top and About entries to their handlers.
    void wireDocumentMenus();

    // Transport, position display and opening files.
    void tlbMain_ButtonClick(toolkit::ToolbarButton &Button);
    void tmrMediaScroller_Timer();
    void sldVideo_Scroll();
    void mnuOpen_Click();
    // Opens and plays a video as File > Open does once the student has chosen it; a video
    // handed over from the desktop (the command line, a drop) opens the same way.
    void OpenVideoFile(const QString &chosen);
    void mnuWelcome_Click();
    void mnuFullScreen_Click();
    // View > Speed: the session's playback speed in thousandths of the normal rate.
    void mnuSpeed_Click(int factor);

    // Moves the loaded video into the full-screen window.
    void EnterFullScreen();
    // Moves the slider to the position the device reports.
    void UpdateSlider();
    // The window that is to hold the video: the full-screen area while full screen is on.
    long long videoParent();
    // Applies the small layout for ASF intros or the large one for other videos.
    void applyVideoLayout(bool intro);

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
    // The entries of View > Speed with their speeds, slowest first.
    struct SpeedEntry {
        int factor;
        std::unique_ptr<toolkit::MenuItem> item;
    };
    std::vector<SpeedEntry> mnuSpeed;

  private:
    void buildMenus();
    void buildToolbar();

    void playClicked();
    // Opens the file of File > Open again and plays it from the start.
    void restartOpenedFile();
    // A video that could not be opened: the report, then nothing loaded.
    void recoverFromOpenFailure(const pellin::Failure &failure, bool fileNotFoundFor380);
    void stopClicked();
    void jumpClicked(int step);
    void fullClicked();
};

namespace forms
{
// The one main window, created and loaded on first use.
::frmMain &frmMain();
} // namespace forms
