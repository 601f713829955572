#include "support/VideoWidget.h"

#include <QApplication>

namespace support
{

namespace
{

const QString kName = QStringLiteral("mciVideo");

} // namespace

QWidget *videoWidget(const QWidget *area)
{
    if (area)
        return area->findChild<QWidget *>(kName);
    for (QWidget *widget : QApplication::allWidgets())
        if (widget->objectName() == kName)
            return widget;
    return nullptr;
}

} // namespace support
