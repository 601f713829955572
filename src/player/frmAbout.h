#pragma once

#include "player/LinkLabel.h"
#include "toolkit/CommandButton.h"
#include "toolkit/Form.h"

#include <QFrame>
#include <QLabel>

// The About box: the program's name and version, the vendor's links and notice.
class frmAbout : public toolkit::Form
{
    Q_OBJECT
  public:
    frmAbout();

    void cmdOK_Click();
    void Form_KeyPress(int &KeyAscii) override;
    void lblPelWebSite_Click();
    void lblPellinLab_Click();
    void lblEmail_Click();

    // Places the box centred over `owner`.
    void CentreOver(const toolkit::Form &owner);

    // The designed client size, in twips.
    static constexpr int kClientWidth = 4590;
    static constexpr int kClientHeight = 2550;

    QLabel picLogo;
    QLabel lblTitle;
    QLabel lblSubtitle;
    QFrame linTitle;
    QLabel lblVersion;
    QFrame linVersion;
    LinkLabel lblPelWebSite;
    LinkLabel lblPellinLab;
    LinkLabel lblEmail;
    QFrame linBottom;
    QLabel lblNotice;
    toolkit::CommandButton cmdOK;
};

namespace forms
{
// The one About box, created and loaded on first use.
::frmAbout &frmAbout();
// Whether the About box is loaded; asking does not load it.
bool frmAboutLoaded();
} // namespace forms
