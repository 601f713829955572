#include "toolkit/Slider.h"

#include "toolkit/Handlers.h"

#include "failure/Failure.h"

#include <QToolTip>

namespace toolkit
{

Slider::Slider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent), Control(static_cast<QSlider &>(*this))
{
    setMinimum(0);
    setMaximum(10);
    connect(this, &QSlider::actionTriggered, this, [this] {
        // The new value is applied after the action; report it then.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (mScroll)
                    runHandler(mScroll);
            },
            Qt::QueuedConnection);
    });
}

void Slider::setMax(int max)
{
    if (max < 0)
        throw pellin::Failure(pellin::failure::InvalidPropertyValue);
    setMaximum(max);
}

void Slider::setValue(int value)
{
    if (value < minimum() || value > maximum())
        throw pellin::Failure(pellin::failure::InvalidPropertyValue);
    QSlider::setValue(value);
}

void Slider::setText(const QString &text)
{
    mText = text;
    setToolTip(text);
    if (isSliderDown())
        QToolTip::showText(QCursor::pos(), text, this);
}

} // namespace toolkit
