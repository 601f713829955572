#include "fullscreen/frmFullToolbar.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "player/frmMain.h"
#include "toolkit/Forms.h"

#include <QEvent>
#include <QLayout>
#include <QStyle>

using namespace modGlobals;

namespace
{

constexpr int kEsc = 27;
constexpr int kCtrlT = 20;
// What the position timer and the stop action put before the position in the caption.
const QLatin1String kPositionPrefix("Tools(Ctl-T) ");
// The type sizes the position is shown in, in points.
constexpr qreal kLargestPoints = 9;
constexpr qreal kSmallestPoints = 6.75;

toolkit::FormSlot<frmFullToolbar> &slot()
{
    static toolkit::FormSlot<frmFullToolbar> instance;
    return instance;
}

} // namespace

frmFullToolbar::frmFullToolbar()
    : toolkit::Form(QStringLiteral("frmFullToolbar")), tlbFullScreen(client()),
      lblPosition(client())
{
    // A fixed tool window: small caption with a close box, kept out of the taskbar.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFloatingToolbar();
    setFixedFrame();
    setSkipTaskbar();
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
    tlbFullScreen.setAccessibleName(QStringLiteral("Tools"));
    // Tab goes from button to button, as on the main toolbar.
    tlbFullScreen.setButtonsTakeFocus(true);
    tlbFullScreen.addButton("normal", "normal", "Normal view");
    tlbFullScreen.addButton("play", "pause", "Pause video");
    tlbFullScreen.addButton("stop", "stop", "Stop");
    tlbFullScreen.addButton("rewind", "rewind", "Rewind");
    tlbFullScreen.addButton("forward", "forward", "Fast forward");
    tlbFullScreen.addButton("playlist", "pcollapsed", "Expand Playlist");
    tlbFullScreen.onButtonClick(
        [this](toolkit::ToolbarButton &button) { tlbFullScreen_ButtonClick(button); });

    // The buttons packed closely leave the bar's right end to the position.
    tlbFullScreen.setStyleSheet(QStringLiteral("QToolButton { padding: 0px; margin: 0px; }"));
    tlbFullScreen.layout()->setContentsMargins(0, 0, 0, 0);
    tlbFullScreen.layout()->setSpacing(0);
    const int buttons = toolkit::toTwipsX(tlbFullScreen.sizeHint().width());
    tlbFullScreen.Move(0, 0, qMin(buttons, kClientWidth), kClientHeight);
    lblPosition.setGeometry(toolkit::toPixelsX(tlbFullScreen.Width()), 0,
                            toolkit::toPixelsX(kClientWidth - tlbFullScreen.Width()),
                            toolkit::toPixelsY(kClientHeight));
    lblPosition.setAlignment(Qt::AlignCenter);
    lblPosition.setObjectName(QStringLiteral("lblPosition"));
    setClientSize(kClientWidth, kClientHeight);
}

void frmFullToolbar::changeEvent(QEvent *event)
{
    toolkit::Form::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange)
        showPosition();
}

void frmFullToolbar::showPosition()
{
    const QString caption = Caption();
    if (!caption.startsWith(kPositionPrefix)) {
        lblPosition.clear();
        return;
    }
    const QString position = caption.mid(kPositionPrefix.size());
    const QRect room = lblPosition.contentsRect();
    // On one line in the largest type that fits; where none does, the position above the length.
    const QStringList twoLines = position.split(u'/');
    for (const QStringList &lines : {QStringList{position}, twoLines}) {
        QFont font = lblPosition.font();
        for (qreal points = kLargestPoints; points >= kSmallestPoints; points -= 0.25) {
            font.setPointSizeF(points);
            const QFontMetrics metrics(font);
            bool fits = metrics.height() * lines.size() <= room.height();
            for (const QString &line : lines)
                fits = fits && metrics.horizontalAdvance(line) <= room.width();
            if (fits) {
                lblPosition.setFont(font);
                lblPosition.setText(lines.join(u'\n'));
                return;
            }
        }
    }
    lblPosition.setText(twoLines.join(u'\n'));
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
            // The keyboard goes to the full-screen window while the bar still has it: the window
            // manager that sees the focused window unmapped gives the focus to no window.
            if (forms::frmFullScreenLoaded())
                forms::frmFullScreen().TakeFocus();
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
