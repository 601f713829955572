#pragma once

// The desktop session's services as one: what the program does when it ends, and what tests do
// to start afresh.
namespace session
{

// The program is ending: every service gives back what it asked the session for, now.
void endSession();

// Every service released and its seam taken away, as at program start.
void resetSession();

} // namespace session
