// The engine's libraries are not part of the program: they come with the engine module, on a
// thread of their own once a window has painted, or at the first open.
#include "Send.h"
#include "mci/EngineModule.h"
#include "mci/LibmpvEngine.h"
#include "support/Clips.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class LoadingTest : public QObject
{
    Q_OBJECT

  private slots:
    void engineLoadsOnceTheWindowHasPainted();
    void moduleOfAnotherInterfaceIsRefused_data();
    void moduleOfAnotherInterfaceIsRefused();
};

namespace
{

bool engineLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/libmpv.so");
}

} // namespace

void LoadingTest::engineLoadsOnceTheWindowHasPainted()
{
    QWidget window;
    window.resize(320, 240);
    mci::loadLibmpvEngineAfterFirstPaint(window);
    QVERIFY(!engineLoaded());
    QVERIFY(!mci::loadedLibmpvEngine());
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(engineLoaded(), 20000);

    QTemporaryDir dir;
    QString failure;
    const QString clip = clips::make(dir.path(), clips::format("avi-msvideo1"), {}, &failure);
    QVERIFY2(!clip.isEmpty(), qPrintable(failure));
    mci::setAudioOutput(QStringLiteral("null"));
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(clip)).code, 0u);
    QVERIFY(mci::loadedLibmpvEngine());
    QCOMPARE(reply("status movie length"), QStringLiteral("4000"));
    QCOMPARE(send("close all").code, 0u);
}

void LoadingTest::moduleOfAnotherInterfaceIsRefused_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("this build's interface") << mci::kEngineModuleVersion << true;
    QTest::newRow("another interface") << (mci::kEngineModuleVersion ^ 1) << false;
    QTest::newRow("the old hand-kept number") << 1 << false;
}

// The version both sides know is the hash of the interface headers of one configure run.
void LoadingTest::moduleOfAnotherInterfaceIsRefused()
{
    QFETCH(int, version);
    QFETCH(bool, accepted);
    QLibrary module(QStringLiteral(PELLIN_ENGINE_MODULE_FILE));
    QVERIFY2(module.load(), qPrintable(module.errorString()));
    const auto entry =
        reinterpret_cast<mci::EngineModuleEntry>(module.resolve(mci::kEngineModuleEntry));
    QVERIFY(entry);
    QCOMPARE(entry(version) != nullptr, accepted);
}

QTEST_MAIN(LoadingTest)
#include "tst_mci_loading.moc"
