"""Reads the player's accessible tree over AT-SPI and checks the names a screen reader gives its
controls: the windows as frames named by their captions, the toolbar buttons by their tooltips
(never by their keys), the slider, the playlist and its columns."""
import sys
import time

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"


def main():
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
        dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(address)

    def node(name, path):
        return bus.get_object(name, path, introspect=False)

    def children(name, path):
        return node(name, path).GetChildren(dbus_interface=ACCESSIBLE, timeout=10)

    def text(name, path, prop):
        return str(node(name, path).Get(ACCESSIBLE, prop,
                                        dbus_interface="org.freedesktop.DBus.Properties"))

    def role(name, path):
        return str(node(name, path).GetRoleName(dbus_interface=ACCESSIBLE, timeout=10))

    app = None
    for _ in range(80):
        for name, path in children("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"):
            if text(name, path, "Name") == "PellinPlayer":
                app = (str(name), str(path))
        if app:
            break
        time.sleep(0.25)
    if not app:
        print("the player did not appear on the accessibility bus", file=sys.stderr)
        return 1

    failures = []
    # The windows are what a screen reader lists first: frames (or dialogs), by their captions.
    windows = [(role(n, p), text(n, p, "Name")) for n, p in children(*app)]
    for r, n in windows:
        if r not in ("frame", "dialog"):
            failures.append("the window %r is a %r, not a frame or a dialog" % (n, r))
        if not n.strip():
            failures.append("a window (%s) has no name" % r)
    window_names = [n for _, n in windows]
    if "Pellin Playlist" not in window_names:
        failures.append("no window named 'Pellin Playlist': %r" % window_names)
    if not any(n.startswith("Vorlund - IT Certification Videos") for n in window_names):
        failures.append("no window named by the main window's caption: %r" % window_names)

    seen = []  # (role, name)
    pending = [app]
    while pending and len(seen) < 5000:
        name, path = pending.pop()
        seen.append((role(name, path), text(name, path, "Name")))
        pending.extend((str(n), str(p)) for n, p in children(name, path))

    named = {}
    for r, n in seen:
        named.setdefault(r, set()).add(n)
    buttons = named.get("push button", set()) | named.get("button", set())
    for wanted in ["Full screen", "Play video", "Stop video", "Rewind video",
                   "Fast forward video", "Visit the Vorlund web site!", "Playlist",
                   "Add file", "Add directory and all subdirectories", "Save playlist"]:
        if wanted not in buttons:
            failures.append("no button named %r" % wanted)
    for key in ["full", "play", "stop", "rewind", "forward", "web", "dir_rec", "file"]:
        if key in buttons:
            failures.append("a button is named by its key %r" % key)
    if "Position" not in named.get("slider", set()):
        failures.append("no slider named 'Position'")
    everything = {n for names in named.values() for n in names}
    for wanted in ["Playlist", "Name", "Length", "Transport", "Playlist tools"]:
        if wanted not in everything:
            failures.append("nothing named %r" % wanted)
    print("%d accessible objects, %d buttons: %s" % (len(seen), len(buttons),
                                                     ", ".join(sorted(buttons))))
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
