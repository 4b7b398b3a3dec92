// Time from process start to a visible window, for passbox.exe with a Gate
// argument (without and with a skin selected) and for a bare Win32 window
// program, interleaved in one run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/streams.h"
#include "shared/core/gatearg.h"
#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"
#include "shared/win/settings.h"
#include "tests/shared_win/winfixture.h"

namespace {

std::string WinPath(std::string p) {
  for (char& c : p)
    if (c == '/') c = '\\';
  return "Z:" + p;
}

struct Search {
  DWORD pid;
  bool found = false;
  LONG width = 0;  // of the window found
};

// The client width of the last window timed.
LONG g_lastWidth = 0;

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd)) {
    s->found = true;
    RECT r{};
    GetClientRect(hwnd, &r);
    s->width = r.right;
    PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
    return FALSE;
  }
  return TRUE;
}

void SetSkinName(const std::string& name) { WriteSetting(LKData::SkinName, name); }

// A skin with every element, as an administrator would install one.
void MakeSkin(const std::string& install, const std::string& name) {
  const std::string folder = install + "skins\\" + name + "\\";
  CreateDirectoryA((install + "skins").c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  // A size of its own, to tell that the skin was applied.
  lkfix::WriteSolidBmp(folder + "back.bmp", 310, 190, RGB(20, 40, 90));
  lkfix::WriteSolidBmp(folder + "up.bmp", 43, 15, RGB(30, 160, 60));
  lkfix::WriteSolidBmp(folder + "down.bmp", 43, 15, RGB(20, 110, 40));
  const std::string xml =
      "<?xml version=\"1.0\"?>\r\n<skin version=\"1.0\" name=\"Bench\" author=\"Velmora\">\r\n"
      "  <window background=\"back.bmp\">\r\n"
      "    <text x=\"8\" y=\"56\" width=\"281\" height=\"97\" maxlength=\"50\" color=\"#FFFFFF\"/>\r\n"
      "    <inputbox x=\"19\" y=\"158\" width=\"110\" height=\"17\" color=\"#F0FBFF\"/>\r\n"
      "    <button x=\"243\" y=\"167\" width=\"43\" height=\"15\" buttonup=\"up.bmp\" buttondown=\"down.bmp\"/>\r\n"
      "    <link x=\"286\" y=\"8\" width=\"10\" height=\"13\" url=\"http://www.example.com/\" text=\"?\" "
      "color=\"#00FFFF\"/>\r\n"
      "  </window>\r\n</skin>\r\n";
  std::FILE* f = std::fopen((folder + "skin.xml").c_str(), "wb");
  std::fwrite(xml.data(), 1, xml.size(), f);
  std::fclose(f);
}

// Milliseconds until the program's first visible window, or -1.
double TimeToWindow(const std::string& exe, const std::string& args) {
  std::string cmd = "\"" + exe + "\"" + args;
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  Search s{pi.dwProcessId};
  double ms = -1;
  for (int i = 0; i < 20000 && !s.found; ++i) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      QueryPerformanceCounter(&t1);
      ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
    } else {
      Sleep(1);
    }
  }
  g_lastWidth = s.width;
  if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

