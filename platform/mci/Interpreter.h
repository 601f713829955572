#pragma once

#include "mci/Command.h"
#include "mci/Engine.h"
#include "mci/Transport.h"

#include <QRect>

#include <memory>
#include <string>
#include <vector>

namespace mci
{

// The command-string interpreter: a table of open devices by alias, each driven by an engine
// made by the current engine factory.
class Interpreter final : public Transport
{
  public:
    Interpreter();
    ~Interpreter() override;

    unsigned send(const std::string &command, std::string &reply, int replySize) override;
    std::string errorText(unsigned code) override;

    // The range of "set ... speed", in thousandths of the normal rate.
    static constexpr std::uint32_t kSlowestSpeed = 10;
    static constexpr std::uint32_t kLoudestVolume = 1000;
    static constexpr std::uint32_t kFastestSpeed = 100000;

    // nullptr selects the libmpv engine. Devices already open keep their engine.
    void setEngineFactory(EngineFactory *factory);
    EngineFactory *engineFactory() const { return mFactory; }
    void closeAll();

  private:
    struct Device {
        unsigned id = 0;
        std::string name;
        std::string file;
        std::string type; // "avivideo" or "mpegvideo"
        // "put ... destination" without a rectangle: the picture fills the window, whatever
        // size the window takes later.
        bool destinationIsWindow = false;
        std::unique_ptr<Engine> engine;
    };

    unsigned execute(const Command &command, std::string &reply);
    unsigned execute(const Command &command, Device &device, std::string &reply);
    unsigned everyDevice(const Command &command);
    unsigned open(const Command &command, std::string &reply);
    unsigned close(const Command &command);
    unsigned play(const Command &command, Device &device);
    unsigned cue(const Command &command, Device &device);
    unsigned set(const Command &command, Engine &engine);
    unsigned status(const Command &command, Device &device, std::string &reply);
    unsigned put(const Command &command, Device &device);
    unsigned where(const Command &command, Device &device, std::string &reply);
    unsigned info(const Command &command, Device &device, std::string &reply);
    unsigned capability(const Command &command, Device &device, std::string &reply);
    unsigned sysinfo(const Command &command, std::string &reply);
    Device *find(const std::string &name);
    unsigned freeId() const;

    std::vector<std::unique_ptr<Device>> mDevices;
    EngineFactory *mFactory = nullptr;
};

// The process's interpreter, the one mci::transport() gives unless a test replaced it.
Interpreter &interpreter();

} // namespace mci
