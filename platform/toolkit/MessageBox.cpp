#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box;
    box.setWindowTitle(call.title);
    box.setText(call.prompt);
    switch (call.style & 0x70) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (call.style & 0x7) {
    case vbOKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? vbOK : vbCancel;
    case vbYesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return vbOK;
    }
}

} // namespace

int MsgBox(const QString &prompt, int style, const QString &title)
{
    const MessageBoxCall call{prompt, style, title};
    return handler() ? handler()(call) : showReal(call);
}

void setMessageBoxHandler(std::function<int(const MessageBoxCall &)> replacement)
{
    handler() = std::move(replacement);
}

} // namespace toolkit
