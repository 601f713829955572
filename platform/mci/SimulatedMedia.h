#pragma once

#include "mci/Engine.h"

#include <QHash>
#include <QList>
#include <QSize>
#include <QString>

#include <vector>

namespace mci
{

class SimulatedEngine;

// Scripted media for tests of the windows: files with a length and a picture size (or that
// cannot be played), and a clock that moves only when the test advances it. While selected,
// every open of the command layer is served from this script instead of libmpv; the same
// commands, codes and replies apply.
class SimulatedMedia final : public EngineFactory
{
  public:
    SimulatedMedia();
    ~SimulatedMedia() override;
    SimulatedMedia(const SimulatedMedia &) = delete;
    SimulatedMedia &operator=(const SimulatedMedia &) = delete;

    // Names are matched ignoring letter case; scripted files need not exist on disk.
    void addFile(const QString &path, qint64 lengthMs, QSize size = QSize(320, 240));
    void addUnplayableFile(const QString &path);

    // Moves the clock on by `ms`: every playing device moves forward by that much times its
    // speed; a device that reaches its end stops there.
    void advance(qint64 ms);
    qint64 elapsed() const { return mElapsed; }
    int openDevices() const { return static_cast<int>(mEngines.size()); }
    // The volume of each open device, 0 to 1000, in the order they were opened.
    QList<int> volumes() const;

    std::unique_ptr<Engine> create() override;

  private:
    friend class SimulatedEngine;
    struct Script {
        qint64 length = 0;
        QSize size;
        bool playable = true;
    };
    const Script *find(const QString &path) const;

    QHash<QString, Script> mFiles; // by lower-cased name
    std::vector<SimulatedEngine *> mEngines;
    qint64 mElapsed = 0;
};

// Serve every later open from the script / from libmpv again. Both close all open devices.
void useSimulatedEngine(SimulatedMedia &media);
void useLibmpvEngine();

} // namespace mci
