#pragma once

#include <QObject>
#include <QString>

// What the player is doing, as facts rather than as what the controls show: the loaded file,
// whether it plays, its length, its title, the session's speed and whether the transport may
// move it. Playback's home writes it together with the controls that show the same facts (the
// play button's image and the playing fact are set in one step), so every other reader (the
// desktop's media controls among them) reads it here instead of reading a button or a panel.
// It knows no window.
namespace playback
{

class State : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString file READ file NOTIFY fileChanged)
    Q_PROPERTY(bool playing READ playing NOTIFY playingChanged)
    Q_PROPERTY(int lengthMs READ lengthMs NOTIFY lengthChanged)
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
    Q_PROPERTY(int speed READ speed NOTIFY speedChanged)
    Q_PROPERTY(bool seekable READ seekable NOTIFY seekableChanged)

  public:
    static constexpr int kNormalSpeed = 1000;

    State() = default;

    // The file the controller has loaded; empty while nothing is loaded.
    const QString &file() const { return mFile; }
    bool loaded() const { return !mFile.isEmpty(); }
    // The play button offers to pause.
    bool playing() const { return mPlaying; }
    // The slider's range for the loaded video, in milliseconds (0 until a length is known).
    int lengthMs() const { return mLengthMs; }
    // The first status panel's text: the entry's title, or the path of a file opened alone.
    const QString &title() const { return mTitle; }
    // Thousandths of the normal rate.
    int speed() const { return mSpeed; }
    // "stop", "rewind" and "forward" are enabled.
    bool seekable() const { return mSeekable; }

    void setFile(const QString &file);
    void setPlaying(bool playing);
    void setLengthMs(int lengthMs);
    void setTitle(const QString &title);
    void setSpeed(int speed);
    void setSeekable(bool seekable);
    // As the process starts: nothing loaded, at the normal speed.
    void reset();

  signals:
    void fileChanged();
    void playingChanged();
    void lengthChanged();
    void titleChanged();
    void speedChanged();
    void seekableChanged();

  private:
    QString mFile;
    bool mPlaying = false;
    int mLengthMs = 0;
    QString mTitle;
    int mSpeed = kNormalSpeed;
    bool mSeekable = false;
};

// The player's one state, for reading. Only playback's home writes it.
const State &state();

} // namespace playback
