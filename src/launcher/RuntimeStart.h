#pragma once

#include <string>

namespace launcher
{

// Chooses once per start where the player takes its runtime from: installs the runtime of the
// bundle in `bundleFolder` for the user (the copy shown on the terminal as a percentage on one
// line) and points the player's library search at the copy, or says in one line why the player
// runs from the disc. The disc's first program does it before the launcher is loaded, so that
// the launcher's own libraries come from the copy too; the launcher then finds it done.
void prepareRuntime(const std::string &bundleFolder);

} // namespace launcher
