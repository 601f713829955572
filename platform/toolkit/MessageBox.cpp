#include "toolkit/MessageBox.h"

#include "toolkit/Forms.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

namespace toolkit
{
namespace
{

std::function<int(const MessageBoxCall &)> &handler()
{
    static std::function<int(const MessageBoxCall &)> current;
    return current;
}

// How many owners stand above the window: an owned window is kept above its owner.
int ownerDepth(const Form &form)
{
    int depth = 0;
    for (const Form *owner = form.Owner(); owner; owner = owner->Owner())
        ++depth;
    return depth;
}

// The window a box belongs to: the one the student works in, else (a Wayland compositor without
// a keyboard activates none) the visible window owned deepest, which its owners stay below.
QWidget *boxOwner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    Form *top = nullptr;
    for (Form *form : loadedForms())
        if (form->isVisible() && (!top || ownerDepth(*form) >= ownerDepth(*top)))
            top = form;
    return top;
}

int showReal(const MessageBoxCall &call)
{
    const std::unique_ptr<QMessageBox> box = makeMessageBox(call);
    const int answer = box->exec();
    switch (call.style & 0x7) {
    case vbOKCancel:
        return answer == QMessageBox::Ok ? vbOK : vbCancel;
    case vbYesNo:
        return answer == QMessageBox::Yes ? vbYes : vbNo;
    default:
        return vbOK;
    }
}

} // namespace

int MsgBox(const QString &prompt, int style, const QString &title)
{
    const MessageBoxCall call{prompt, style, title};
    return handler() ? handler()(call) : showReal(call);
}

std::unique_ptr<QMessageBox> makeMessageBox(const MessageBoxCall &call)
{
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(call.title);
    box->setText(call.prompt);
    // Transient for its owner (WM_TRANSIENT_FOR on X, xdg_toplevel.set_parent on Wayland), which
    // keeps the box above it; the box stays the caller's to delete, and an owner that goes while
    // the box is up takes nothing with it.
    box->winId();
    if (QWidget *owner = boxOwner())
        box->windowHandle()->setTransientParent(owner->window()->windowHandle());
    switch (call.style & 0x70) {
    case vbCritical:
        box->setIcon(QMessageBox::Critical);
        break;
    case vbExclamation:
        box->setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box->setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (call.style & 0x7) {
    case vbOKCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case vbYesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    }
    return box;
}

void setMessageBoxHandler(std::function<int(const MessageBoxCall &)> replacement)
{
    handler() = std::move(replacement);
}

} // namespace toolkit
