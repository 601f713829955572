#include "toolkit/Toolbar.h"

#include "toolkit/Handlers.h"

#include "failure/Failure.h"

namespace toolkit
{

ToolbarButton::ToolbarButton(Toolbar &owner, QAction &action, QString key)
    : mOwner(owner), mAction(action), mKey(std::move(key))
{
}

void ToolbarButton::setImage(const QString &imageKey)
{
    mImage = imageKey;
    if (mOwner.imageList())
        mAction.setIcon(mOwner.imageList()->icon(imageKey));
}

void ToolbarButton::setToolTipText(const QString &text)
{
    mAction.setToolTip(text);
    if (QWidget *widget = mOwner.widgetForAction(&mAction))
        widget->setAccessibleName(text);
}

Toolbar::Toolbar(QWidget *parent) : QToolBar(parent), Control(static_cast<QToolBar &>(*this))
{
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
}

ToolbarButton &Toolbar::addButton(const QString &key, const QString &imageKey,
                                  const QString &toolTip)
{
    QAction *action = addAction(key);
    if (mButtonsTakeFocus)
        widgetForAction(action)->setFocusPolicy(Qt::TabFocus);
    auto button = std::make_unique<ToolbarButton>(*this, *action, key);
    button->setImage(imageKey);
    button->setToolTipText(toolTip);
    ToolbarButton &ref = *button;
    mButtons[key] = std::move(button);
    connect(action, &QAction::triggered, this, [this, key] { runHandler([&] { click(key); }); });
    return ref;
}

ToolbarButton &Toolbar::Buttons(const QString &key)
{
    const auto it = mButtons.find(key);
    if (it == mButtons.end())
        throw pellin::Failure(pellin::failure::ElementNotFound);
    return *it->second;
}

void Toolbar::click(const QString &key)
{
    ToolbarButton &button = Buttons(key);
    if (mHandler && button.Enabled())
        mHandler(button);
}

} // namespace toolkit
