#pragma once

#include <string>

namespace sys
{

// Copies the file `existing` to `target`, with its modification time and its permissions (plus
// the owner's write permission), and reports whether it did. With `failIfExists` an existing target
// is left alone and the copy fails; otherwise the target is replaced, unless it is write-protected.
// The new file appears whole or not at all: a copy that fails half-way leaves an existing target as
// it was.
bool copyFile(const std::string &existing, const std::string &target, bool failIfExists);

} // namespace sys
