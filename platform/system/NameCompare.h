#pragma once

#include <string_view>

namespace sys
{

// Whether two names of the file system or of an INI file are the same ignoring letter case.
// Only names that are both valid UTF-8 are compared as text (Unicode case folding); a name that
// is not valid UTF-8 matches nothing but the very same bytes, so two different such names never
// stand for one another.
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace sys
