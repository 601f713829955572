#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <utility>
#include <vector>

class QWidget;

namespace toolkit
{

// Keys and double-clicks that act anywhere in one window, whichever of its controls has the
// focus: a bound key never reaches the control (a slider does not step, a list does not move),
// except Space on a focused button, which presses that button. Keys are bound without modifiers;
// every handler runs through runHandler. The map lives as long as its window.
class KeyMap : public QObject
{
    Q_OBJECT
  public:
    explicit KeyMap(QWidget &window);

    // `key` is a Qt::Key.
    void bindKey(int key, std::function<void()> handler);
    // A double-click with the left button on `area` or on anything inside it, such as a picture
    // a media engine draws there, where both of its clicks hit this window.
    void bindDoubleClick(QWidget &area, std::function<void()> handler);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    QWidget &mWindow;
    std::map<int, std::function<void()>> mKeys;
    std::vector<std::pair<QWidget *, std::function<void()>>> mDoubleClicks;
    // The windows the last two mouse presses hit, anywhere in the program.
    QPointer<QWidget> mPreviousPress;
    QPointer<QWidget> mLastPress;
};

} // namespace toolkit
