#include "launcher/RuntimeStart.h"

#include "launcher/RuntimeInstall.h"
#include "system/RuntimeCache.h"

#include <unistd.h>

#include <cstdio>

namespace launcher
{

void prepareRuntime(const std::string &bundleFolder)
{
    if (sys::isRuntimeChosen())
        return;
    sys::markRuntimeChosen();
    const bool terminal = ::isatty(STDOUT_FILENO) != 0;
    int shown = -1;
    RuntimeInstallOptions options;
    options.progress = [&](std::int64_t done, std::int64_t total) {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (percent == shown || (!terminal && percent != 100 && shown >= 0))
            return;
        shown = percent;
        std::printf("%sInstalling the course player: %d %%%s", terminal ? "\r" : "", percent,
                    terminal && percent < 100 ? "" : "\n");
        std::fflush(stdout);
    };
    options.waiting = [] {
        std::printf("Waiting for the course player being installed by another start\n");
        std::fflush(stdout);
    };
    const RuntimeOutcome outcome = installRuntime(bundleFolder, options);
    if (!outcome.message.empty())
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    if (!outcome.folder.empty())
        sys::pointSearchPathsAt(outcome.folder);
}

} // namespace launcher
