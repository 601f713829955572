#pragma once

// The player's side of the desktop's media controls: what the player shows goes to them, and
// each thing they ask for is what a student would do, through the same buttons and handlers
// (the main toolbar's buttons, the playlist entry's click, the position slider's scroll), so a
// media key in full screen acts as the tools bar does.
namespace desktopControls
{

// Offers the player to the desktop (nothing happens without a session bus).
void start();
// The player's state may have changed: the desktop hears of what did. Cheap when nothing did.
void publish();
// The position jumped: the desktop hears where to.
void seeked();

} // namespace desktopControls
