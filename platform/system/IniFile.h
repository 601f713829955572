#pragma once

#include <string>

namespace sys
{

// Writes `key`=`value` into `[section]` of the INI file `fileName`, the way the platform's
// profile-string call does: the section and key are found ignoring case; an existing key's line
// is replaced, a missing key is added at the end of its section, a missing section is added at
// the end of the file, and a missing file is created. Every other line keeps its text.
// The file is replaced atomically, so a failed write leaves the old file intact. Returns false
// when the file cannot be written or when a name or the value would break the file's line
// structure (an empty section or key, a line break, "]" in the section, "=" in the key).
bool writeProfileString(const std::string &section, const std::string &key,
                        const std::string &value, const std::string &fileName);

} // namespace sys
