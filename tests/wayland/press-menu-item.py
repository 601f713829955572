"""Presses a menu item of the running player over AT-SPI, as a screen reader's user does, on the
accessibility bus of the session bus: the way in that needs no keyboard of the display server's.
    press-menu-item.py NAME"""
import sys
import time

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
ACTION = "org.a11y.atspi.Action"
PROPERTIES = "org.freedesktop.DBus.Properties"


def main(wanted):
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
        dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(address)

    def node(name, path):
        return bus.get_object(name, path, introspect=False)

    def children(name, path):
        return node(name, path).GetChildren(dbus_interface=ACCESSIBLE, timeout=10)

    def text(name, path):
        return str(node(name, path).Get(ACCESSIBLE, "Name", dbus_interface=PROPERTIES))

    def role(name, path):
        return str(node(name, path).GetRoleName(dbus_interface=ACCESSIBLE, timeout=10))

    for _ in range(120):
        for name, path in children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
            if text(name, path) != "PellinPlayer":
                continue
            pending = [(str(name), str(path))]
            seen = 0
            while pending and seen < 5000:
                item = pending.pop()
                seen += 1
                if role(*item) == "menu item" and text(*item).replace("&", "") == wanted:
                    node(*item).DoAction(0, dbus_interface=ACTION, timeout=10)
                    return 0
                pending.extend((str(n), str(p)) for n, p in children(*item))
        time.sleep(0.25)
    print("no menu item %r of the player on the accessibility bus" % wanted, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
