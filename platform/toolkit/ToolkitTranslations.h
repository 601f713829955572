#pragma once

#include <QLocale>

// The toolkit's own texts (dialog buttons, the file chooser, context menus) in the student's
// language, where the system has the toolkit's translations. The program's own texts are not
// translated: they stay as written.
namespace toolkit
{

// Installs the toolkit's translation for `locale` in place of any before; false (and the
// toolkit's texts in English) when the system has none for it.
bool translateToolkitTexts(const QLocale &locale);

} // namespace toolkit
