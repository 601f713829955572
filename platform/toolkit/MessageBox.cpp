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
