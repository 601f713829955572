#pragma once

#include "toolkit/Units.h"

#include <QSlider>

#include <functional>

namespace toolkit
{

// Position slider: minimum 0, a maximum below 0 is failure 380, a stored selection start, a text
// shown as tooltip while dragging, and a scroll event for changes the user makes.
class Slider : public QSlider, public Control
{
    Q_OBJECT
  public:
    explicit Slider(QWidget *parent);

    int Max() const { return maximum(); }
    void setMax(int max);
    int Value() const { return value(); }
    void setValue(int value);
    int SelStart() const { return mSelStart; }
    void setSelStart(int start) { mSelStart = start; }
    QString Text() const { return mText; }
    void setText(const QString &text);
    void onScroll(std::function<void()> handler) { mScroll = std::move(handler); }

  private:
    int mSelStart = 0;
    QString mText;
    std::function<void()> mScroll;
};

} // namespace toolkit
