#pragma once

#include "mci/Transport.h"

#include <QString>

#include <string>

// One command through the process's transport, as the media controller sends it.
struct Sent {
    unsigned code = 0;
    QString reply;
};

inline Sent send(const QString &command, int replySize = 128)
{
    std::string reply;
    const unsigned code = mci::transport().send(command.toStdString(), reply, replySize);
    return {code, QString::fromStdString(reply)};
}

inline Sent sendBytes(const std::string &command, int replySize = 128)
{
    std::string reply;
    const unsigned code = mci::transport().send(command, reply, replySize);
    return {code, QString::fromStdString(reply)};
}

inline QString reply(const QString &command)
{
    return send(command).reply;
}
