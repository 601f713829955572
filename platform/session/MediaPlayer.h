#pragma once

#include <QString>

#include <functional>

// The player on the session bus for the desktop's media controls and media keys (the MPRIS 2
// interfaces, as org.mpris.MediaPlayer2.PellinPlayer). The state it shows comes from
// mediaControls(); what the desktop asks for goes to the player's actions. Without a session bus
// nothing is offered and the player runs as before.
namespace session
{

// What the desktop may ask of the player. Positions and offsets are in microseconds.
struct PlayerActions {
    std::function<void()> raise;
    std::function<void()> playPause;
    std::function<void()> play;
    std::function<void()> pause;
    std::function<void()> stop;
    std::function<void()> next;
    std::function<void()> previous;
    std::function<void(qint64 offset)> seek;
    std::function<void(const QString &trackId, qint64 position)> setPosition;
    std::function<qint64()> position;
};

// Offers the player on the bus: true when it is there now; a bus whose daemon has not answered
// yet gets it once it does. The bus's answer to the name the player asks for is not waited for:
// a bus that has stopped answering leaves the player as it is.
bool startMediaPlayer(PlayerActions actions, const QString &identity, const QString &desktopEntry);
// Takes the player off the bus again.
void stopMediaPlayer();
// The position jumped (to `position`, in microseconds): the desktop's controls hear of it.
void announceSeek(qint64 position);

} // namespace session
