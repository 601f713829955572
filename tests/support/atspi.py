"""The player as a screen reader's client sees it over AT-SPI, on the accessibility bus of the
session bus: the accessible objects' children, names and roles, and the player's application."""
import time

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
ACTION = "org.a11y.atspi.Action"


class Tree:
    def __init__(self):
        session = dbus.SessionBus()
        address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
            dbus_interface="org.a11y.Bus")
        self.bus = dbus.bus.BusConnection(address)

    def node(self, name, path):
        return self.bus.get_object(name, path, introspect=False)

    def children(self, name, path):
        return self.node(name, path).GetChildren(dbus_interface=ACCESSIBLE, timeout=10)

    def text(self, name, path, prop="Name"):
        return str(self.node(name, path).Get(ACCESSIBLE, prop,
                                             dbus_interface="org.freedesktop.DBus.Properties"))

    def role(self, name, path):
        return str(self.node(name, path).GetRoleName(dbus_interface=ACCESSIBLE, timeout=10))

    def application(self, tries):
        """The player's application object as (bus name, path), looked for up to `tries` times a
        quarter of a second apart; None when it does not appear."""
        for attempt in range(tries):
            for name, path in self.children("org.a11y.atspi.Registry",
                                            "/org/a11y/atspi/accessible/root"):
                if self.text(name, path) == "PellinPlayer":
                    return (str(name), str(path))
            if attempt + 1 < tries:
                time.sleep(0.25)
        return None
