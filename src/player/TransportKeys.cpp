#include "player/TransportKeys.h"

#include "player/frmMain.h"
#include "toolkit/KeyMap.h"

namespace transportKeys
{

toolkit::KeyMap &bind(toolkit::Form &window)
{
    auto *keys = new toolkit::KeyMap(window); // owned by the window
    const std::pair<int, const char *> bindings[] = {
        {Qt::Key_Space, "play"},
        {Qt::Key_Left, "rewind"},
        {Qt::Key_Right, "forward"},
        {Qt::Key_F11, "full"},
    };
    for (const auto &[key, button] : bindings)
        keys->bindKey(key, [button] { forms::frmMain().tlbMain.click(button); });
    return *keys;
}

} // namespace transportKeys
