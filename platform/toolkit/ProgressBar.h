#pragma once

#include "toolkit/Units.h"

#include <QProgressBar>

namespace toolkit
{

// A progress bar that may be stepped many times in a row: each value is taken at once and the
// bar shows the latest at the next turn of the event loop, so a loop of steps costs one paint,
// not one per step.
class ProgressBar : public QProgressBar, public Control
{
  public:
    explicit ProgressBar(QWidget *parent);

    int Max() const { return maximum(); }
    void setMax(int max);
    int Value() const { return mValue; }
    // A value outside the range is ignored, as the bar itself ignores it.
    void setValue(int value);

  private:
    int mValue;
    bool mShowing = false;
};

} // namespace toolkit
