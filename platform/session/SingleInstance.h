#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// One player per desktop session: the first start holds a name on the session bus, and a later
// start hands its files to that player instead of opening a second one. Without a session bus
// every start is a player of its own, as before.
namespace session
{

enum class InstanceClaim {
    First,      // this process is the session's player (or there is no bus to share one on)
    HandedOver, // a running player took the files: this process has nothing left to do
};

// Claims the session's one player under `name`. When another process holds it, the files go to
// that one (which opens them and comes forward) and HandedOver is returned; when it does not
// answer in time, this process goes on as a player of its own. `open` is what this process does
// with files that later starts hand over, called from the event loop.
InstanceClaim claimInstance(const QString &name, const QStringList &files,
                            std::function<void(const QStringList &)> open);

// The program is ending: later starts no longer hand their files here. Waits for nothing on the
// bus, so a bus that has stopped answering cannot hold up the end.
void releaseInstance(const QString &name);

} // namespace session