// Arguments: other builds of the gate to time instead of this tree's (Windows
// paths), interleaved with the bare window, for before-and-after comparisons.
int main(int argc, char** argv) {
  // A private install folder with the user data, so the gate reads a record.
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string install = std::string(temp) + "lkgate-bench\\";
  CreateDirectoryA(install.c_str(), nullptr);
  HKEY k;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                  nullptr);
  RegSetValueExA(k, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(install.c_str()),
                 static_cast<DWORD>(install.size() + 1));
  RegCloseKey(k);
  {
    TLkStreams c(nullptr);
    c.SetEncrypted(true);
    c.SetKey("4617");
    TUserRecord r;
    r.Password = "pw";
    r.SetMessageText("Dear <uname>,\r\nplease type the password. (<date> - <time>)");
    TMemoryStream m;
    const std::string bytes = EncodeUserRecord(r);
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    c.AddStream("All Users", m);
    c.SaveToFile(install + "lmdata.bin");
  }
  std::vector<std::string> gates;
  for (int i = 1; i < argc; ++i) gates.push_back(argv[i]);
  if (gates.empty()) gates.push_back(WinPath(LK_BINARY_DIR "/gate/passbox.exe"));
  const std::string bare = WinPath(LK_BINARY_DIR "/bench/gate/bare_window.exe");
  const std::string token = " " + WrapToken(ScrambleText(JoinGateText("C:\\windows\\notepad.exe", "")), 0);

  // "bare:a.dll,b.dll" stands for the bare window loading those DLLs first.
  std::vector<std::string> args;
  for (std::string& gate : gates) {
    if (gate.rfind("bare:", 0) == 0) {
      std::string dlls = gate.substr(5);
      for (char& c : dlls)
        if (c == ',') c = ' ';
      args.push_back(" " + dlls);
      gate = bare;
    } else {
      args.push_back(token);
    }
  }
  // Each gate also runs with a skin selected, in the same rounds: the skin's
  // price is that run over the gate's run without one just before it.
  MakeSkin(install, "Bench");
  SetSkinName("");
  WriteSetting(LKData::SkinRandom, false);
  // Warm the file cache and the wine server.
  TimeToWindow(bare, "");
  for (size_t k = 0; k < gates.size(); ++k) {
    TimeToWindow(gates[k], args[k]);
    SetSkinName("Bench");
    TimeToWindow(gates[k], args[k]);
    SetSkinName("");
    if (args[k] == token && g_lastWidth != 310) {
      std::printf("%s: the skin was not applied (window width %ld)\n", gates[k].c_str(), static_cast<long>(g_lastWidth));
      return 1;
    }
  }
  constexpr int kRuns = 25;
  std::vector<double> b;
  std::vector<std::vector<double>> g(gates.size()), paired(gates.size()), skinned(gates.size()),
      skinPaired(gates.size());
  for (int i = 0; i < kRuns; ++i) {
    b.push_back(TimeToWindow(bare, ""));
    for (size_t k = 0; k < gates.size(); ++k) {
      g[k].push_back(TimeToWindow(gates[k], args[k]));
      // Beside the bare run just before it: both saw about the same load.
      paired[k].push_back(g[k].back() / b.back());
      if (args[k] != token) continue;
      SetSkinName("Bench");
      skinned[k].push_back(TimeToWindow(gates[k], args[k]));
      SetSkinName("");
      skinPaired[k].push_back(skinned[k].back() / g[k].back());
    }
  }
  const double bm = Median(b), bmin = *std::min_element(b.begin(), b.end());
  for (size_t k = 0; k < gates.size(); ++k) {
    const double gm = Median(g[k]), gmin = *std::min_element(g[k].begin(), g[k].end());
    // The minimum is the least disturbed by other work on the machine.
    std::printf("%s\n  start to window (ms), %d runs each: median passbox %.1f, bare %.1f, ratio %.2f; "
                "minimum passbox %.1f, bare %.1f, ratio %.2f; median of paired ratios %.2f\n",
                (gates[k] + args[k].substr(0, args[k] == token ? 0 : std::string::npos)).c_str(), kRuns, gm, bm, gm / bm, gmin, bmin, gmin / bmin, Median(paired[k]));
    if (skinned[k].empty()) continue;
    const double sm = Median(skinned[k]), smin = *std::min_element(skinned[k].begin(), skinned[k].end());
    std::printf("  with a skin (ms): median %.1f, ratio to without %.2f; minimum %.1f, ratio %.2f; "
                "median of paired ratios %.2f\n",
                sm, sm / gm, smin, smin / gmin, Median(skinPaired[k]));
  }
  return 0;
}
