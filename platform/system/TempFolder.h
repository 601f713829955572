#pragma once

#include <string>

namespace sys
{

// The user's temporary folder with its trailing separator, so that a file name can be appended
// directly. Follows the platform's usual rule (TMPDIR, otherwise /tmp); the folder is not
// created or checked here.
std::string tempFolder();

} // namespace sys
