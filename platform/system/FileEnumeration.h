#pragma once

#include <string>
#include <vector>

namespace sys
{

struct FoundFile {
    std::string name; // the entry's name within its folder
    bool isFolder{};  // a folder, or a link that leads to one
    bool isLink{};    // a symbolic link: a walk that recurses may want to skip it (loops)
};

// The entries of `folder` whose names match `pattern`, in the order the platform lists them
// (no sorting), without "." and "..". The pattern uses "*" and "?" and ignores letter case, as
// the course data expects; "*.*" matches every name, also one without a dot. The folder is
// resolved ignoring case. A folder that does not exist or cannot be read gives no entries.
std::vector<FoundFile> findFiles(const std::string &folder, const std::string &pattern);

// The wildcard test findFiles applies to each name.
bool matchesPattern(const std::string &name, const std::string &pattern);

} // namespace sys
