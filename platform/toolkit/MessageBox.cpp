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

// The window a box blocks and stays above: the one the student works in, else the first of the
// program's windows shown.
QWindow *ownerWindow()
{
    if (QWidget *active = QApplication::activeWindow())
        return active->windowHandle();
    for (Form *form : loadedForms())
        if (form->isVisible() && form->windowHandle())
            return form->windowHandle();
    return nullptr;
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
    // Named to the window manager as the owner's (WM_TRANSIENT_FOR), which keeps the box above
    // it; the box stays the caller's to delete.
    box->winId();
    box->windowHandle()->setTransientParent(ownerWindow());
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
