#pragma once

#include <QString>
#include <QStringList>

namespace shell
{

// Splits a parameter text into arguments by the classic command-line rules: blanks and tabs
// separate, double quotes group (two quotes inside a quoted part give one literal quote), and
// backslashes are literal unless they precede a quote. Nothing else is special: ";", "|", "$"
// and the like stay ordinary characters.
QStringList splitParameters(const QString &parameters);

} // namespace shell
