#include "player/frmMain.h"

#include "common/modGlobals.h"
#include "player/VendorLinks.h"
#include "player/frmAbout.h"
#include "shell/Shell.h"
#include "toolkit/MessageBox.h"

#include <QWindow>

using namespace modGlobals;

namespace
{

void showReaderMessage()
{
    toolkit::MsgBox("Adobe Acrobat Reader is required for documentation and support.\r\n\r\n"
                    "Please install it from acrobat reader from the help menu selection.",
                    toolkit::vbOKOnly | toolkit::vbCritical, kAppTitle);
}

// `name` lies in the course root; the shell finds it whatever the letter case on the disc. It is
// asked for as a document, so a file the disc marks executable is shown, never run.
void openCourseDocument(const QString &name)
{
    if (gReaderInstalled)
        shell::open(shell::Opening::Document, "open", gMediaRoot + "/" + name, {}, {},
                    shell::ShowNormal);
    else
        showReaderMessage();
}

// Setting the flag through the widget would hide the window and build its native window anew,
// taking the video's child window and the owned windows with it; the window system's own
// always-on-top state can be switched on the window as it stands.
void setStaysOnTop(QWidget &window, bool onTop)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow *handle = window.windowHandle()) {
        window.overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window.setWindowFlags(flags);
    }
}

} // namespace

void frmMain::wireDocumentMenus()
{
    mnuOnTop.setChecked(false);
    mnuOnTop.onClick([this] { mnuOnTop_Click(); });
    mnuPellinSite.onClick([this] { mnuPellinSite_Click(); });
    mnuBuyVideos.onClick([this] { mnuBuyVideos_Click(); });
    mnuMailingList.onClick([this] { mnuMailingList_Click(); });
    mnuPellinLab.onClick([this] { mnuPellinLab_Click(); });
    mnuUserManual.onClick([this] { mnuUserManual_Click(); });
    mnuSupport.onClick([this] { mnuSupport_Click(); });
    mnuInstallAdobe.onClick([this] { mnuInstallAdobe_Click(); });
    mnuOrderForm.onClick([this] { mnuOrderForm_Click(); });
    mnuLicense.onClick([this] { mnuLicense_Click(); });
    mnuAbout.onClick([this] { mnuAbout_Click(); });
}

void frmMain::mnuOnTop_Click()
{
    const bool checked = mnuOnTop.Checked();
    setStaysOnTop(*this, !checked);
    mnuOnTop.setChecked(!checked);
}

void frmMain::mnuPellinSite_Click()
{
    Trap([] { vendor::openWebPage(vendor::kHomePage); });
}

void frmMain::mnuBuyVideos_Click()
{
    Trap([] { vendor::openWebPage(vendor::kStorePage); });
}

void frmMain::mnuMailingList_Click()
{
    Trap([] { vendor::openWebPage(vendor::kMailingListPage); });
}

void frmMain::mnuPellinLab_Click()
{
    Trap([] { vendor::openWebPage(vendor::kLabPage); });
}

void frmMain::mnuUserManual_Click()
{
    Trap([] { openCourseDocument("manual.pdf"); });
}

void frmMain::mnuSupport_Click()
{
    Trap([] { vendor::openAddress(vendor::kSupportPage); });
}

void frmMain::mnuInstallAdobe_Click()
{
    Trap([] {
        shell::open(shell::Opening::Program, "open", gMediaRoot + "/bin/ar500enu.exe", {}, {},
                    shell::ShowNormal);
        gReaderInstalled = true;
    });
}

void frmMain::mnuOrderForm_Click()
{
    Trap([] {
        if (gReaderInstalled)
            vendor::openAddress(vendor::kOrderForm);
        else
            showReaderMessage();
    });
}

void frmMain::mnuLicense_Click()
{
    Trap([] { openCourseDocument("license_agreement.pdf"); });
}

void frmMain::mnuAbout_Click()
{
    Trap([this] {
        frmAbout &about = forms::frmAbout();
        if (!about.Visible())
            about.CentreOver(*this);
        about.Show(this);
        ActivateWindow(about.hWnd());
    });
}
