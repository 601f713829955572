#pragma once

#include <cstddef>
#include <string>

namespace sys
{

// The short (8.3) form of a path, as the media controller asks for it before opening a file.
// POSIX file systems keep no short names, so the answer is always 0 characters written and
// `shortPath` is left as it was; callers then use the long name unchanged, exactly as they do
// for a file that has no short form.
std::size_t shortPathName(const std::string &longPath, std::string &shortPath);

} // namespace sys
