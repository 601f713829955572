#pragma once

// What a screen reader is told a window of the program is: a frame, or a dialog for a dialog
// window, named by its caption. Qt would present a plain top-level widget as a "filler", which
// screen readers skip when they list the windows.
class QWidget;

namespace toolkit
{

// Presents every window of the program that way from now on; calling it again does nothing.
void presentFormsAsWindows();

// A client keeps the list of the program's windows from what it is told: Qt lists a window once it
// has a native window but never says so, and drops it unannounced when it goes. These tell the
// accessibility layer that `form` joined the windows (on its first show) and that it leaves them
// (called from its destructor, while its accessible interface still answers).
void announceWindowShown(QWidget &form);
// Calls announceWindowShown whenever `form` shows from now on.
void announceWindowChanges(QWidget &form);
void announceWindowGone(QWidget &form);

} // namespace toolkit
