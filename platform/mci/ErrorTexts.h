#pragma once

#include <string>

namespace mci
{

// Our own plain-English text for an error code; empty for codes that have no meaning.
std::string errorTextFor(unsigned code);

} // namespace mci
