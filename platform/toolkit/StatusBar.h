#pragma once

#include "toolkit/Units.h"

#include <QLabel>
#include <QWidget>

#include <memory>
#include <vector>

namespace toolkit
{

class StatusPanel
{
  public:
    explicit StatusPanel(QLabel &label) : mLabel(label) {}
    QString Text() const { return mLabel.text(); }
    void setText(const QString &text) { mLabel.setText(text); }
    // What a screen reader tells of the panel besides its text, which it reads as the name.
    void setAccessibleDescription(const QString &text) { mLabel.setAccessibleDescription(text); }
    double Width() const { return mWidth; }
    void setWidth(double twips);
    bool Visible() const { return mVisible; }
    void setVisible(bool visible);

  private:
    QLabel &mLabel;
    double mWidth = 0;
    bool mVisible = true;
};

// Status bar with numbered panels (1-based).
class StatusBar : public QWidget, public Control
{
    Q_OBJECT
  public:
    StatusBar(QWidget *parent, int panels);
    StatusPanel &Panels(int index);

  private:
    std::vector<std::unique_ptr<StatusPanel>> mPanels;
};

} // namespace toolkit
