// How much the Desktop Shortcuts listing costs over reading the links alone.
// Both sides work on the same folder of 1000 links, in the same run; their
// rounds alternate and the fastest round of each is reported (the least
// disturbed by whatever else the machine is doing).
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "console/core/linkplan.h"
#include "console/win/configpage.h"
#include "console/win/desktoppage.h"
#include "bench/console/quietconsole.h"
#include "bench/console/race.h"
#include "console/win/lkmainform.h"
#include "console/win/logviewpage.h"
#include "console/win/usersettingspage.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "shared/win/shelllink.h"
#include "shared/win/shellops.h"

namespace {

constexpr int kLinks = 1000;
constexpr int kRounds = 7;
std::string kFolder = "C:\\lkbench";

// `distinct`: every link has a target file of its own (text files), so no
// two rows share an icon lookup.
std::vector<std::string> MakeFolder(bool distinct) {
  CreateDirectoryA(kFolder.c_str(), nullptr);
  const std::string sys = SystemFolder();
  const std::string targets[] = {sys + "notepad.exe", sys + "cmd.exe", "C:\\windows\\regedit.exe", sys + "write.exe",
                                 "C:\\windows\\win.ini"};
  CopyFileA((sys + "notepad.exe").c_str(), GatePath().c_str(), TRUE);
  std::vector<std::string> paths;
  for (int i = 0; i < kLinks; ++i) {
    const std::string path = kFolder + "\\link " + std::to_string(i) + ".lnk";
    paths.push_back(path);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    TShellLink l;
    l.Target = targets[i % 5];
    if (distinct) {
      l.Target = kFolder + "\\target " + std::to_string(i) + ".txt";
      HANDLE t = CreateFileA(l.Target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(t);
    }
    l.Arguments = i % 2 ? "-n " + std::to_string(i) : "";
    l.Description = "Link number " + std::to_string(i);
    l.WorkingFolder = "C:\\windows";
    if (i % 3 == 0) {  // a third of them protected
      TLinkFields f;
      f.Target = l.Target;
      f.Arguments = l.Arguments;
      TProtectSettings s;
      s.GatePath = GatePath();
      s.GateFileName = GateFileName();
      s.DefaultIconLocation = [](const std::string& kind) { return DefaultIconLocation(kind); };
      PlanProtect(f, s);
      l.Target = f.Target;
      l.Arguments = f.Arguments;
      l.IconFile = f.IconFile;
    }
    WriteShellLink(l, path);
  }
  return paths;
}

// What any program listing links does at least: load each and ask its
// target, arguments and description.
void BareLoop() {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((kFolder + "\\*.lnk").c_str(), &fd);
  int read = 0;
  do {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
      continue;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH];
      const std::string path = kFolder + "\\" + fd.cFileName;
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
      if (SUCCEEDED(file->Load(wide, 0))) {
        char buf[1024];
        WIN32_FIND_DATAA target;
        link->GetPath(buf, sizeof buf, &target, SLGP_SHORTPATH);
        link->GetArguments(buf, sizeof buf);
        link->GetDescription(buf, sizeof buf);
        ++read;
      }
      file->Release();
    }
    link->Release();
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  if (read != kLinks) std::fprintf(stderr, "bare loop read %d links\n", read);
}


}  // namespace

int main() {
  TLKMain* main = StartQuietConsole();
  main->DesktopPage->Refresh->SetTag(1);
  for (bool distinct : {false, true}) {
    kFolder = distinct ? "C:\\lkbench-distinct" : "C:\\lkbench";
    MakeFolder(distinct);
    main->DesktopPage->BrowsedFolder = kFolder;
    double listing = 0, bare = 0;
    Race(kRounds, [&] { main->DesktopPage->RefreshDesktop(); }, BareLoop, listing, bare);
    const int rows = main->DesktopPage->DesktopLista->Count();
    std::printf("%s: %d links, %d rows listed\n", distinct ? "1000 distinct targets" : "5 shared targets", kLinks,
                rows);
    std::printf("  listing with icons (RefreshDesktop): %8.1f ms\n", listing);
    std::printf("  bare IShellLinkA loop:               %8.1f ms\n", bare);
    std::printf("  ratio: %.2f (target <= 1.5)\n", listing / bare);
  }
  TCustomForm::Free(main);
  SetUiSeam(nullptr);
  return 0;
}
