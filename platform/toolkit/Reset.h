#pragma once

namespace toolkit
{

// The toolkit as the process starts, for tests: no scripted message boxes, the real program
// folder, and window handles numbered from the start once no widget holds one.
void resetState();

} // namespace toolkit
