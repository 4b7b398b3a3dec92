#include "gate/win/sysroutines.h"

#include <windows.h>

#include <cstdio>

#include "base/locale.h"
#include "base/sysutils.h"
#include "base/win/lazy_dll.h"
#include "gate/core/messagetext.h"
#include "gate/core/pathparts.h"
#include "shared/win/registro.h"

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

// "S-1-5-21-..." as the profile list names its keys; written out here
// because ConvertSidToStringSid is missing before Windows 2000 and the gate
// must load on NT 4 and the 9x line.
std::string SidText(PSID sid) {
  if (!sid || !IsValidSid(sid)) return {};
  const SID_IDENTIFIER_AUTHORITY* a = GetSidIdentifierAuthority(sid);
  char part[32];
  std::string text = "S-1-";
  if (a->Value[0] == 0 && a->Value[1] == 0) {
    const unsigned long v =
        (static_cast<unsigned long>(a->Value[2]) << 24) | (a->Value[3] << 16) | (a->Value[4] << 8) | a->Value[5];
    std::snprintf(part, sizeof(part), "%lu", v);
  } else {
    std::snprintf(part, sizeof(part), "0x%02X%02X%02X%02X%02X%02X", a->Value[0], a->Value[1], a->Value[2], a->Value[3],
                  a->Value[4], a->Value[5]);
  }
  text += part;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  for (UCHAR i = 0; i < count; ++i) {
    std::snprintf(part, sizeof(part), "-%lu", static_cast<unsigned long>(*GetSidSubAuthority(sid, i)));
    text += part;
  }
  return text;
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

std::string CurrentProfileFolderName() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  std::string sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::string buffer(size, '\0');
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
    sid = SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
  CloseHandle(token);
  if (sid.empty()) return {};
  // The registry, not the environment: a user could set USERPROFILE.
  std::string image;
  try {
    image = ReadRegistryString(HKEY_LOCAL_MACHINE,
                               "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + sid,
                               "ProfileImagePath");
  } catch (const Exception&) {
    return {};
  }
  while (!image.empty() && image.back() == '\\') image.pop_back();
  return image.substr(image.find_last_of('\\') + 1);
}

std::string ShortPathOf(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return {};
  return CutAtNul(buffer, sizeof(buffer));
}

std::string LongPathOf(const std::string& path) {
  TQuietErrors quiet;
  return LongPathWalk(path, [](std::string_view prefix, std::string& name) {
    // Beyond the length the system looks up, and a wildcard would find
    // another entry: the component stays as written.
    if (prefix.size() >= MAX_PATH) return false;
    const std::string_view last = prefix.substr(prefix.find_last_of("\\/:") + 1);
    if (last.find_first_of("*?") != std::string_view::npos) return false;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(std::string(prefix).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    name = CutAtNul(found.cFileName, sizeof(found.cFileName));
    FindClose(h);
    return true;
  });
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
