#include "session/BusProbe.h"

#include <QTimer>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace session
{
namespace
{

// A daemon whose listening queue is full is asked again after this many ms.
constexpr int kConnectRetry = 500;

} // namespace

std::optional<BusSocket> busSocketOf(const QString &address)
{
    for (const QString &entry : address.split(u';', Qt::SkipEmptyParts)) {
        if (!entry.startsWith(QLatin1String("unix:")))
            continue;
        for (const QString &pair : entry.mid(5).split(u',', Qt::SkipEmptyParts)) {
            const qsizetype equals = pair.indexOf(u'=');
            if (equals < 0)
                continue;
            const QStringView key = QStringView(pair).left(equals);
            // Values are percent-escaped.
            const QByteArray value = QByteArray::fromPercentEncoding(pair.mid(equals + 1).toUtf8());
            if (key == QLatin1String("path"))
                return BusSocket{value, false};
            if (key == QLatin1String("abstract"))
                return BusSocket{value, true};
        }
    }
    return std::nullopt;
}

BusProbe::BusProbe(const BusSocket &socket, std::function<void(bool answered)> done,
                   QObject *parent)
    : QObject(parent), mSocket(socket), mDone(std::move(done))
{
    QTimer::singleShot(0, this, &BusProbe::connectSocket);
}

void BusProbe::connectSocket()
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t start = mSocket.abstract ? 1 : 0;
    const std::size_t room = sizeof(address.sun_path) - start - (mSocket.abstract ? 0 : 1);
    if (std::size_t(mSocket.name.size()) > room) {
        finish(false);
        return;
    }
    std::memcpy(address.sun_path + start, mSocket.name.constData(), mSocket.name.size());
    const socklen_t length =
        socklen_t(offsetof(sockaddr_un, sun_path) + start + std::size_t(mSocket.name.size()) +
                  (mSocket.abstract ? 0 : 1));
    mFd.emplace(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!mFd->valid()) {
        finish(false);
        return;
    }
    if (::connect(mFd->get(), reinterpret_cast<const sockaddr *>(&address), length) != 0) {
        if (errno == EAGAIN) {
            QTimer::singleShot(kConnectRetry, this, &BusProbe::connectSocket);
            return;
        }
        finish(false);
        return;
    }
    // The handshake's opening: a nul byte, then the first line a client sends. A few bytes on a
    // new socket: the write does not block. Any line the daemon sends back shows it answers.
    const QByteArray uid = QByteArray::number(::getuid()).toHex();
    const QByteArray hello = QByteArray(1, '\0') + "AUTH EXTERNAL " + uid + "\r\n";
    if (::send(mFd->get(), hello.constData(), std::size_t(hello.size()), MSG_NOSIGNAL) !=
        hello.size()) {
        finish(false);
        return;
    }
    mNotifier.emplace(mFd->get(), QSocketNotifier::Read);
    connect(&*mNotifier, &QSocketNotifier::activated, this, &BusProbe::socket_Activated);
}

void BusProbe::socket_Activated()
{
    char answer[256];
    const ssize_t got = ::recv(mFd->get(), answer, sizeof answer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    finish(got > 0);
}

void BusProbe::finish(bool answered)
{
    mNotifier.reset();
    mFd.reset();
    if (mDone)
        std::exchange(mDone, {})(answered);
}

} // namespace session
