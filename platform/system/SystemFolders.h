#pragma once

#include <string>

namespace sys
{

// The launcher's Windows folder and the system folder inside it. There is no such folder here,
// so both are per-user folders of their own ($XDG_DATA_HOME/pellin/windows and its "system32"),
// created when first asked for. Reported without a trailing separator.
std::string windowsFolder();
std::string systemFolder();

// Test seam: puts the Windows folder (and so the system folder) at `folder`; an empty text
// brings back the per-user default.
void setWindowsFolder(const std::string &folder);

} // namespace sys
