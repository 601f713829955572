#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace launcher
{

// What an install gives the player: the folder to take its runtime from, or nothing, in which
// case it runs from the disc (`message` then says why, in one line, unless the bundle has no
// runtime to install at all).
struct RuntimeOutcome {
    std::string folder;
    std::string message;
    std::int64_t copiedBytes = 0;
};

struct RuntimeInstallOptions {
    // Told as the copy goes on: bytes copied so far and in all.
    std::function<void(std::int64_t done, std::int64_t total)> progress;
    // Told once when another launcher is copying the same runtime and this one waits for it.
    std::function<void()> waiting;
    // How long to wait for another launcher's copy before running from the disc.
    int waitMs = 120000;
};

// Installs the runtime of the bundle in `bundleFolder` (the disc's bin/) into the user's own
// folder for it, or finds it installed and whole. The copy is made in a private temporary
// folder beside it, each file checked against the bundle's list as it is copied, and renamed
// into place once complete; a copy that is not whole is removed and made again. Nothing is
// written into `bundleFolder`.
RuntimeOutcome installRuntime(const std::string &bundleFolder,
                              const RuntimeInstallOptions &options = {});

} // namespace launcher
