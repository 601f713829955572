#pragma once

namespace toolkit
{
class Form;
class KeyMap;
} // namespace toolkit

// The keyboard of the main window and the playlist window: Space presses "play", Left "rewind",
// Right "forward" and F11 "full" on the main toolbar, each through the toolbar's own click, so a
// disabled button stays dead and every state rule of the buttons holds. The full-screen windows
// keep their own few keys and get none of these.
namespace transportKeys
{

// The window's key map, for what else the window binds.
toolkit::KeyMap &bind(toolkit::Form &window);

} // namespace transportKeys
