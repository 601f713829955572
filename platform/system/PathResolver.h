#pragma once

#include <string>

namespace sys
{

// Course data was made for a file system that ignores letter case and writes "\" between
// folders. This finds such a path on disk: the path as given if it exists, otherwise the same
// path with "\" read as a separator, taking each component as it is when it exists and else the
// entry of that folder whose name matches it ignoring case (the first in name order when several
// do; a name that is not valid UTF-8 only matches the very same bytes). Components that cannot be
// found are kept as written, so the result names the file to create, or makes the caller's open
// fail with "not found" as it should. Never throws.
std::string resolvePath(const std::string &path);

} // namespace sys
