#pragma once

#include "common/ButtonCaptions.h"
#include "common/ErrorReport.h"
#include "common/Helpers.h"
#include "common/ScreenQuery.h"
#include "media/clsMCI.h"

#include <QString>

#include <memory>

// The shared module: the process-wide state every window reads and writes, and the helpers.
// These variables, the loaded windows and the platform's seams are all the state the process
// has; ResetState puts every one of them back as the program starts.
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
// The playback speed chosen for this session in thousandths of the normal rate; every video
// opened or moved plays at it.
inline constexpr int kNormalSpeed = 1000;
inline int gPlaySpeed = kNormalSpeed;

// Unloads every window and puts every shared variable, the media devices and every seam of the
// platform stand-ins (message boxes, choosers, registry, shell, program folder, media transport
// and engine, failure report) back to their state at program start. Test fixtures start here.
void ResetState();

// The user's private temporary folder with its trailing separator; empty when there is none.
QString GetTempFolder();
// 0 when the key exists under HKEY_LOCAL_MACHINE, the probe's non-zero status otherwise.
long RegKeyExists(const QString &subKey);

} // namespace modGlobals
