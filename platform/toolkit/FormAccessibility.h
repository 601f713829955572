#pragma once

// What a screen reader is told a window of the program is: a frame, or a dialog for a dialog
// window, named by its caption. Qt would present a plain top-level widget as a "filler", which
// screen readers skip when they list the windows.
namespace toolkit
{

// Presents every window of the program that way from now on; calling it again does nothing.
void presentFormsAsWindows();

} // namespace toolkit
