#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// One folder read once: its identity, which stays the same however the folder is reached (so a
// walk can tell a folder it has seen through a link), and all its entries.
struct FolderListing {
    bool opened{}; // false when the folder does not exist or cannot be read
    std::uint64_t device{};
    std::uint64_t inode{};
    std::vector<FoundFile> entries; // in the platform's order, without "." and ".."
};

// Reads the folder named exactly as given (letter case is not resolved here). Each entry's type
// comes from the folder itself; only links, and entries whose type the file system does not
// report there, are looked up one by one.
FolderListing listFolder(const std::string &folder);

// A wildcard pattern prepared once for matching many names with findFiles' rules.
class FilePattern
{
  public:
    explicit FilePattern(std::string pattern);
    bool matches(std::string_view name) const;

  private:
    std::string mPattern;
    std::string mAsciiFolded; // the pattern in lower case, when it is plain ASCII
    bool mAscii{};
};

// The wildcard test findFiles applies to each name.
bool matchesPattern(const std::string &name, const std::string &pattern);

} // namespace sys
