#include "toolkit/Application.h"

#include "failure/Failure.h"

#include <clocale>

namespace toolkit
{

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // The playback engine refuses to start under a numeric locale other than C.
    std::setlocale(LC_NUMERIC, "C");
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const pellin::Failure &failure) {
        if (mReporter)
            mReporter(failure.number(), QString::fromStdString(failure.description()));
    } catch (const std::exception &error) {
        if (mReporter)
            mReporter(-1, QString::fromUtf8(error.what()));
    }
    return true;
}

} // namespace toolkit
