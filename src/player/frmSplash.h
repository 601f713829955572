#pragma once

#include "toolkit/Form.h"
#include "toolkit/PictureBox.h"
#include "toolkit/ProgressBar.h"

#include <QLabel>

// The splash window; loading it is the start-up of the player.
class frmSplash : public toolkit::Form
{
    Q_OBJECT
  public:
    frmSplash();

    void Form_Load() override;

    toolkit::PictureBox picLogo;
    QLabel lblBrand;
    QLabel lblProduct;
    QLabel lblWebSite;
    QLabel lblNotice;
    toolkit::ProgressBar prbSplash;

  private:
    void readCourseIndex();
};

namespace forms
{
::frmSplash &frmSplash();
// Whether the splash window is loaded (it unloads itself at the end of the start-up).
bool frmSplashLoaded();
} // namespace forms
