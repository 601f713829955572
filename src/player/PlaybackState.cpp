#include "player/PlaybackState.h"

namespace playback
{

namespace
{

// Sets `field` and tells of it only when the value changes.
template <class T, class Signal> void assign(State &state, T &field, const T &value, Signal signal)
{
    if (field == value)
        return;
    field = value;
    (state.*signal)();
}

} // namespace

void State::setFile(const QString &file)
{
    assign(*this, mFile, file, &State::fileChanged);
}

void State::setPlaying(bool playing)
{
    assign(*this, mPlaying, playing, &State::playingChanged);
}

void State::setLengthMs(int lengthMs)
{
    assign(*this, mLengthMs, lengthMs, &State::lengthChanged);
}

void State::setTitle(const QString &title)
{
    assign(*this, mTitle, title, &State::titleChanged);
}

void State::setSpeed(int speed)
{
    assign(*this, mSpeed, speed, &State::speedChanged);
}

void State::setSeekable(bool seekable)
{
    assign(*this, mSeekable, seekable, &State::seekableChanged);
}

void State::reset()
{
    setFile({});
    setPlaying(false);
    setLengthMs(0);
    setTitle({});
    setSpeed(kNormalSpeed);
    setSeekable(false);
}

} // namespace playback
