#pragma once

#include <string>

namespace sys
{

// The user's private temporary folder with its trailing separator, so that a file name can be
// appended directly; empty when none can be had. As on Windows the folder belongs to the user
// alone: $XDG_RUNTIME_DIR when it is a folder of the user's own that only the user may enter,
// else the folder "pellin-<uid>" under the system's temporary folder (TMPDIR, otherwise /tmp),
// created 0700. A folder of that name that is a link, belongs to someone else or is open to
// others is refused, and a fresh folder of the user's own is made beside it instead. The choice
// is made once per process (the files put there are to be found again) until resetTempFolder.
std::string tempFolder();

// Forgets the folder chosen, so that the next tempFolder chooses again from the environment; a
// fresh folder made for this process is removed when it is empty.
void resetTempFolder();

} // namespace sys
