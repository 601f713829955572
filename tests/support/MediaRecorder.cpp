#include "support/MediaRecorder.h"

#include "mci/Interpreter.h"

namespace support
{

MediaRecorder::MediaRecorder(Answering answering)
    : mAnswering(answering), mPrevious(&mci::transport())
{
    mci::setTransport(this);
}

MediaRecorder::~MediaRecorder()
{
    mci::setTransport(mPrevious == &mci::interpreter() ? nullptr : mPrevious);
}

mci::Transport &MediaRecorder::answerer() const
{
    return mAnswering == Answering::ByPrevious ? *mPrevious : mci::interpreter();
}

unsigned MediaRecorder::send(const std::string &command, std::string &reply, int replySize)
{
    sent.push_back({command, replySize});
    if (mAnswering != Answering::FromScript)
        return answerer().send(command, reply, replySize);
    const auto scripted = answers.find(withoutPadding(command));
    const Answer answer = scripted == answers.end() ? Answer{} : scripted->second;
    reply = replySize > 0 ? answer.reply.substr(0, replySize - 1) : std::string();
    return answer.code;
}

std::string MediaRecorder::errorText(unsigned code)
{
    if (mAnswering != Answering::FromScript)
        return answerer().errorText(code);
    if (code == LongTextCode)
        return std::string(300, 'x');
    return "error " + std::to_string(code);
}

QStringList MediaRecorder::commands() const
{
    QStringList texts;
    for (const Sent &s : sent)
        texts << QString::fromStdString(withoutPadding(s.command));
    return texts;
}

std::string MediaRecorder::withoutPadding(const std::string &command)
{
    const auto last = command.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : command.substr(0, last + 1);
}

} // namespace support
