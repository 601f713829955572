#include "mci/Transport.h"
#include "mci/Interpreter.h"

namespace mci
{
namespace
{

Transport *replacement = nullptr;

} // namespace

Interpreter &interpreter()
{
    static Interpreter instance;
    return instance;
}

Transport &transport()
{
    return replacement ? *replacement : interpreter();
}

void setTransport(Transport *transport)
{
    replacement = transport;
}

} // namespace mci
