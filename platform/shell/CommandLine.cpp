#include "shell/CommandLine.h"

namespace shell
{

namespace
{

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QStringList splitParameters(const QString &parameters)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    const qsizetype length = parameters.size();

    qsizetype i = 0;
    while (i < length) {
        const QChar c = parameters.at(i);
        if (!inQuotes && isBlank(c)) {
            if (inArgument) {
                arguments.append(current);
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == u'\\') {
            qsizetype backslashes = 0;
            while (i < length && parameters.at(i) == u'\\') {
                ++backslashes;
                ++i;
            }
            if (i < length && parameters.at(i) == u'"') {
                current.append(QString(backslashes / 2, u'\\'));
                if (backslashes % 2 == 1) {
                    current.append(u'"');
                    ++i;
                }
            } else {
                current.append(QString(backslashes, u'\\'));
            }
            continue;
        }
        if (c == u'"') {
            if (inQuotes && i + 1 < length && parameters.at(i + 1) == u'"') {
                current.append(u'"');
                i += 2;
                continue;
            }
            inQuotes = !inQuotes;
            ++i;
            continue;
        }
        current.append(c);
        ++i;
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

} // namespace shell
