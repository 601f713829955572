#include "toolkit/ProgressBar.h"

namespace toolkit
{

ProgressBar::ProgressBar(QWidget *parent)
    : QProgressBar(parent), Control(static_cast<QProgressBar &>(*this)), mValue(value())
{
    setTextVisible(false);
}

void ProgressBar::setMax(int max)
{
    setMaximum(max);
    // A new range that leaves the value out resets it to "no progress", as the bar does.
    if (mValue < minimum() - 1 || mValue > maximum())
        mValue = minimum() - 1;
}

void ProgressBar::setValue(int value)
{
    const bool noRange = minimum() == 0 && maximum() == 0;
    if (!noRange && (value < minimum() || value > maximum()))
        return;
    mValue = value;
    if (mShowing)
        return;
    // The bar's own setter paints at once; it runs once the steps in progress are done, for
    // the last of them. A bar destroyed before then drops the call with it.
    mShowing = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            mShowing = false;
            QProgressBar::setValue(mValue);
        },
        Qt::QueuedConnection);
}

} // namespace toolkit
