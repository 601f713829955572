#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include "system/Descriptor.h"

#include <functional>
#include <optional>

// A look at whether the session bus's daemon answers, taken without waiting for it. The bus
// library's own connect waits for the daemon's answers (25 s each when it is stopped, as when a
// desktop session hangs), so the connection is made only once the daemon has answered this look:
// the first line of its handshake, sent on a socket of the look's own.
namespace session
{

// Where a bus address's first Unix socket lies: a path, or a name in the abstract namespace.
struct BusSocket {
    QByteArray name;
    bool abstract = false;
};

// The first Unix socket that `address` names ("unix:path=..." or "unix:abstract=..."), or
// nothing when it names none a client can reach that way.
std::optional<BusSocket> busSocketOf(const QString &address);

class BusProbe : public QObject
{
    Q_OBJECT
  public:
    // Starts the look; `done` runs in the event loop with true once the daemon has answered,
    // false once the socket turns out to lead nowhere. A daemon that does not answer keeps the
    // look waiting: should it answer later, `done` runs then.
    BusProbe(const BusSocket &socket, std::function<void(bool answered)> done, QObject *parent);

  private:
    void connectSocket();
    void socket_Activated();
    void finish(bool answered);

    BusSocket mSocket;
    std::function<void(bool)> mDone;
    std::optional<sys::Descriptor> mFd;
    std::optional<QSocketNotifier> mNotifier;
};

} // namespace session
