#include "toolkit/Form.h"

#include "toolkit/FormAccessibility.h"
#include "toolkit/Handlers.h"

#include "toolkit/KeyCodes.h"
#include "toolkit/Units.h"
#include "toolkit/WindowHandles.h"
#include "toolkit/X11Window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include <optional>

namespace toolkit
{

namespace
{

// Whether windows are on a real window system; the offscreen and minimal platforms of tests and
// scripts have none (and make a frame up of their own).
bool framedByPlatform()
{
    static const bool framed = QGuiApplication::platformName() != QLatin1String("offscreen") &&
                               QGuiApplication::platformName() != QLatin1String("minimal");
    return framed;
}

} // namespace

int frameWidthTwips()
{
    return toTwipsX(kFrameWidthPixels);
}
int frameHeightTwips()
{
    return toTwipsY(kFrameHeightPixels);
}

Form::Form(const QString &name, bool hasMenuBar)
    : QWidget(nullptr, Qt::Window), mName(name), mClient(hasMenuBar ? new QWidget(this) : this)
{
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
    presentFormsAsWindows();
    announceWindowChanges(*this);
}

Form::~Form()
{
    announceWindowGone(*this);
}

int Form::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

void Form::setWindowState(int state)
{
    switch (state) {
    case 1:
        QWidget::setWindowState(windowState() | Qt::WindowMinimized);
        break;
    case 2:
        QWidget::setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        break;
    default:
        QWidget::setWindowState(Qt::WindowNoState);
        break;
    }
}

QSize Form::frameAllowance() const
{
    if (windowFlags() & Qt::FramelessWindowHint)
        return {0, 0};
    const int menuHeight = mMenuBar ? mMenuBar->sizeHint().height() : 0;
    // Qt reads the window manager's frame extents of a mapped window; nothing ever reported
    // means nothing frames it.
    if (const QWindow *window = windowHandle(); window && isVisible() && framedByPlatform()) {
        const QMargins frame = window->frameMargins();
        if (!frame.isNull())
            mKnownFrame = frame;
    }
    if (mKnownFrame)
        return {mKnownFrame->left() + mKnownFrame->right(),
                mKnownFrame->top() + mKnownFrame->bottom() + menuHeight};
    return {kFrameWidthPixels, kFrameHeightPixels};
}

int Form::Width() const
{
    if (WindowState() == 2)
        return toTwipsX(mClient->width() + frameAllowance().width());
    return mClientKept ? mClientWidth + toTwipsX(frameAllowance().width()) : mWidth;
}

int Form::Height() const
{
    if (WindowState() == 2)
        return toTwipsY(mClient->height() + frameAllowance().height());
    return mClientKept ? mClientHeight + toTwipsY(frameAllowance().height()) : mHeight;
}

int Form::ScaleWidth() const
{
    if (mClientKept && WindowState() != 2)
        return mClientWidth;
    return Width() - toTwipsX(frameAllowance().width());
}
int Form::ScaleHeight() const
{
    if (mClientKept && WindowState() != 2)
        return mClientHeight;
    return Height() - toTwipsY(frameAllowance().height());
}

void Form::setLeft(int twips)
{
    Move(twips, mTop, Width(), Height());
}
void Form::setTop(int twips)
{
    Move(mLeft, twips, Width(), Height());
}
void Form::setWidth(int twips)
{
    Move(mLeft, mTop, twips, Height());
}
void Form::setHeight(int twips)
{
    Move(mLeft, mTop, Width(), twips);
}

void Form::Move(int left, int top, int width, int height)
{
    // Moving keeps the size that is kept exact; a new size makes the outer size the one kept.
    const bool resized = width != Width() || height != Height();
    mLeft = left;
    mTop = top;
    if (resized) {
        mClientKept = false;
        mWidth = width;
        mHeight = height;
    }
    applyGeometry();
    if (resized)
        Form_Resize();
}

void Form::setClientSize(int width, int height)
{
    const bool resized = !mClientKept || width != mClientWidth || height != mClientHeight;
    mClientKept = true;
    mClientWidth = width;
    mClientHeight = height;
    mWidth = Width();
    mHeight = Height();
    applyGeometry();
    if (resized)
        Form_Resize();
}

QSize Form::frameGrowth() const
{
    const QSize frame = frameAllowance();
    if (!mKnownFrame)
        return {0, 0};
    return {qMax(0, frame.width() - kFrameWidthPixels),
            qMax(0, frame.height() - kFrameHeightPixels)};
}

QSize Form::clientPixels() const
{
    if (mClientKept)
        return {qMax(1, toPixelsX(mClientWidth)), qMax(1, toPixelsY(mClientHeight))};
    // The written outer size holds where the frame is no taller than the allowance it assumes;
    // a taller one grows the window, so that the client keeps what the layout needs.
    const QSize frame = frameAllowance();
    const QSize growth = frameGrowth();
    return {qMax(1, toPixelsX(mWidth) + growth.width() - frame.width()),
            qMax(1, toPixelsY(mHeight) + growth.height() - frame.height())};
}

void Form::applyGeometry()
{
    mApplying = true;
    mAppliedFrame = frameAllowance();
    const int menuHeight = mMenuBar ? mMenuBar->sizeHint().height() : 0;
    const QSize clientSize = clientPixels();
    const QSize windowSize(clientSize.width(), clientSize.height() + menuHeight);
    // The position is the frame's top left corner; Qt places the frame there.
    move(toPixelsX(mLeft), toPixelsY(mTop));
    if (mFixed)
        setFixedSize(windowSize);
    else
        resize(windowSize);
    if (mMenuBar) {
        mMenuBar->setGeometry(0, 0, clientSize.width(), menuHeight);
        mClient->setGeometry(0, menuHeight, clientSize.width(), clientSize.height());
    }
    mApplying = false;
    // Asked once the window has a size: asking creates its native window.
    if (askFrameOnce())
        applyGeometry();
}

// The window manager tells the frame of a window not yet shown when asked: the first place and
// size are then already the ones the frame needs, with no jump once the window is mapped.
bool Form::askFrameOnce()
{
    // A floating toolbar's window type, which its frame depends on, is written only at the show.
    if (mFrameAsked || mKnownFrame || isVisible() || !framedByPlatform() || mFloatingToolbar ||
        (windowFlags() & Qt::FramelessWindowHint))
        return false;
    mFrameAsked = true;
    mKnownFrame = x11::askFrame(*this);
    return mKnownFrame.has_value();
}

void Form::followFrame()
{
    if (mApplying || WindowState() != 0 || frameAllowance() == mAppliedFrame)
        return;
    const QSize client = clientPixels();
    applyGeometry();
    if (clientPixels() != client)
        runHandler([this] { Form_Resize(); });
}

void Form::setFixedFrame()
{
    mFixed = true;
    Qt::WindowFlags flags = windowFlags() | Qt::MSWindowsFixedSizeDialogHint |
                            Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint;
    flags.setFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlags(flags);
    applyGeometry();
}

void Form::setFullScreen(const QWidget &reference)
{
    const QRect screen = screenTwipsOf(reference);
    Move(screen.x(), screen.y(), screen.width(), screen.height());
    QWidget::setWindowState(windowState() | Qt::WindowFullScreen);
}

void Form::Show(Form *owner)
{
    if (owner && owner != mOwner) {
        mOwner = owner;
        const bool wasVisible = isVisible();
        setParent(owner, windowFlags() | Qt::Window);
        if (wasVisible)
            hide();
        // A new parent takes the native window's place away (it was created early to ask for
        // the frame).
        applyGeometry();
    }
    if (!isVisible()) {
        if (mSkipTaskbar)
            x11::skipTaskbar(*this);
        if (mFloatingToolbar)
            x11::setToolbarType(*this);
    }
    // A window shown again goes back to the place its frame had when it was hidden: mutter
    // places a window mapped again by its client's corner, a title bar higher each time.
    if (isVisible())
        mReturnPlace.reset();
    {
        // The window manager reads the owner when the window is mapped: it stacks and focuses
        // an owned window by it. Qt names an owner for dialogs and tool windows only.
        std::optional<x11::ServerHold> hold;
        if (mOwner)
            hold.emplace();
        show();
        if (mOwner)
            x11::setTransientFor(*this, *mOwner);
    }
    returnToPlace();
    // An owned window comes up above its owner, with or without a window manager to see to it.
    if (framedByPlatform())
        raise();
}

void Form::setMousePointer(int pointer)
{
    mMousePointer = pointer;
    if (pointer == 11)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

long long Form::hWnd()
{
    return handleOf(this);
}

void Form::setMenuBar(QMenuBar *menuBar)
{
    mMenuBar = menuBar;
    menuBar->setParent(this);
    applyGeometry();
}

void Form::setCloseBox(bool enabled)
{
    mCloseBox = enabled;
    Qt::WindowFlags flags = windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    flags.setFlag(Qt::WindowCloseButtonHint, enabled);
    setWindowFlags(flags);
}

void Form::Unload()
{
    if (mUnloader)
        mUnloader();
}

void Form::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (mCloseBox)
        runHandler([this] { Unload(); });
}

void Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!mApplying && WindowState() == 0 && isVisible())
        runHandler([this] { Form_Resize(); });
    followFrame();
}

