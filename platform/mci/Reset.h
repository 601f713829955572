#pragma once

namespace mci
{

// The media command layer as the process starts, for tests: every device closed, the real
// transport and engine, and the audio output left for the first file with sound to find.
void resetState();

} // namespace mci
