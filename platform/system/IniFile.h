#pragma once

#include <string>

namespace sys
{

// Writes `key`=`value` into `[section]` of the INI file `fileName`, the way the platform's
// profile-string call does: the section and key are found ignoring case (names that are not
// valid UTF-8 only as the same bytes); an existing key's line is replaced, a missing key is
// added at the end of its section, a missing section is added at the end of the file, and a
// missing file is created. Every other line keeps its text.
// The file is replaced atomically, so a failed write leaves the old file intact. Returns false
// when the file cannot be written or when the entry would not read back as written or would
// break the file's line structure: an empty section or key; a line break or NUL anywhere; a
// blank at the start or end of the section, key or value; "]" in the section; "=" in the key,
// or a key that starts with "[" or ";".
bool writeProfileString(const std::string &section, const std::string &key,
                        const std::string &value, const std::string &fileName);

} // namespace sys
