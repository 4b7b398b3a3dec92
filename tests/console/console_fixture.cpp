// Puts a few links on the current user's desktop, protects some of them and
// installs a stand-in gate, so that lkmain.exe started afterwards shows a
// realistic Desktop Shortcuts page (used for screenshots and by hand).
//   console_fixture.exe
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "console/core/linkplan.h"
#include "shared/win/installpaths.h"
#include "shared/win/shelllink.h"
#include "shared/win/shellops.h"

int main() {
  CoInitialize(nullptr);
  InitInstallPaths();
  const std::string desktop = UserDesktopFolder();
  CreateDirectoryA(desktop.c_str(), nullptr);
  const std::string win = "C:\\windows\\";
  CopyFileA((SystemFolder() + "notepad.exe").c_str(), GatePath().c_str(), TRUE);
  const struct {
    const char* name;
    std::string target;
    const char* args;
    const char* description;
    int protectMode;  // -1: left alone
  } links[] = {
      {"Notepad", SystemFolder() + "notepad.exe", "", "Plain text editor", 0},
      {"Command Prompt", SystemFolder() + "cmd.exe", "/k echo hello", "The command line", -1},
      {"Registry Editor", win + "regedit.exe", "", "Edit the registry", 1},
      {"Wordpad", SystemFolder() + "write.exe", "", "Documents", -1},
      {"Task Manager", SystemFolder() + "taskmgr.exe", "", "Running programs", 0},
  };
  int failures = 0;
  for (const auto& l : links) {
    TShellLink link;
    link.Target = l.target;
    link.Arguments = l.args;
    link.Description = l.description;
    link.WorkingFolder = win;
    if (l.protectMode >= 0) {
      TLinkFields f;
      f.Target = l.target;
      f.Arguments = l.args;
      TProtectSettings s;
      s.Mode = l.protectMode;
      s.GatePath = GatePath();
      s.GateFileName = GateFileName();
      s.DefaultIconLocation = [](const std::string& kind) { return DefaultIconLocation(kind); };
      if (PlanProtect(f, s) != TLinkPlanResult::lpOk) ++failures;
      link.Target = f.Target;
      link.Arguments = f.Arguments;
      link.IconFile = f.IconFile;
      link.IconIndex = f.IconIndex;
    }
    const std::string path = desktop + "\\" + l.name + ".lnk";
    if (WriteShellLink(link, path) != S_OK) ++failures;
    std::printf("%s %s\n", path.c_str(), l.protectMode >= 0 ? "protected" : "plain");
  }
  return failures;
}
