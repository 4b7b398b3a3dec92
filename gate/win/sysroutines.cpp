#include "gate/win/sysroutines.h"

#include <windows.h>

#include "base/locale.h"
#include "base/sysutils.h"
#include "base/win/lazy_dll.h"
#include "gate/core/messagetext.h"
#include "gate/core/pathparts.h"

namespace {

std::string CutAtNul(const char* buffer, std::size_t size) {
  std::size_t n = 0;
  while (n < size && buffer[n]) ++n;
  return std::string(buffer, n);
}

// Critical-error boxes off for the lifetime of the object.
struct TQuietErrors {
  UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
  ~TQuietErrors() { SetErrorMode(old); }
};

std::string FormatTime(const SYSTEMTIME& now, bool time, DWORD flags) {
  char buffer[128] = {};
  const int n = time ? GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &now, nullptr, buffer, sizeof(buffer))
                     : GetDateFormatA(LOCALE_USER_DEFAULT, flags, &now, nullptr, buffer, sizeof(buffer));
  return n > 0 ? CutAtNul(buffer, sizeof(buffer)) : std::string();
}

}  // namespace

std::string DisplayUserName() {
  char buffer[257] = {};
  DWORD size = sizeof(buffer);
  SetLastError(0);
  GetUserNameA(buffer, &size);
  if (GetLastError() == ERROR_NOT_LOGGED_ON) return "Default user";
  return CutAtNul(buffer, sizeof(buffer));
}

std::string ShortPathOf(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return {};
  return CutAtNul(buffer, sizeof(buffer));
}

std::string LongPathOf(const std::string& path) {
  const std::string drive = ExtractDrivePart(path);
  const std::string rest = path.substr(drive.size());
  if (rest.empty() || rest == "\\") {
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
  }
  // Recurse only on a strictly shorter parent, so every input ends.
  const std::string parentPath = ParentPath(path);
  const std::string parent = parentPath.size() < path.size() ? LongPathOf(parentPath) : parentPath;
  std::string last = ExtractFileName(path);
  WIN32_FIND_DATAA found;
  TQuietErrors quiet;
  HANDLE h = FindFirstFileA(path.c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    last = CutAtNul(found.cFileName, sizeof(found.cFileName));
    FindClose(h);
  }
  return parent + "\\" + last;
}

int32_t FileAttributesOf(const std::string& path) {
  TQuietErrors quiet;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA(path.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return -1;
  FindClose(h);
  return static_cast<int32_t>(found.dwFileAttributes);
}

bool PathExists(const std::string& path) { return FileAttributesOf(path) != -1; }

std::string FindAssociatedProgram(const std::string& target) {
  if (target.empty() || target.size() > MAX_PATH - 1) return {};
  char result[MAX_PATH + 1] = {};  // the call writes up to MAX_PATH characters
  const auto code = reinterpret_cast<intptr_t>(shell::FindExecutableA(target.c_str(), nullptr, result));
  if (code <= 32) return {};
  const std::string program = CutAtNul(result, sizeof(result));
  if (LowerCase(ExtractFileName(program)) == "explorer.exe") return {};
  return program;
}

std::string NowLogText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return FormatTime(now, true, TIME_NOSECONDS) + " - " + FormatTime(now, false, DATE_SHORTDATE);
}

TMessageTagValues CurrentTagValues() {
  SYSTEMTIME now;  // one moment for both tags
  GetLocalTime(&now);
  TMessageTagValues v;
  v.UserName = DisplayUserName();
  v.TimeText = FormatTime(now, true, 0);
  v.DateText = FormatTime(now, false, DATE_SHORTDATE);
  return v;
}
