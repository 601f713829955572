#include "system/Registry.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <array>

namespace sys
{

namespace
{

RegistryAnswer &scriptedAnswer()
{
    static RegistryAnswer answer;
    return answer;
}

QStringList keyPath(const std::string &subKey)
{
    return QString::fromStdString(subKey).split(u'\\', Qt::SkipEmptyParts);
}

bool sameName(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

bool pdfHandlerRegistered()
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"),
                          QStringLiteral("application/pdf")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool desktopHasPdfViewer()
{
    static constexpr std::array viewers{"evince",   "okular", "mupdf",  "qpdfview",
                                        "zathura",  "xpdf",   "atril",  "xreader",
                                        "epdfview", "papers", "sioyek", "gv"};
    for (const char *viewer : viewers) {
        if (!QStandardPaths::findExecutable(QLatin1String(viewer)).isEmpty())
            return true;
    }
    return pdfHandlerRegistered();
}

long regKeyExists(RegistryRoot root, const std::string &subKey)
{
    if (const RegistryAnswer &answer = scriptedAnswer())
        return answer(root, subKey) ? RegistrySuccess : RegistryKeyNotFound;

    const QStringList path = keyPath(subKey);
    if (path.isEmpty() || (path.size() == 1 && sameName(path[0], "Software")))
        return RegistrySuccess;
    const bool readerKey =
        path.size() >= 2 && sameName(path[0], "Software") && sameName(path[1], "Adobe");
    return readerKey && desktopHasPdfViewer() ? RegistrySuccess : RegistryKeyNotFound;
}

void setRegistryAnswer(RegistryAnswer answer)
{
    scriptedAnswer() = std::move(answer);
}

} // namespace sys
