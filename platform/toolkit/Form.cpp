#include "toolkit/Form.h"

#include "toolkit/Handlers.h"

#include "toolkit/KeyCodes.h"
#include "toolkit/Units.h"
#include "toolkit/WindowHandles.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>

namespace toolkit
{

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
}

Form::~Form() = default;

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

int Form::Width() const
{
    return WindowState() == 2 ? toTwipsX(mClient->width() + kFrameWidthPixels) : mWidth;
}

int Form::Height() const
{
    return WindowState() == 2 ? toTwipsY(mClient->height() + kFrameHeightPixels) : mHeight;
}

int Form::ScaleWidth() const
{
    return Width() - frameWidthTwips();
}
int Form::ScaleHeight() const
{
    return Height() - frameHeightTwips();
}

void Form::setLeft(int twips)
{
    Move(twips, mTop, mWidth, mHeight);
}
void Form::setTop(int twips)
{
    Move(mLeft, twips, mWidth, mHeight);
}
void Form::setWidth(int twips)
{
    Move(mLeft, mTop, twips, mHeight);
}
void Form::setHeight(int twips)
{
    Move(mLeft, mTop, mWidth, twips);
}

void Form::Move(int left, int top, int width, int height)
{
    const bool resized = width != mWidth || height != mHeight;
    mLeft = left;
    mTop = top;
    mWidth = width;
    mHeight = height;
    applyGeometry();
    if (resized)
        Form_Resize();
}

void Form::applyGeometry()
{
    mApplying = true;
    const int menuHeight = mMenuBar ? mMenuBar->sizeHint().height() : 0;
    const QSize clientSize(qMax(1, toPixelsX(mWidth) - kFrameWidthPixels),
                           qMax(1, toPixelsY(mHeight) - kFrameHeightPixels));
    move(toPixelsX(mLeft), toPixelsY(mTop));
    resize(clientSize.width(), clientSize.height() + menuHeight);
    if (mMenuBar) {
        mMenuBar->setGeometry(0, 0, clientSize.width(), menuHeight);
        mClient->setGeometry(0, menuHeight, clientSize.width(), clientSize.height());
    }
    mApplying = false;
}

void Form::Show(Form *owner)
{
    if (owner && owner != mOwner) {
        mOwner = owner;
        const bool wasVisible = isVisible();
        setParent(owner, windowFlags() | Qt::Window);
        if (wasVisible)
            hide();
    }
    show();
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

} // namespace toolkit
