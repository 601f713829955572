#include "system/PathResolver.h"

#include "system/NameCompare.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace sys
{

namespace
{

bool existsOnDisk(const std::string &path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::string joined(const std::string &folder, const std::string &name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// The entry of `folder` whose name equals `name` ignoring case; the first in name order when
// several do, so that the answer does not depend on the order the directory lists them in. A
// name that is not valid UTF-8 finds no other spelling of itself: another such name would be
// another file.
std::optional<std::string> entryIgnoringCase(const std::string &folder, const std::string &name)
{
    std::vector<std::string> matches;
    std::error_code error;
    fs::directory_iterator entries(folder.empty() ? "." : folder,
                                   fs::directory_options::skip_permission_denied, error);
    for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
        std::string candidate = entries->path().filename().string();
        if (sameNameIgnoringCase(candidate, name))
            matches.push_back(std::move(candidate));
    }
    if (matches.empty())
        return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
}

std::vector<std::string> componentsOf(const std::string &path)
{
    std::vector<std::string> components;
    std::string current;
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            if (!current.empty())
                components.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        components.push_back(std::move(current));
    return components;
}

} // namespace

std::string resolvePath(const std::string &path)
{
    if (path.empty() || existsOnDisk(path))
        return path;

    const bool absolute = path.front() == '/' || path.front() == '\\';
    const bool trailingSeparator = path.back() == '/' || path.back() == '\\';

    std::string resolved = absolute ? "/" : "";
    bool stillOnDisk = true;
    for (const std::string &component : componentsOf(path)) {
        std::string candidate = joined(resolved, component);
        if (stillOnDisk && !existsOnDisk(candidate)) {
            if (const auto match = entryIgnoringCase(resolved, component))
                candidate = joined(resolved, *match);
            else
                stillOnDisk = false;
        }
        resolved = std::move(candidate);
    }
    if (trailingSeparator && (resolved.empty() || resolved.back() != '/'))
        resolved += '/';
    return resolved;
}

} // namespace sys
