// The look at the session bus's daemon taken before the bus library is handed the bus: which
// socket an address names, and the look's outcome against sockets of the suite's own: one that
// leads nowhere, one whose listener never answers (as a stopped daemon), one that answers late.
#include "session/BusProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "system/Descriptor.h"

#include <cstring>
#include <optional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using session::BusProbe;
using session::BusSocket;

namespace
{

// A listening Unix socket at `path` that accepts nothing by itself, as a stopped daemon's; -1
// when it cannot be made.
int listenAt(const QByteArray &path)
{
    sys::Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    if (::bind(fd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(fd.get(), 4) != 0)
        return -1;
    return fd.release();
}

} // namespace

class BusProbeTest : public QObject
{
    Q_OBJECT

  private slots:
    void socketOfAnAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("abstract");
        QTest::newRow("path") << "unix:path=/tmp/dbus-a1,guid=00ff" << QByteArray("/tmp/dbus-a1")
                              << false;
        QTest::newRow("abstract") << "unix:abstract=/tmp/dbus-b2,guid=00ff"
                                  << QByteArray("/tmp/dbus-b2") << true;
        QTest::newRow("escaped") << "unix:path=/run/user/1000/my%20bus"
                                 << QByteArray("/run/user/1000/my bus") << false;
        QTest::newRow("after another transport")
            << "tcp:host=localhost,port=1;unix:path=/tmp/b" << QByteArray("/tmp/b") << false;
        QTest::newRow("listening form only") << "unix:tmpdir=/tmp" << QByteArray() << false;
        QTest::newRow("no Unix socket") << "tcp:host=localhost,port=1" << QByteArray() << false;
    }

    void socketOfAnAddress()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, name);
        QFETCH(bool, abstract);
        const std::optional<BusSocket> socket = session::busSocketOf(address);
        QCOMPARE(socket.has_value(), !name.isEmpty());
        if (socket) {
            QCOMPARE(socket->name, name);
            QCOMPARE(socket->abstract, abstract);
        }
    }

    void aSocketThatLeadsNowhereSettlesAtOnce()
    {
        QTemporaryDir dir;
        std::optional<bool> answered;
        BusProbe probe(
            BusSocket{QFile::encodeName(dir.filePath(QStringLiteral("none"))), false},
            [&answered](bool answer) { answered = answer; }, nullptr);
        QTRY_VERIFY(answered.has_value());
        QCOMPARE(*answered, false);
    }

    // The listener takes the handshake's first line but says nothing until the suite answers
    // for it: the look waits, then settles with the answer.
    void aListenerThatDoesNotAnswerKeepsTheLookWaitingUntilItDoes()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("bus")));
        const sys::Descriptor listener(listenAt(path));
        QVERIFY(listener.valid());
        std::optional<bool> answered;
        BusProbe probe(
            BusSocket{path, false}, [&answered](bool answer) { answered = answer; }, nullptr);
        QTest::qWait(300);
        QVERIFY(!answered);

        const sys::Descriptor daemon(::accept(listener.get(), nullptr, nullptr));
        QVERIFY(daemon.valid());
        QByteArray line;
        const auto heard = [&line, &daemon] {
            char part[64];
            const ssize_t got = ::recv(daemon.get(), part, sizeof part, MSG_DONTWAIT);
            if (got > 0)
                line.append(part, got);
            return line.contains('\n');
        };
        QTRY_VERIFY(heard());
        QVERIFY(line.startsWith(QByteArray(1, '\0') + "AUTH EXTERNAL "));
        QVERIFY(!answered);
        const char ok[] = "OK 0123456789abcdef\r\n";
        QVERIFY(::send(daemon.get(), ok, sizeof ok - 1, MSG_NOSIGNAL) > 0);
        QTRY_VERIFY(answered.has_value());
        QCOMPARE(*answered, true);
    }
};

QTEST_GUILESS_MAIN(BusProbeTest)
#include "tst_BusProbe.moc"
