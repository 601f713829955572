#pragma once

#include "common/ButtonCaptions.h"
#include "common/ErrorReport.h"
#include "common/Helpers.h"
#include "media/clsMCI.h"

#include <QString>

#include <memory>

// The shared module: the process-wide state every window reads and writes, and the helpers.
namespace modGlobals
{

// The title of every message box of the player.
inline const QString kAppTitle = QStringLiteral("Vorlund - IT Certification Videos v2.1.0");

inline std::unique_ptr<clsMCI> gMCI;
inline QString gMediaRoot;
inline QString gScreenRes;
inline bool gLowRes = false;
inline bool gReaderInstalled = false;
inline bool gFullScreen = false;
inline bool gSingleFile = false;
inline bool gKeepPlaylist = false;
inline bool gIntroFromFullScreen = false;
inline QString gLastFolder;
inline QString gSelectedKey;

// The user's temporary folder with its trailing separator; empty when there is none.
QString GetTempFolder();
// 0 when the key exists under HKEY_LOCAL_MACHINE, the probe's non-zero status otherwise.
long RegKeyExists(const QString &subKey);

} // namespace modGlobals
