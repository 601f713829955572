"""Presses a menu item of the running player over AT-SPI, as a screen reader's user does, on the
accessibility bus of the session bus: the way in that needs no keyboard of the display server's.
    press-menu-item.py NAME"""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import atspi  # noqa: E402 (found beside the suites' other helpers)


def main(wanted):
    tree = atspi.Tree()
    for _ in range(120):
        app = tree.application(1)
        pending = [app] if app else []
        seen = 0
        while pending and seen < 5000:
            item = pending.pop()
            seen += 1
            if tree.role(*item) == "menu item" and tree.text(*item).replace("&", "") == wanted:
                tree.node(*item).DoAction(0, dbus_interface=atspi.ACTION, timeout=10)
                return 0
            pending.extend((str(n), str(p)) for n, p in tree.children(*item))
        time.sleep(0.25)
    print("no menu item %r of the player on the accessibility bus" % wanted, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
