#include "toolkit/Application.h"

#include "toolkit/Handlers.h"
#include "toolkit/ToolkitTranslations.h"

#include <clocale>

namespace toolkit
{

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    // The playback engine refuses to start under a numeric locale other than C.
    std::setlocale(LC_NUMERIC, "C");
    translateToolkitTexts(QLocale::system());
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportEscaped(std::current_exception());
    }
    return true;
}

} // namespace toolkit
