#pragma once

#include <QString>

#include <functional>
#include <memory>

class QMessageBox;

namespace toolkit
{

// The classic button, icon and answer codes.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbYesNo = 4;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

struct MessageBoxCall {
    QString prompt;
    int style = 0;
    QString title;
};

// Shows a modal box and returns the answer.
int MsgBox(const QString &prompt, int style, const QString &title);

// The box that MsgBox shows for `call`, not yet shown, so that its size can be known.
std::unique_ptr<QMessageBox> makeMessageBox(const MessageBoxCall &call);

// Test seam: answer boxes without showing them. An empty function restores the real boxes.
void setMessageBoxHandler(std::function<int(const MessageBoxCall &)> handler);

} // namespace toolkit
