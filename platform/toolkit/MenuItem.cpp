#include "toolkit/MenuItem.h"

#include "toolkit/Handlers.h"

namespace toolkit
{

MenuItem::MenuItem(const QString &caption, QObject *parent) : QAction(caption, parent)
{
    connect(this, &QAction::triggered, this, [this](bool checked) {
        if (isCheckable())
            QAction::setChecked(!checked);
        runHandler([this] { click(); });
    });
}

void MenuItem::setChecked(bool checked)
{
    setCheckable(true);
    QAction::setChecked(checked);
}

void MenuItem::click()
{
    if (mClick)
        mClick();
}

} // namespace toolkit