// The window manager frames a window when it maps it and reports the frame's extents around
// then: the first moves and the showing are where the frame becomes known.
void Form::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    followFrame();
    returnToPlace();
}

// Qt takes a move to where it believes the frame already is for none, and the window manager
// that maps the window again reports where it put it only later: the place is asked for, judged
// by where the server has the frame, until the frame is there.
void Form::returnToPlace()
{
    if (!mReturnPlace || !isVisible() || WindowState() != 0)
        return;
    const std::optional<QPoint> frame = x11::frameTopLeft(*this);
    if (!frame)
        return;
    if (*frame == *mReturnPlace) {
        mReturnPlace.reset();
        return;
    }
    if (++mReturnAttempts > kReturnAttempts) {
        mReturnPlace.reset();
        return;
    }
    windowHandle()->setFramePosition(*mReturnPlace);
}

void Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (mFixed)
        connect(windowHandle(), &QWindow::windowStateChanged, this, &Form::refuseMaximised,
                Qt::UniqueConnection);
    followFrame();
}

void Form::refuseMaximised(Qt::WindowState state)
{
    if (state == Qt::WindowMaximized)
        windowHandle()->setWindowStates(windowHandle()->windowStates() & ~Qt::WindowMaximized);
}

void Form::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (framedByPlatform() && WindowState() == 0 && mKnownFrame && !event->spontaneous()) {
        mReturnPlace = frameGeometry().topLeft();
        mReturnAttempts = 0;
    }
}

void Form::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !mApplying)
        runHandler([this] { Form_Resize(); });
}

void Form::keyPressEvent(QKeyEvent *event)
{
    int code = characterCode(*event);
    if (code == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    runHandler([this, &code] { Form_KeyPress(code); });
}

namespace
{

// The local files a drop carries; web addresses and the like are no files to open.
QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data)
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

void Form::dragEnterEvent(QDragEnterEvent *event)
{
    if (droppedFiles(event->mimeData()).isEmpty())
        return event->ignore();
    event->acceptProposedAction();
}

void Form::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty())
        return event->ignore();
    event->acceptProposedAction();
    runHandler([this, &files] { Form_OLEDragDrop(files); });
}

} // namespace toolkit
