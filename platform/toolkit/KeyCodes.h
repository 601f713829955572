#pragma once

class QKeyEvent;

// The character code a typed key stands for (27 for Esc, 1 to 26 for Ctrl+A to Ctrl+Z, else the
// first character typed); 0 when the key types nothing.
namespace toolkit
{

int characterCode(const QKeyEvent &event);

} // namespace toolkit
