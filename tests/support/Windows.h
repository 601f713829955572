#pragma once

#include <QString>

// What the window suites do to the loaded windows besides driving their handlers.
namespace support
{

// Unloads every loaded window and lets the deferred deletions run.
void unloadAllWindows();
// Runs the deletions that unloaded windows and closed devices have left for later.
void flushDeletes();
// How many loaded windows have that name.
int loadedCount(const QString &name);

// A click on a toolbar button as its window's handler receives it.
void pressMain(const char *key);
void pressPlaylist(const char *key);

} // namespace support
