#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace pellin
{
class Failure;
}

namespace toolkit
{

// Who hears of a failure that an event handler did not handle itself. The program installs its
// failure report; without one the failure goes to Qt's warning output.
using FailureReporter = std::function<void(int number, const QString &description)>;
void setFailureReporter(FailureReporter reporter);
void reportFailure(int number, const QString &description);

// Reports whatever a handler let escape: a failure with its number and description, anything
// else as an unexpected error. Call it from inside a catch block.
void reportEscaped(std::exception_ptr escaped) noexcept;

// Runs an event handler on behalf of Qt. Every control and window event goes through here, so
// that a failure the handler does not handle ends the event with a report and never crosses
// Qt's own code (which Qt leaves undefined).
template <class Handler, class... Args> void runHandler(Handler &&handler, Args &&...args) noexcept
{
    try {
        std::forward<Handler>(handler)(std::forward<Args>(args)...);
    } catch (...) {
        reportEscaped(std::current_exception());
    }
}

} // namespace toolkit
