#include "support/SimulatedCourse.h"

#include "common/modGlobals.h"
#include "playlist/frmPlaylist.h"

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

} // namespace support
