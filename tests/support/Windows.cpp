#include "support/Windows.h"

#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Forms.h"

#include <QCoreApplication>

namespace support
{

void unloadAllWindows()
{
    for (toolkit::Form *form : toolkit::loadedForms())
        form->Unload();
    flushDeletes();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int loadedCount(const QString &name)
{
    int count = 0;
    for (const toolkit::Form *form : toolkit::loadedForms())
        count += form->Name() == name ? 1 : 0;
    return count;
}

void pressMain(const char *key)
{
    frmMain &main = forms::frmMain();
    main.tlbMain_ButtonClick(main.tlbMain.Buttons(key));
}

void pressPlaylist(const char *key)
{
    frmPlaylist &playlist = forms::frmPlaylist();
    playlist.tlbPlaylist_ButtonClick(playlist.tlbPlaylist.Buttons(key));
}

} // namespace support
