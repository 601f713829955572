// How often the libmpv engine opens a video before its first frame, counted by the kernel:
// an inotify watch on the clip sees every open of it, by the header read and by the engine.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

#include <array>

namespace
{

// Counts the opens of one file from the moment it is watched. The kernel folds an event into the
// one before it when the two are alike and unread, so reads and closes are watched too: they
// stand between two opens.
class OpenWatch
{
  public:
    explicit OpenWatch(const QString &path)
        : mDescriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          mWatch(inotify_add_watch(mDescriptor, QFile::encodeName(path).constData(),
                                   IN_OPEN | IN_ACCESS | IN_CLOSE_NOWRITE))
    {
    }
    ~OpenWatch() { ::close(mDescriptor); }
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;

    bool valid() const { return mDescriptor >= 0 && mWatch >= 0; }
    // The opens seen since the last call.
    int opens()
    {
        int count = 0;
        alignas(inotify_event) std::array<char, 4096> buffer{};
        for (;;) {
            const ssize_t got = ::read(mDescriptor, buffer.data(), buffer.size());
            if (got <= 0)
                return count;
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer.data() + at);
                if (event->mask & IN_OPEN)
                    ++count;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

  private:
    int mDescriptor;
    int mWatch;
};

} // namespace

class OpensTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void eachVideoIsOpenedOnceBeforeItsFirstFrame_data();
    void eachVideoIsOpenedOnceBeforeItsFirstFrame();

  private:
    QTemporaryDir mDir;
};

void OpensTest::initTestCase()
{
    QVERIFY(mDir.isValid());
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
}

void OpensTest::cleanup()
{
    send("close all");
}

void OpensTest::eachVideoIsOpenedOnceBeforeItsFirstFrame_data()
{
    QTest::addColumn<QString>("format");
    // Played: opened, its length asked, played to a picture in the window. Measured: the
    // playlist's measurement of a file it adds, opened and played for 1 ms.
    QTest::addColumn<bool>("played");
    for (const clips::Format &format : clips::formats()) {
        QTest::addRow("%s played", format.name) << QString::fromLatin1(format.name) << true;
        QTest::addRow("%s measured", format.name) << QString::fromLatin1(format.name) << false;
    }
}

void OpensTest::eachVideoIsOpenedOnceBeforeItsFirstFrame()
{
    QFETCH(QString, format);
    QFETCH(bool, played);
    QString failure;
    const QString file =
        clips::make(mDir.path(), clips::format(format.toLatin1().constData()), {}, &failure);
    QVERIFY2(!file.isEmpty(), qPrintable(failure));
    OpenWatch watch(file);
    QVERIFY(watch.valid());

    QWidget parent;
    parent.resize(320, 240);
    parent.show();
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie parent %2 style 1073741824")
                      .arg(file)
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    QCOMPARE(send("set movie time format ms").code, 0u);
    QVERIFY(reply("status movie length").toLongLong() > 0);
    if (played) {
        QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
        QCOMPARE(send("play movie").code, 0u);
        QTRY_VERIFY_WITH_TIMEOUT(reply("status movie position").toLongLong() >= 400, 10000);
        QVERIFY(support::videoWidget(&parent));
    } else {
        QCOMPARE(send("play movie from 0 to 1").code, 0u);
        QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    }
    QCOMPARE(watch.opens(), 1);
    QCOMPARE(send("close movie").code, 0u);
}

QTEST_MAIN(OpensTest)
#include "tst_mci_opens.moc"
