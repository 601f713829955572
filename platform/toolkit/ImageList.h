#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace toolkit
{

// Images addressed by string key. Icons come from the desktop's icon theme, with one of Qt's
// standard icons as the fallback.
class ImageList
{
  public:
    void add(const QString &key, const QString &themeName, int standardPixmap);
    QIcon icon(const QString &key) const { return mIcons.value(key); }
    bool contains(const QString &key) const { return mIcons.contains(key); }

  private:
    QHash<QString, QIcon> mIcons;
};

} // namespace toolkit
