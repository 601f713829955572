#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class QWidget;

namespace mci
{

enum class Mode { Stopped, Playing, Paused };

// What the command layer needs of something that plays one file. Positions are milliseconds.
// The command layer has checked every range before it calls; the engine only plays.
class Engine
{
  public:
    virtual ~Engine() = default;

    // Loads the file and returns once its length is known (0) or with an error code. With a
    // parent the engine draws into a child widget of it; without one it plays no picture.
    virtual unsigned open(const QString &file, QWidget *parent, bool mpegDevice) = 0;

    virtual qint64 length() = 0;
    virtual qint64 position() = 0;
    virtual Mode mode() = 0;
    virtual QSize videoSize() = 0; // empty when the file has no picture

    // Starts playing at from (the current position when empty) and holds at to (the end when
    // empty): the mode is Playing at once, and Stopped with position == to once it is reached.
    virtual void play(std::optional<qint64> from, std::optional<qint64> to) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    virtual void seek(qint64 position) = 0; // stopped afterwards
    // The rate of every later play, 1 being normal, with the sound kept at its pitch; it holds
    // until the device closes.
    virtual void setSpeed(double rate) = 0;
    // The loudness of the sound from 0 (silent) to 1000 (as recorded); it holds until the device
    // closes.
    virtual void setVolume(int thousandths) = 0;
    virtual int volume() = 0;
    // The file could no longer be read while the device played it (cut short, removed, made
    // unreadable, its disc taken away): the device has stopped, and it is a failure, not the end.
    virtual bool readFailed() { return false; }

    // The child widget the picture is drawn in; nullptr without a parent.
    virtual QWidget *videoWidget() = 0;
    // The part of the video widget the picture fills; an empty rectangle means all of it.
    virtual void setDestination(const QRect &rect) = 0;
    virtual QRect destination() const = 0;
};

// Creates the engine of each new device.
class EngineFactory
{
  public:
    virtual ~EngineFactory() = default;
    virtual std::unique_ptr<Engine> create() = 0;
    // Ends whatever the factory keeps between devices (engines it holds ready for the next open):
    // once it returns, nothing of a closed device runs any more.
    virtual void releaseAll() {}
};

} // namespace mci
