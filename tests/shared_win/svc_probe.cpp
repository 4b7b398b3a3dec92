// Prints what the shared services see in this process, one "name=value" a
// line, so tests can run it under other Windows versions and as a second
// process.
//   svc_probe facts                 system facts and install paths
//   svc_probe claim [event]         ClaimSingleInstance; holds it until the event is set
//   svc_probe users9x               EnumerateUsers9x rows
//   svc_probe usersnt               EnumerateUsersNT rows
//   svc_probe writelink <path> [n]  a link with every field set (n: arguments of n letters)
//   svc_probe readlink <path>       the fields of a link
//   svc_probe record <file> <args>  writes its arguments to the file
#include <objbase.h>

#include <cstdio>
#include <string>

#include "base/stringlist.h"
#include "base/sysutils.h"
#include "forms/win/syslocale.h"
#include "shared/win/installpaths.h"
#include "shared/win/shelllink.h"
#include "shared/win/users.h"

namespace {

void Put(const char* name, const std::string& value) { std::printf("%s=%s\n", name, value.c_str()); }

void PrintRows(TStringList& names, TStringList& desktops, int rows) {
  Put("rows", IntToStr(rows));
  for (int i = 0; i < names.Count(); ++i) Put(("row" + IntToStr(i)).c_str(), names[i] + "|" + desktops[i]);
}

int Facts() {
  const TOsVersionFacts os = ReadOsVersionFacts();
  char kernel[16];
  std::snprintf(kernel, sizeof kernel, "0x%08lX", static_cast<unsigned long>(KernelVersion()));
  Put("platform", IntToStr(os.PlatformId));
  Put("version", IntToStr(os.Major) + "." + IntToStr(os.Minor));
  Put("csd", os.ServiceText);
  Put("kernel", kernel);
  Put("kind", IntToStr(WindowsVersionKind()));
  std::string flags;
  for (int k = 1; k <= 8; ++k) flags += VersionKindFlag(k) ? '1' : '0';
  Put("flags", flags);
  Put("nt", RunningOnNT() ? "1" : "0");
  const TInstallPaths& p = InstallPaths();
  Put("install", p.InstallFolder);
  Put("system", p.SystemFolder);
  Put("common", p.CommonEntryName);
  Put("gate", p.GatePath);
  Put("context", p.ContextPath);
  Put("userdata", p.UserDataPath);
  Put("log", p.LogPath);
  Put("skins", p.SkinsFolder);
  Put("backup", p.BackupFolder);
  Put("program", ModuleFileName(nullptr));
  Put("user", CurrentUserName());
  Put("admin", UserIsAdministrator() ? "1" : "0");
  return 0;
}

int Claim(const char* eventName) {
  const bool claimed = ClaimSingleInstance();
  Put("claim", claimed ? "1" : "0");
  std::fflush(stdout);
  if (claimed && eventName) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName);
    WaitForSingleObject(release, 60000);
    CloseHandle(release);
  }
  return 0;
}

int Users(bool nt) {
  TStringList names, desktops;
  try {
    const int rows = nt ? EnumerateUsersNT(names, desktops) : EnumerateUsers9x(names, desktops);
    PrintRows(names, desktops, rows);
  } catch (const Exception& e) {
    Put("error", e.Message());
    return 1;
  }
  return 0;
}

// The call's result and the link's text fields, the same lines for both commands.
void PutLinkTexts(HRESULT hr, const TShellLink& link) {
  Put("hr", IntToStr(hr));
  Put("target", link.Target);
  Put("arguments", link.Arguments);
  Put("working", link.WorkingFolder);
  Put("description", link.Description);
}

int WriteLink(const std::string& path, int argumentLength) {
  TShellLink link;
  link.Target = SystemFolder() + "notepad.exe";
  link.Arguments = "/p \"C:\\lk test\\notes.txt\"";
  if (argumentLength > 0) {
    link.Arguments.clear();
    for (int i = 0; i < argumentLength; ++i) link.Arguments += static_cast<char>('A' + i % 26);
  }
  link.WorkingFolder = "C:\\windows";
  link.Description = "Guarded notes";
  link.IconFile = SystemFolder() + "shell32.dll";
  link.IconIndex = 3;
  link.ShowCommand = SW_SHOWMAXIMIZED;
  link.HotKey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
  const HRESULT hr = WriteShellLink(link, path);
  PutLinkTexts(hr, link);
  return FAILED(hr) ? 1 : 0;
}

int ReadLink(const std::string& path) {
  TShellLink link;
  const HRESULT hr = ReadShellLink(path, link);
  PutLinkTexts(hr, link);
  Put("icon", link.IconFile + "," + IntToStr(link.IconIndex));
  Put("show", IntToStr(link.ShowCommand));
  Put("hotkey", IntToStr(link.HotKey));
  return FAILED(hr) ? 1 : 0;
}

int Record(int argc, char** argv) {
  std::string text;
  for (int i = 3; i < argc; ++i) text += std::string(i > 3 ? " " : "") + argv[i];
  FILE* f = std::fopen(argv[2], "wb");
  if (!f) return 1;
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  InstallSystemCharLocale();
  InitInstallPaths();
  CoInitialize(nullptr);
  const std::string mode = argc > 1 ? argv[1] : "facts";
  if (mode == "facts") return Facts();
  if (mode == "claim") return Claim(argc > 2 ? argv[2] : nullptr);
  if (mode == "users9x") return Users(false);
  if (mode == "usersnt") return Users(true);
  if (mode == "writelink" && argc > 2) return WriteLink(argv[2], argc > 3 ? StrToIntDef(argv[3], 0) : 0);
  if (mode == "readlink" && argc > 2) return ReadLink(argv[2]);
  if (mode == "record" && argc > 2) return Record(argc, argv);
  std::fprintf(stderr, "svc_probe: unknown mode %s\n", mode.c_str());
  return 2;
}
