// The platform the windows run on, from the displays the environment names and the user's own
// choice: the X display wherever there is one, so that placing, stacking and activating the
// windows work on a Wayland session too.
#include "toolkit/DisplayPlatform.h"

#include <QTest>

namespace
{

// Sets or unsets (a null value) one variable of the process's environment.
void putVariable(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

class tst_DisplayPlatform : public QObject
{
    Q_OBJECT

  private slots:
    void platformFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("platform");
        const QByteArray none;
        QTest::newRow("X session") << none << QByteArray(":0") << none << QByteArray("xcb");
        QTest::newRow("Wayland session with Xwayland")
            << none << QByteArray(":1") << QByteArray("wayland-0") << QByteArray("xcb");
        QTest::newRow("Wayland alone")
            << none << none << QByteArray("wayland-0") << QByteArray("wayland");
        QTest::newRow("empty DISPLAY counts as none")
            << none << QByteArray("") << QByteArray("wayland-0") << QByteArray("wayland");
        QTest::newRow("no display at all: the toolkit's own choice")
            << none << none << none << none;
        QTest::newRow("user's Wayland wins over Xwayland")
            << QByteArray("wayland") << QByteArray(":1") << QByteArray("wayland-0")
            << QByteArray("wayland");
        QTest::newRow("user's xcb wins over Wayland alone")
            << QByteArray("xcb") << none << QByteArray("wayland-0") << QByteArray("xcb");
        QTest::newRow("user's offscreen without displays")
            << QByteArray("offscreen") << none << none << QByteArray("offscreen");
        QTest::newRow("user's list of platforms kept as written")
            << QByteArray("wayland;xcb") << QByteArray(":1") << QByteArray("wayland-0")
            << QByteArray("wayland;xcb");
        QTest::newRow("empty QT_QPA_PLATFORM is no choice")
            << QByteArray("") << QByteArray(":1") << QByteArray("wayland-0") << QByteArray("xcb");
    }

    void platformFromTheEnvironment()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, platform);
        QCOMPARE(toolkit::displayPlatform({user, display, wayland}), platform);
    }

    // The choice reaches the toolkit through the environment while the application object is
    // made, and leaves it afterwards; a platform the user set stays set.
    void choiceLeavesTheEnvironmentAsItWas_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("whileMade");
        const QByteArray none;
        QTest::newRow("Xwayland chosen")
            << none << QByteArray(":1") << QByteArray("wayland-0") << QByteArray("xcb");
        QTest::newRow("Wayland chosen")
            << none << none << QByteArray("wayland-0") << QByteArray("wayland");
        QTest::newRow("user's platform") << QByteArray("wayland") << QByteArray(":1")
                                         << QByteArray("wayland-0") << QByteArray("wayland");
        QTest::newRow("no display") << none << none << none << none;
    }

    void choiceLeavesTheEnvironmentAsItWas()
    {
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, whileMade);
        putVariable("QT_QPA_PLATFORM", user);
        putVariable("DISPLAY", display);
        putVariable("WAYLAND_DISPLAY", wayland);
        const toolkit::DisplayPlatformChoice choice;
        QCOMPARE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"), !whileMade.isNull());
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), whileMade);
        choice.applicationMade();
        QCOMPARE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"), !user.isNull());
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), user);
    }
};

QTEST_APPLESS_MAIN(tst_DisplayPlatform)
#include "tst_DisplayPlatform.moc"
