#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QMenuBar;

#include <functional>
#include <optional>

namespace toolkit
{

// A top-level window with load/unload, geometry in twips, window state 0 normal / 1 minimised /
// 2 maximised (full screen counts as maximised), an owner it stays above and closes with, and key
// presses delivered as character codes.
//
// The outer size is the client size plus the frame: the frame the window manager really draws
// once the window is mapped (its frame extents, and the menu bar), the fixed allowance of Units.h
// where nothing frames the window, and nothing for a frameless window. A window keeps whichever
// size it was given: an outer size (Move, setWidth, setHeight) stays exact and the client is what
// the frame leaves of it, except where the real frame is wider or taller than the fixed allowance
// the written sizes assume: there the window grows by the difference, so that no control is cut
// off; a client size (setClientSize) stays exact and the outer size follows the frame.
class Form : public QWidget
{
    Q_OBJECT
  public:
    // A window with a menu bar keeps its controls in a client area below it.
    explicit Form(const QString &name, bool hasMenuBar = false);
    ~Form() override;

    const QString &Name() const { return mName; }

    virtual void Form_Load() {}
    virtual void Form_Unload(int &cancel) { (void)cancel; }
    virtual void Form_Resize() {}
    virtual void Form_KeyPress(int &keyAscii) { (void)keyAscii; }
    // Local files dropped on the window, once it takes drops (setTakesFileDrops).
    virtual void Form_OLEDragDrop(const QStringList &files) { (void)files; }

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    int WindowState() const;
    void setWindowState(int state);

    int Left() const { return mLeft; }
    int Top() const { return mTop; }
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width, int height);
    int ScaleWidth() const;
    int ScaleHeight() const;
    // The client area's size in twips, kept as given whatever frame the window gets.
    void setClientSize(int width, int height);

    // A fixed frame: the program sizes the window and the window manager lets nobody else do
    // so (no resizing, no maximise button).
    void setFixedFrame();
    // Kept out of the taskbar and the window switcher.
    void setSkipTaskbar() { mSkipTaskbar = true; }
    // A floating toolbar to the window manager: no minimise or maximise button. Set before the
    // window is first sized.
    void setFloatingToolbar() { mFloatingToolbar = true; }
    // The file manager's files may be dropped on the window and its controls.
    void setTakesFileDrops() { setAcceptDrops(true); }
    // Covers the whole screen that holds `reference`, in the toolkit's full-screen state.
    void setFullScreen(const QWidget &reference);

    void Show(Form *owner = nullptr);
    void Hide() { hide(); }
    // Asks for the keyboard focus and leaves the stacking as it is: the window that the keys of
    // the moment belong to takes them even where the window manager would not move the focus
    // to it (a window shown while the focused one was hidden), or where no window manager does.
    void TakeFocus() { activateWindow(); }
    bool Visible() const { return isVisible(); }
    Form *Owner() const { return mOwner; }

    int MousePointer() const { return mMousePointer; }
    void setMousePointer(int pointer);

    long long hWnd();

    // The client area that holds the controls; below the menu bar when there is one. The menu
    // bar sits in the frame allowance, outside the client size.
    QWidget *client() const { return mClient; }
    void setMenuBar(QMenuBar *menuBar);

    // A window without a working close box is hidden by the program, never closed by the user.
    void setCloseBox(bool enabled);

    // Unloads the window through whoever created it (see Forms); the close box does the same.
    void Unload();
    void setUnloader(std::function<void()> unloader) { mUnloader = std::move(unloader); }

  protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    // The frame around the client area in pixels, as the outer size counts it.
    QSize frameAllowance() const;
    // How much wider and taller the real frame is than the fixed allowance, in pixels.
    QSize frameGrowth() const;
    QSize clientPixels() const;
    void applyGeometry();
    // Learns the frame from the window manager before the first show; true when it told it.
    bool askFrameOnce();
    // Lays the window out again when the window manager's frame differs from the one assumed.
    void followFrame();
    // Moves a window shown again to where its frame was when it was hidden.
    void returnToPlace();
    // A fixed window is never maximised: the title bar Qt draws itself on Wayland offers the
    // button whatever the window's hints say, and a compositor ends the connection of a client
    // that keeps its size when maximised. Undone at once, before the request leaves.
    void refuseMaximised(Qt::WindowState state);

    QString mName;
    QWidget *mClient;
    QMenuBar *mMenuBar = nullptr;
    bool mCloseBox = true;
    QPointer<Form> mOwner;
    std::function<void()> mUnloader;
    int mLeft = 0;
    int mTop = 0;
    int mWidth = 0;
    int mHeight = 0;
    // Set while the client size is the one kept exact.
    bool mClientKept = false;
    int mClientWidth = 0;
    int mClientHeight = 0;
    QSize mAppliedFrame;
    // The frame the window manager last reported. A window mapped again after hiding is framed
    // the same way, though its extents are unknown until the window manager reports them anew.
    mutable std::optional<QMargins> mKnownFrame;
    bool mFrameAsked = false;
    // Where the frame was when the program hid the window, to show it there again.
    std::optional<QPoint> mReturnPlace;
    int mReturnAttempts = 0;
    // A window manager that keeps the window elsewhere is not fought for long.
    static constexpr int kReturnAttempts = 3;
    int mMousePointer = 0;
    bool mApplying = false;
    bool mFixed = false;
    bool mSkipTaskbar = false;
    bool mFloatingToolbar = false;
};

// The fixed frame allowance in twips.
int frameWidthTwips();
int frameHeightTwips();

} // namespace toolkit
