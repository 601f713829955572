#include "support/SimulatedCourse.h"

#include "common/modGlobals.h"
#include "playlist/frmPlaylist.h"
#include "support/Windows.h"

#include <QTest>

namespace support
{

void loadSimulatedCourse(WindowFixture &fixture)
{
    mci::SimulatedMedia &media = fixture.simulateMedia();
    media.addFile(course::kIntro, 12000, QSize(320, 240));
    media.addFile(course::kModule, 60000, QSize(640, 480));
    media.addFile(course::kLong, 760000, QSize(640, 480));
    modGlobals::gMediaRoot = course::kRoot;
    frmPlaylist &playlist = forms::frmPlaylist();
    playlist.AddEntry(course::kIntro, "Introduction", "0:12");
    playlist.AddEntry(course::kModule, "Module 1", "1:00");
    playlist.AddEntry(course::kLong, "Long module", "12:40");
}

void playEntry(const QString &key)
{
    frmPlaylist &playlist = forms::frmPlaylist();
    playlist.lvPlaylist.findKey(key)->setSelected(true);
    playlist.lvPlaylist_Click();
}

void arrangeState(WindowFixture &fixture, const QString &state)
{
    if (state == QLatin1String("selected")) {
        forms::frmPlaylist().lvPlaylist.findKey(course::kModule)->setSelected(true);
    } else if (state == QLatin1String("playing") || state == QLatin1String("paused")) {
        playEntry(course::kModule);
        fixture.media->advance(10000);
        if (state == QLatin1String("paused"))
            pressMain("play");
    } else if (state == QLatin1String("intro")) {
        playEntry(course::kIntro);
    } else if (state == QLatin1String("last")) {
        playEntry(course::kLong);
    } else if (state == QLatin1String("full screen")) {
        playEntry(course::kModule);
        pressMain("full");
        QVERIFY(modGlobals::gFullScreen);
    }
}

} // namespace support
