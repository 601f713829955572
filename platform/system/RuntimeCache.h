#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sys
{

// The disc's runtime (the libraries, the engine module and the Qt plug-ins of bin/) and the
// per-user copy of it that the launcher installs, so that a slow drive is read once, in one
// sequential pass, rather than page by page at every start.
//
// The bundle lists its runtime in bin/runtime.sha256, one file a line: its SHA-256, its size
// and its path below bin/. The list's own SHA-256 names the installed copy, a folder of the
// user's own under $XDG_CACHE_HOME/pellin-runtime (~/.cache when unset). The copy holds the
// files under the same paths and a stamp, written last, with the size and time of change of
// each copied file: a copy that no longer matches its stamp is not used.

struct RuntimeFile {
    std::string path; // below bin/
    std::int64_t size = 0;
    std::string sha256; // lower-case hex
};

struct RuntimeManifest {
    std::string hash; // of the list itself, lower-case hex
    std::vector<RuntimeFile> files;
    std::int64_t totalSize = 0;
};

inline constexpr char kRuntimeManifestName[] = "runtime.sha256";
inline constexpr char kRuntimeStampName[] = ".whole";
// The runtime packed for the install (RuntimePack); a bundle without it is copied file by file.
inline constexpr char kRuntimePackName[] = "runtime.xz";

// The bundle's list of its runtime; nothing when the bundle has none (a build tree) or the list
// is not one this program reads (a path leaving the folder, say).
std::optional<RuntimeManifest> readRuntimeManifest(const std::string &bundleFolder);

// Where the installed copies live; empty without a home to put them in.
std::string runtimeCacheRoot();

// Whether `folder` is a real folder (not a link) of the user's own that only the user may enter.
bool isPrivateFolder(const std::string &folder);

// Whether the copy in `folder` is whole for `manifest`: every file there as the stamp recorded
// it, the folder and its subfolders private and none of them a link.
bool isWholeRuntime(const std::string &folder, const RuntimeManifest &manifest);

// The whole installed copy of the bundle in `bundleFolder` (the program's own folder), or empty.
std::string installedRuntime(const std::string &bundleFolder);

// The launcher points the player's library search at the installed copy through the
// environment, noting what it found there before; the player, once started, puts back what was
// there, so that programs it starts load their own libraries, not the bundle's.
void pointSearchPathsAt(const std::string &folder);
void restoreSearchPaths();

// Whether a program before this one in the same start has already chosen the runtime (the
// copy, or the disc after a failed install), so that the choice, and any copy, is made once.
// The mark is cleared with the search paths.
bool isRuntimeChosen();
void markRuntimeChosen();

// Before the application object exists: Qt's plug-ins are the installed copy's alone when the
// program runs from a bundle whose copy is whole, so that no plug-in is read from the disc, not
// even for its metadata.
void useInstalledRuntimePlugins();

} // namespace sys
