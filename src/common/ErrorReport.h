#pragma once

#include "failure/Failure.h"

#include <QString>

#include <utility>

namespace modGlobals
{

// Armed in our build: with it off a handler's failure would end the program.
inline constexpr bool ErrorTrapping = true;

// The failure report box: six lines, OK button, stop icon. Never fails itself.
void ReportError(int number, const QString &description);
QString ErrorReportText(int number, const QString &description);

// Restores a minimised window of the player, or brings it to the front.
void ActivateWindow(long long hwnd);

// The handler convention: run the body; a failure is reported and the handler is left (the
// failing step is never run again). False when the body failed.
template <class Body> bool Trap(Body &&body)
{
    if constexpr (ErrorTrapping) {
        try {
            std::forward<Body>(body)();
        } catch (const pellin::Failure &failure) {
            ReportError(failure.number(), QString::fromStdString(failure.description()));
            return false;
        }
    } else {
        std::forward<Body>(body)();
    }
    return true;
}

// A step whose failure is ignored: the caller goes on with its next step.
template <class Step> void Ignore(Step &&step)
{
    try {
        std::forward<Step>(step)();
    } catch (const pellin::Failure &) {
    }
}

} // namespace modGlobals
