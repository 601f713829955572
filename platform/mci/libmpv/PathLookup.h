#pragma once

#include <QString>

namespace mci
{

// The file as named when it exists; otherwise the first match found component by component
// ignoring letter case (course data was made for a file system that ignores case); otherwise
// the name unchanged.
QString existingPathIgnoringCase(const QString &path);

} // namespace mci
