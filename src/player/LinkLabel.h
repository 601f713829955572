#pragma once

#include <QLabel>

#include <functional>

// A label that acts as a link: its own pointer while the mouse is over it, and a click handler
// that runs when the left button is released over it.
class LinkLabel : public QLabel
{
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget *parent);

    void onClick(std::function<void()> handler) { mClick = std::move(handler); }
    void click();

  protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    std::function<void()> mClick;
};
