#pragma once

#include <QAction>

#include <functional>

namespace toolkit
{

// A menu entry with a check mark that only the program sets (choosing it does not toggle it).
class MenuItem : public QAction
{
    Q_OBJECT
  public:
    MenuItem(const QString &caption, QObject *parent);

    bool Checked() const { return isChecked(); }
    void setChecked(bool checked);
    bool Enabled() const { return isEnabled(); }
    void onClick(std::function<void()> handler) { mClick = std::move(handler); }
    void click();

  private:
    std::function<void()> mClick;
};

} // namespace toolkit
