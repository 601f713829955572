#include "toolkit/StatusBar.h"

#include "failure/Failure.h"

#include <QHBoxLayout>

namespace toolkit
{

void StatusPanel::setWidth(double twips)
{
    mWidth = twips;
    mLabel.setFixedWidth(toPixelsX(qRound(twips)));
}

void StatusPanel::setVisible(bool visible)
{
    mVisible = visible;
    mLabel.setVisible(visible);
}

StatusBar::StatusBar(QWidget *parent, int panels)
    : QWidget(parent), Control(static_cast<QWidget &>(*this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < panels; ++i) {
        auto *label = new QLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        layout->addWidget(label, i == panels - 1 ? 1 : 0);
        mPanels.push_back(std::make_unique<StatusPanel>(*label));
    }
}

StatusPanel &StatusBar::Panels(int index)
{
    if (index < 1 || index > static_cast<int>(mPanels.size()))
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
    return *mPanels[index - 1];
}

} // namespace toolkit
