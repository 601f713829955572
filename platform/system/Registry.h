#pragma once

#include <functional>
#include <string>

namespace sys
{

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// Status codes of the registry probe, as the platform numbers them.
inline constexpr long RegistrySuccess = 0;
inline constexpr long RegistryKeyNotFound = 2;

// Whether the key `subKey` ("\"-separated, case ignored) exists under `root`: RegistrySuccess
// when it does, RegistryKeyNotFound otherwise. There is no registry here; the only keys the
// player asks about are the PDF reader's, so the keys below "Software\Adobe" exist exactly when
// the desktop can show PDF files (a handler registered for application/pdf, or a known PDF viewer
// on the PATH). "Software" and the root itself always exist.
long regKeyExists(RegistryRoot root, const std::string &subKey);

// Whether the desktop can show PDF files: the probe behind the reader's keys.
bool desktopHasPdfViewer();

// Test seam: a function that decides which keys exist instead of the desktop probe.
// An empty function puts the desktop probe back.
using RegistryAnswer = std::function<bool(RegistryRoot root, const std::string &subKey)>;
void setRegistryAnswer(RegistryAnswer answer);

} // namespace sys
