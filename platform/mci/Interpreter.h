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

    // nullptr selects the libmpv engine. Devices already open keep their engine.
    void setEngineFactory(EngineFactory *factory);
    EngineFactory *engineFactory() const { return factory_; }
    void closeAll();

  private:
    struct Device {
        unsigned id = 0;
        std::string name;
        std::unique_ptr<Engine> engine;
    };

    unsigned execute(const Command &command, std::string &reply);
    unsigned open(const Command &command, std::string &reply);
    unsigned close(const Command &command);
    unsigned play(const Command &command, Device &device);
    unsigned status(const Command &command, Device &device, std::string &reply);
    unsigned put(const Command &command, Device &device);
    unsigned where(const Command &command, Device &device, std::string &reply);
    Device *find(const std::string &name);

    std::vector<std::unique_ptr<Device>> devices_;
    unsigned nextId_ = 1;
    EngineFactory *factory_ = nullptr;
};

// The process's interpreter, the one mci::transport() gives unless a test replaced it.
Interpreter &interpreter();

} // namespace mci
