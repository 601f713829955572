#include "common/Choosers.h"

#include "toolkit/WindowHandles.h"

#include <QDir>
#include <QFileDialog>

namespace modGlobals
{

namespace
{

std::function<QString(const ChooserCall &)> &chooserHandler()
{
    static std::function<QString(const ChooserCall &)> handler;
    return handler;
}

// "*.mpg" becomes "*.[mM][pP][gG]": the course data's names come in any letter case.
QString anyCasePattern(const QString &pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += u'[' + c.toLower() + c.toUpper() + u']';
        else
            result += c;
    }
    return result;
}

QWidget *ownerWidget(long long hwnd)
{
    return hwnd == 0 ? nullptr : toolkit::widgetOf(hwnd);
}

std::function<long long()> &folderBrowserOwner()
{
    static std::function<long long()> lookup;
    return lookup;
}

long long playlistWindow()
{
    return folderBrowserOwner() ? folderBrowserOwner()() : 0;
}

QString runFileDialog(const ChooserCall &call)
{
    if (chooserHandler())
        return chooserHandler()(call);
    QFileDialog dialog(ownerWidget(call.owner), call.title, call.initialFolder);
    dialog.setNameFilters(NameFiltersOf(call.filter));
    // The display texts already name their patterns; the case-blind forms would only clutter them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (call.kind == ChooserKind::SaveFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst()).trimmed();
}

} // namespace

QStringList NameFiltersOf(const QString &filter)
{
    QString closed = filter;
    if (!closed.endsWith(u'|'))
        closed += u'|';
    const QStringList parts = closed.split(u'|');
    QStringList filters;
    // Pairs up to the empty piece after the closing "|". The display text is kept as given; Qt
    // takes the patterns from the last parentheses, which HideNameFilterDetails keeps out of view.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString display = parts[i].trimmed();
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << anyCasePattern(pattern.trimmed());
        filters << display + QLatin1String(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QString ShowOpenFileDialog(long long ownerHwnd, const QString &filter, const QString &title,
                           const QString &initialFolder)
{
    return runFileDialog({ChooserKind::OpenFile, ownerHwnd, filter, title, initialFolder});
}

QString ShowSaveFileDialog(long long ownerHwnd, const QString &filter, const QString &title,
                           const QString &initialFolder)
{
    return runFileDialog({ChooserKind::SaveFile, ownerHwnd, filter, title, initialFolder});
}

QString BrowseForFolder(const QString &initialFolder, const QString &title)
{
    const ChooserCall call{ChooserKind::Folder, playlistWindow(), QString(), title, initialFolder};
    if (chooserHandler())
        return chooserHandler()(call);
    const QString chosen = QFileDialog::getExistingDirectory(
        ownerWidget(call.owner), title, initialFolder, QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(chosen);
}

void setFolderBrowserOwner(std::function<long long()> lookup)
{
    folderBrowserOwner() = std::move(lookup);
}

void setChooserHandler(std::function<QString(const ChooserCall &)> answer)
{
    chooserHandler() = std::move(answer);
}

} // namespace modGlobals
