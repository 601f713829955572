#pragma once

#include <QString>

namespace toolkit
{

// Lets pending window events run before the caller goes on.
void DoEvents();

// The folder that holds the running program, without a trailing separator.
QString AppPath();
// Test seam: pretend the program lives in `folder`; empty restores the real folder.
void setAppPath(const QString &folder);

} // namespace toolkit
