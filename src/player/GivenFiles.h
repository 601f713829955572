#pragma once

#include <QStringList>

// Files handed to the player from outside: named on its command line, passed on by a second start
// or dropped on one of its windows.
namespace givenFiles
{

// Opens them as a student would: a playlist replaces the list as Open Playlist does, a single
// video plays as File > Open plays it, several videos join the playlist as Add File adds them and
// the first of them plays. Whatever is no video or playlist of the player's (a folder, a device, a
// pipe, a binary file, a missing one) is named in one message and left alone; the playlist stays.
void open(const QStringList &paths);

// Adds them to the playlist as Add File adds a chosen video, without playing any; a playlist
// among them opens as Open Playlist opens it. What is refused is named as open() names it.
void addToPlaylist(const QStringList &paths);

} // namespace givenFiles
