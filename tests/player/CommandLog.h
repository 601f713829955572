#pragma once

#include "mci/Transport.h"

#include <string>
#include <vector>

// Stands in for the media service: keeps every command and answers each with success and an
// empty reply.
class CommandLog : public mci::Transport
{
  public:
    CommandLog() { mci::setTransport(this); }
    ~CommandLog() override { mci::setTransport(nullptr); }
    CommandLog(const CommandLog &) = delete;
    CommandLog &operator=(const CommandLog &) = delete;

    unsigned send(const std::string &command, std::string &reply, int) override
    {
        commands.push_back(command);
        reply.clear();
        return 0;
    }
    std::string errorText(unsigned) override { return "The specified command was carried out."; }

    std::vector<std::string> commands;
};
