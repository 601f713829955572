#include "toolkit/ImageList.h"

#include <QApplication>
#include <QStyle>

namespace toolkit
{

void ImageList::add(const QString &key, const QString &themeName, int standardPixmap)
{
    QIcon fallback;
    if (qApp)
        fallback = QApplication::style()->standardIcon(
            static_cast<QStyle::StandardPixmap>(standardPixmap));
    mIcons.insert(key, QIcon::fromTheme(themeName, fallback));
}

} // namespace toolkit
