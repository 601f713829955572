#pragma once

#include "mci/Transport.h"

#include <QStringList>

#include <map>
#include <string>
#include <vector>

namespace support
{

// Stands in for the media service while it lives: keeps every command with the reply size it
// was sent with, and answers it from a script or hands it on to a real transport. It puts
// itself in place when made and the transport before it back when destroyed.
class MediaRecorder final : public mci::Transport
{
  public:
    enum class Answering {
        FromScript,    // `answers`; code 0 and an empty reply for anything not scripted
        ByInterpreter, // the process's command interpreter
        ByPrevious,    // the transport that was in place before this one
    };
    struct Answer {
        unsigned code{};
        std::string reply;
    };
    struct Sent {
        std::string command;
        int replySize{};
    };

    explicit MediaRecorder(Answering answering = Answering::FromScript);
    ~MediaRecorder() override;
    MediaRecorder(const MediaRecorder &) = delete;
    MediaRecorder &operator=(const MediaRecorder &) = delete;

    unsigned send(const std::string &command, std::string &reply, int replySize) override;
    std::string errorText(unsigned code) override;

    // The commands in the order sent, without the blanks that fill a fixed-width command up.
    QStringList commands() const;
    void clear() { sent.clear(); }

    static std::string withoutPadding(const std::string &command);

    // A scripted code whose error text is longer than any reply buffer.
    static constexpr unsigned LongTextCode = 999;

    std::vector<Sent> sent;
    std::map<std::string, Answer> answers; // by command without padding
  private:
    mci::Transport &answerer() const;

    Answering mAnswering;
    mci::Transport *mPrevious;
};

} // namespace support
