#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// What the desktop's media controls see of the player, apart from the bus: the player reports
// its state and this object derives what the controls may do and what they show, and tells of
// every property that has changed.
namespace session
{

// The player as a student sees it.
struct PlayerState {
    bool loaded = false;   // a video is loaded
    bool playing = false;  // it plays (the play button offers to pause)
    bool playable = false; // the play button would start a video
    bool hasNext = false;  // the playlist has an entry after the current one
    bool hasPrevious = false;
    bool seekable = false; // the transport's jumps and the slider work
    QString title;
    QString file; // the video's path
    qint64 lengthMs = 0;
    double rate = 1;

    bool operator==(const PlayerState &) const = default;
};

class MediaControls : public QObject
{
    Q_OBJECT
  public:
    const PlayerState &state() const { return mState; }
    // Takes the player's state; propertiesChanged tells what it changed, if anything.
    void setState(const PlayerState &state);

    QString playbackStatus() const; // "Playing", "Paused" or "Stopped"
    bool canPlay() const { return mState.playable; }
    bool canPause() const { return mState.loaded; }
    bool canSeek() const { return mState.loaded && mState.seekable; }
    bool canGoNext() const { return mState.hasNext; }
    bool canGoPrevious() const { return mState.hasPrevious; }
    // The loaded video's track: its object path changes with every video loaded.
    QString trackId() const;
    QVariantMap metadata() const;
    // Every property of the player that can change, by its name on the bus.
    QVariantMap properties() const;

    // Back to nothing loaded, without telling anyone.
    void reset();

  signals:
    void propertiesChanged(const QVariantMap &changed);

  private:
    PlayerState mState;
    quint64 mTrack = 0;
};

// The one set of media controls of the process.
MediaControls &mediaControls();

} // namespace session
