// libFuzzer entry: any byte string must parse to a code without crashing, and every code it
// gives must have a text.
#include "mci/Command.h"
#include "mci/ErrorTexts.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const mci::ParseResult result = mci::parseCommand(text);
    if (result.code != 0 && mci::errorTextFor(result.code).empty())
        std::abort();
    mci::parseInteger(text);
    return 0;
}
