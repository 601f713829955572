#pragma once

#include <QWidget>

namespace support
{

// The widget a media device draws its picture in: the one inside `area`, or anywhere when no
// area is given; nullptr when there is none.
QWidget *videoWidget(const QWidget *area = nullptr);

} // namespace support
