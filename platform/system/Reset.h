#pragma once

namespace sys
{

// The system stand-in as the process starts, for tests: a fresh private temporary folder on
// the next use, the registry probe answered by the desktop, the real Windows folder.
void resetState();

} // namespace sys
