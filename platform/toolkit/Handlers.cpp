#include "toolkit/Handlers.h"

#include "failure/Failure.h"

#include <QtGlobal>

namespace toolkit
{

namespace
{

// The number the report shows for an error that is no failure of the program's own.
constexpr int kUnexpectedError = -1;

FailureReporter &installedReporter()
{
    static FailureReporter reporter;
    return reporter;
}

} // namespace

void setFailureReporter(FailureReporter reporter)
{
    installedReporter() = std::move(reporter);
}

void reportFailure(int number, const QString &description)
{
    if (installedReporter())
        installedReporter()(number, description);
    else
        qWarning("Unhandled failure %d: %s", number, qUtf8Printable(description));
}

void reportEscaped(std::exception_ptr escaped) noexcept
{
    try {
        try {
            std::rethrow_exception(escaped);
        } catch (const pellin::Failure &failure) {
            reportFailure(failure.number(), QString::fromStdString(failure.description()));
        } catch (const std::exception &error) {
            reportFailure(kUnexpectedError, QString::fromUtf8(error.what()));
        } catch (...) {
            reportFailure(kUnexpectedError, QStringLiteral("Unexpected error"));
        }
    } catch (...) {
        // The report itself failed: nothing is left that could tell the student.
    }
}

} // namespace toolkit
