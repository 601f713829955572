#include "toolkit/KeyCodes.h"

#include <QKeyEvent>

namespace toolkit
{

int characterCode(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_Escape)
        return 27;
    if ((event.modifiers() & Qt::ControlModifier) && event.key() >= Qt::Key_A &&
        event.key() <= Qt::Key_Z)
        return event.key() - Qt::Key_A + 1;
    return event.text().isEmpty() ? 0 : event.text().at(0).unicode();
}

} // namespace toolkit
