#pragma once

#include <string>

namespace mci
{

// The process-wide media command-string service: send a command, get a code (0 = success)
// and, when replySize > 0, a reply of at most replySize - 1 characters.
class Transport
{
  public:
    virtual ~Transport() = default;
    virtual unsigned send(const std::string &command, std::string &reply, int replySize) = 0;
    virtual std::string errorText(unsigned code) = 0;
};

// The transport everyone uses: the interpreter unless a test has put its own in place.
Transport &transport();
// Test seam: nullptr puts the interpreter back. The caller keeps ownership.
void setTransport(Transport *replacement);

} // namespace mci
