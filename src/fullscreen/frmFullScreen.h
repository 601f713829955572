#pragma once

#include "toolkit/Form.h"
#include "toolkit/PictureBox.h"

// The borderless window that shows the video over the whole screen. Its one control, the picture
// area `screener`, holds the video window and the keyboard focus.
class frmFullScreen : public toolkit::Form
{
    Q_OBJECT
  public:
    frmFullScreen();

    void Form_Load() override;
    void Form_Unload(int &cancel) override;
    void Form_KeyPress(int &KeyAscii) override;
    void screener_KeyPress(int &KeyAscii);

    // Back to the main window: Esc here or on the tools bar, and the bar's "normal" button.
    void LeaveFullScreen();

    toolkit::PictureBox screener;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    void ShowToolbar();
};

namespace forms
{
// The one full-screen window, created and loaded on first use.
::frmFullScreen &frmFullScreen();
// Whether it exists now; asking this never creates it.
bool frmFullScreenLoaded();
} // namespace forms
