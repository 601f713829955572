#pragma once

#include "toolkit/ImageList.h"
#include "toolkit/Units.h"

#include <QAction>
#include <QToolBar>

#include <functional>
#include <map>
#include <memory>

namespace toolkit
{

class Toolbar;

// A toolbar button addressed by its key; its image is a key into the toolbar's image list.
class ToolbarButton
{
  public:
    ToolbarButton(Toolbar &owner, QAction &action, QString key);

    const QString &Key() const { return mKey; }
    const QString &Image() const { return mImage; }
    void setImage(const QString &imageKey);
    QString ToolTipText() const { return mAction.toolTip(); }
    // The tooltip is also the name a screen reader gives the button.
    void setToolTipText(const QString &text);
    bool Enabled() const { return mAction.isEnabled(); }
    void setEnabled(bool enabled) { mAction.setEnabled(enabled); }
    QAction &action() { return mAction; }

  private:
    Toolbar &mOwner;
    QAction &mAction;
    QString mKey;
    QString mImage;
};

class Toolbar : public QToolBar, public Control
{
    Q_OBJECT
  public:
    explicit Toolbar(QWidget *parent);

    void setImageList(const ImageList *images) { mImages = images; }
    const ImageList *imageList() const { return mImages; }

    // Buttons added later are reached with Tab and show when they have the focus.
    void setButtonsTakeFocus(bool takeFocus) { mButtonsTakeFocus = takeFocus; }

    ToolbarButton &addButton(const QString &key, const QString &imageKey, const QString &toolTip);
    // The button of that key; an unknown key is failure 35601 "Element not found".
    ToolbarButton &Buttons(const QString &key);

    void onButtonClick(std::function<void(ToolbarButton &)> handler)
    {
        mHandler = std::move(handler);
    }
    void click(const QString &key);

  private:
    const ImageList *mImages = nullptr;
    bool mButtonsTakeFocus = false;
    std::map<QString, std::unique_ptr<ToolbarButton>> mButtons;
    std::function<void(ToolbarButton &)> mHandler;
};

} // namespace toolkit
