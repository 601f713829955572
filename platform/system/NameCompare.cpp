#include "system/NameCompare.h"

#include <QByteArrayView>
#include <QString>

namespace sys
{

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    const QByteArrayView first(a.data(), qsizetype(a.size()));
    const QByteArrayView second(b.data(), qsizetype(b.size()));
    if (first == second)
        return true;
    if (!first.isValidUtf8() || !second.isValidUtf8())
        return false;
    return QString::fromUtf8(first).compare(QString::fromUtf8(second), Qt::CaseInsensitive) == 0;
}

} // namespace sys
