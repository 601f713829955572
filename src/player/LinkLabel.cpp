#include "player/LinkLabel.h"

#include "toolkit/Handlers.h"

#include <QMouseEvent>

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::click()
{
    if (mClick)
        mClick();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // A press that is dragged off the label and released elsewhere is no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        toolkit::runHandler([this] { click(); });
        return;
    }
    QLabel::mouseReleaseEvent(event);
}
