#pragma once

#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/Toolbar.h"

#include <QLabel>

// The small floating tools bar of full-screen mode: the transport buttons of the main window,
// the way back to the normal view and the playlist toggle. Its caption shows the position; as a
// window manager's title font cuts a caption that long in a window this narrow, the position
// stands inside the bar as well, right of the buttons.
class frmFullToolbar : public toolkit::Form
{
    Q_OBJECT
  public:
    frmFullToolbar();

    void Form_Load() override;
    void Form_KeyPress(int &KeyAscii) override;
    void tlbFullScreen_ButtonClick(toolkit::ToolbarButton &Button);

    // Client area in twips.
    static constexpr int kClientWidth = 2400;
    static constexpr int kClientHeight = 360;
    // Where the bar sits relative to the full-screen window, in twips.
    static constexpr int kOffsetLeft = 6400;
    static constexpr int kOffsetTop = 65;

    toolkit::ImageList imlIcon;
    toolkit::Toolbar tlbFullScreen;
    // The position and the length as the caption gives them; empty while the caption has none.
    QLabel lblPosition;

  protected:
    void changeEvent(QEvent *event) override;

  private:
    void showPosition();
};

namespace forms
{
// The one tools bar, created and loaded on first use.
::frmFullToolbar &frmFullToolbar();
// Whether it exists now; asking this never creates it.
bool frmFullToolbarLoaded();
} // namespace forms

// The bar's button of that key, or nullptr while the bar is closed: a look mirrored onto the bar
// must not load a bar that the student closed.
toolkit::ToolbarButton *fullToolbarButton(const QString &key);
