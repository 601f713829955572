#pragma once

#include "toolkit/Units.h"

#include <QProgressBar>

namespace toolkit
{

class ProgressBar : public QProgressBar, public Control
{
  public:
    explicit ProgressBar(QWidget *parent)
        : QProgressBar(parent), Control(static_cast<QProgressBar &>(*this))
    {
        setTextVisible(false);
    }
    int Max() const { return maximum(); }
    void setMax(int max) { setMaximum(max); }
    int Value() const { return value(); }
};

} // namespace toolkit
