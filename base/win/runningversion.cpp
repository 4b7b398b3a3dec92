#include "base/win/runningversion.h"

#include <windows.h>

namespace {
TWindowsVersion Read() {
  TWindowsVersion v;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&info)) {
#pragma GCC diagnostic pop
    v.PlatformId = info.dwPlatformId;
    v.Major = info.dwMajorVersion;
    v.Minor = info.dwMinorVersion;
    v.ServiceText = info.szCSDVersion;  // terminated within its array by the system
  }
  return v;
}
}  // namespace

// A process's system does not change while it runs.
const TWindowsVersion& RunningWindowsVersion() {
  static const TWindowsVersion version = Read();
  return version;
}
