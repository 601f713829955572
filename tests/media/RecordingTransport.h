#pragma once

#include "mci/Transport.h"

#include <map>
#include <string>
#include <vector>

// Stands in for the media service: keeps every command with the reply size it was sent with,
// and answers from a script (code 0 and an empty reply for anything not scripted).
class RecordingTransport : public mci::Transport
{
  public:
    struct Answer {
        unsigned code{};
        std::string reply;
    };
    struct Sent {
        std::string command;
        int replySize{};
    };

    unsigned send(const std::string &command, std::string &reply, int replySize) override
    {
        sent.push_back({command, replySize});
        const auto scripted = answers.find(withoutPadding(command));
        const Answer answer = scripted == answers.end() ? Answer{} : scripted->second;
        reply = replySize > 0 ? answer.reply.substr(0, replySize - 1) : std::string();
        return answer.code;
    }

    std::string errorText(unsigned code) override
    {
        if (code == LongTextCode)
            return std::string(300, 'x');
        return "error " + std::to_string(code);
    }

    // The commands without the blanks that fill a fixed-width command up.
    std::vector<std::string> commands() const
    {
        std::vector<std::string> texts;
        for (const Sent &s : sent)
            texts.push_back(withoutPadding(s.command));
        return texts;
    }

    static std::string withoutPadding(const std::string &command)
    {
        const auto last = command.find_last_not_of(' ');
        return last == std::string::npos ? std::string() : command.substr(0, last + 1);
    }

    static constexpr unsigned LongTextCode = 999;

    std::vector<Sent> sent;
    std::map<std::string, Answer> answers;
};
