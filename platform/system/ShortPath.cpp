#include "system/ShortPath.h"

namespace sys
{

std::size_t shortPathName(const std::string & /*longPath*/, std::string & /*shortPath*/)
{
    return 0;
}

} // namespace sys
