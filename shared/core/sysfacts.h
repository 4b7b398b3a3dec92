// The decisions behind the install paths and the system facts, apart from
// the calls that fetch their inputs, so the same rules run on every platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/winversion.h"  // the platform ids

// "\" appended unless the text already ends in one; an empty text gives "\".
std::string AddPathSeparator(const std::string& path);

// The program's own folder: its full path up to and including the last "\"
// or ":" (empty when there is neither).
std::string ProgramFolderOf(const std::string& programPath);

// Every path and name both programs share, fixed once per process.
struct TInstallPaths {
  std::string InstallFolder;   // always with a trailing "\"
  std::string SystemFolder;    // always with a trailing "\"
  std::string CommonEntryName; // "All Users" (NT line) or "Default" (9x line)
  std::string GateFileName;    // "passbox.exe"
  std::string GatePath;
  std::string ContextPath;
  std::string UserDataPath;
  std::string LogPath;
  std::string SkinsFolder;     // with a trailing "\"
  std::string BackupFolder;    // without one
};

// installPathValue: the stored "InstallPath" text, or nothing when the value
// is missing, of another type or unreadable.
TInstallPaths ComputeInstallPaths(const std::optional<std::string>& installPathValue,
                                  const std::string& programPath,
                                  const std::string& systemDirectory, bool runningOnNT);

// What the operating system reports about itself.
struct TOsVersionFacts {
  uint32_t PlatformId = 0;
  uint32_t Major = 0;
  uint32_t Minor = 0;
  std::string ServiceText;     // CSD version
  uint32_t KernelVersion = 0;  // kernel32's product version, most significant 32 bits
};

// 0 unknown, 1 Windows 95, 2 95 "B", 3 98, 4 98 "A", 5 Me, 6 NT 3, 7 NT 4,
// 8 major version 5.
enum TWindowsVersionKind : int {
  wvkUnknown = 0, wvkWin95 = 1, wvkWin95B = 2, wvkWin98 = 3, wvkWin98A = 4,
  wvkWinMe = 5, wvkNT3 = 6, wvkNT4 = 7, wvkNT5 = 8,
};
int WindowsVersionKindOf(const TOsVersionFacts& facts);

// One entry of a token's group list: the SID's bytes and its attributes.
struct TTokenGroup {
  std::vector<uint8_t> Sid;
  uint32_t Attributes = 0;
};
// S-1-5-32-544 in its binary form.
const std::vector<uint8_t>& AdministratorsSid();
// True at the first group equal to the Administrators SID; attributes
// (enabled, deny-only) are not looked at.
bool GroupsIncludeAdministrators(const std::vector<TTokenGroup>& groups);
