#include "shared/win/installpaths.h"

#include <shlobj.h>

#include <vector>

#include "base/win/lazy_dll.h"
#include "base/win/runningversion.h"
#include "shared/core/errors.h"
#include "shared/core/lkstrings.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"

namespace {

struct TProcessFacts {
  bool ready = false;
  TOsVersionFacts os;
  bool runningOnNT = false;
  int versionKind = 0;
  bool kindFlags[9] = {};
  TInstallPaths paths;
};

TProcessFacts& Facts() {
  static TProcessFacts facts;
  return facts;
}

const TProcessFacts& ReadyFacts() {
  if (!Facts().ready) InitInstallPaths();
  return Facts();
}

}  // namespace

[[noreturn]] void RaiseWin32Error(DWORD code) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = text ? TrimRight(text) : std::string();
  if (text) LocalFree(text);
  throw EOSError("System Error.  Code: " + IntToStr(code) + ".\r\n" + message, code);
}

[[noreturn]] void RaiseLastWin32Error() { RaiseWin32Error(GetLastError()); }

std::string ModuleFileName(HMODULE module) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size() - 1) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);  // cut: ask again with room to spare
  }
}

std::string GetSystemFolder() {
  const UINT size = GetSystemDirectoryA(nullptr, 0);
  if (size == 0) return {};
  std::string folder(size, '\0');
  GetSystemDirectoryA(folder.data(), size);
  CutAtNul(folder);
  return folder;
}

std::string SpecialFolderPath(int folderId) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(shell::SHGetSpecialFolderLocation(nullptr, folderId, &list)) || !list) return {};
  std::string path(MAX_PATH, '\0');
  if (!shell::SHGetPathFromIDListA(list, path.data())) path.clear();
  CutAtNul(path);
  FreeShellItemList(list);
  return path;
}

std::string UserStartMenuFolder() { return SpecialFolderPath(CSIDL_STARTMENU); }
std::string CommonStartMenuFolder() { return SpecialFolderPath(CSIDL_COMMON_STARTMENU); }
std::string UserDesktopFolder() { return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY); }
std::string CommonDesktopFolder() { return SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY); }

std::string CurrentUserName() {
  std::string name(257, '\0');
  DWORD size = static_cast<DWORD>(name.size());
  if (!GetUserNameA(name.data(), &size)) return {};
  CutAtNul(name);
  return name;
}

bool HasVersionInfo(const std::string& fileName) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return false;
  std::string block(size, '\0');
  return GetFileVersionInfoA(fileName.c_str(), 0, size, block.data()) != 0;
}

TLkFileVersionInfo LoadFileVersionInfo(const std::string& fileName) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) throw ELkFileVersionInfoError();
  std::string block(size, '\0');
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, block.data())) RaiseLastWin32Error();
  return TLkFileVersionInfo::FromBlock(block);
}

TOsVersionFacts ReadOsVersionFacts() {
  TOsVersionFacts f;
  const TWindowsVersion& v = RunningWindowsVersion();
  f.PlatformId = v.PlatformId;
  f.Major = v.Major;
  f.Minor = v.Minor;
  f.ServiceText = v.ServiceText;
  if (HasVersionInfo("kernel32.dll")) {
    try {
      f.KernelVersion = LoadFileVersionInfo("kernel32.dll").FixedFileInfo().ProductVersionMS;
    } catch (const Exception&) {
      f.KernelVersion = 0;  // a block we cannot parse counts as none
    }
  }
  return f;
}

TInstallPaths ReadInstallPaths(bool runningOnNT) {
  const std::string program = ModuleFileName(nullptr);
  const std::string installPath = ReadSetting(LKData::InstallPath, ProgramFolderOf(program));
  return ComputeInstallPaths(installPath, program, GetSystemFolder(), runningOnNT);
}

void InitInstallPaths() {
  TProcessFacts& f = Facts();
  if (f.ready) return;
  f.os = ReadOsVersionFacts();
  f.runningOnNT = f.os.PlatformId == kPlatformWin32NT;
  f.versionKind = WindowsVersionKindOf(f.os);
  if (f.versionKind >= 1 && f.versionKind <= 8) f.kindFlags[f.versionKind] = true;
  f.paths = ReadInstallPaths(f.runningOnNT);
  f.ready = true;
}

const TInstallPaths& InstallPaths() { return ReadyFacts().paths; }
const std::string& InstallFolder() { return InstallPaths().InstallFolder; }
const std::string& SystemFolder() { return InstallPaths().SystemFolder; }
const std::string& CommonEntryName() { return InstallPaths().CommonEntryName; }
const std::string& GateFileName() { return InstallPaths().GateFileName; }
const std::string& GatePath() { return InstallPaths().GatePath; }
const std::string& ContextPath() { return InstallPaths().ContextPath; }
const std::string& UserDataPath() { return InstallPaths().UserDataPath; }
const std::string& LogPath() { return InstallPaths().LogPath; }
const std::string& SkinsFolder() { return InstallPaths().SkinsFolder; }
const std::string& BackupFolder() { return InstallPaths().BackupFolder; }

bool RunningOnNT() { return ReadyFacts().runningOnNT; }
uint32_t KernelVersion() { return ReadyFacts().os.KernelVersion; }
int WindowsVersionKind() { return ReadyFacts().versionKind; }
bool VersionKindFlag(int kind) { return kind >= 1 && kind <= 8 && ReadyFacts().kindFlags[kind]; }

bool UserIsAdministrator() {
  HANDLE token = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
    if (GetLastError() != ERROR_NO_TOKEN) return false;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  }
  struct TokenCloser {
    HANDLE h;
    ~TokenCloser() { CloseHandle(h); }
  } closer{token};

  DWORD size = 0;
  if (GetTokenInformation(token, TokenGroups, nullptr, 0, &size) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    RaiseLastWin32Error();
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) RaiseLastWin32Error();

  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  std::vector<TTokenGroup> list;
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    const SID_AND_ATTRIBUTES& g = groups->Groups[i];
    if (!g.Sid || !IsValidSid(g.Sid)) continue;
    const auto* bytes = static_cast<const uint8_t*>(g.Sid);
    list.push_back({std::vector<uint8_t>(bytes, bytes + GetLengthSid(g.Sid)), g.Attributes});
  }
  return GroupsIncludeAdministrators(list);
}

bool ClaimSingleInstance() {
  // Creating first and looking at the outcome leaves no gap between an
  // "is it there?" test and the claim.
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "LMere");
  const DWORD error = GetLastError();
  if (!mutex) return false;  // ERROR_ACCESS_DENIED: another user's instance holds it
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  return true;  // the handle stays open as long as the process
}

void CreateEmptyFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) RaiseLastWin32Error();
  CloseHandle(h);
}
