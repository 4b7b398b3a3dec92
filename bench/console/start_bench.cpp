// The console's time from process start to an enabled main window with a
// log of 100,000 records and 1,000 users (1,000 profiles of the machine and
// their records in the user-data file) beside the same start with no data
// files, the two starts alternating round by round. A Windows program: run it
// with
//   build/<tree>/wine-run build/<tree>/bench/console/console_start_bench.exe [ROUNDS [PROGRAM ...]]
// PROGRAMs (Windows paths, e.g. a copy of an older lkmain.exe for a before
// and after) are timed in the same rounds as the tree's own, one after the
// other, so a change of the machine's load touches them alike.
// It takes the prefix lock of the tests, points "InstallPath" at a folder of
// its own and adds the profiles for its run, and undoes all three at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"
#include "shared/win/settings.h"
#include "tests/shared_win/winfixture.h"

namespace {

constexpr int kUsers = 1000;
constexpr int kRecords = 100000;
const std::string kInstall = "C:\\lkbench-start\\";

std::string TreeProgramPath() {
  std::string p = std::string("Z:") + LKMAIN_EXE;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string UserName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "lkbench%04d", i);
  return name;
}

void SaveContainer(const std::string& path, const std::vector<std::pair<std::string, std::string>>& items) {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  for (const auto& [name, text] : items) {
    TMemoryStream m;
    m.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    c.AddStream(name, m);
  }
  c.SaveToFile(path);
}

void MakeDataFiles() {
  std::vector<std::pair<std::string, std::string>> users;
  for (int i = 0; i < kUsers; ++i) {
    TUserRecord r;
    r.Password = "pw" + std::to_string(i);
    r.SetMessageText("Hello <uname>\r\nthis is run " + std::to_string(i));
    r.OptionText = i % 2 ? "1,3" : "1";
    users.emplace_back(UserName(i), EncodeUserRecord(r));
  }
  SaveContainer(kInstall + "lmdata.bin", users);
  std::vector<std::pair<std::string, std::string>> log;
  for (int i = 1; i <= kRecords; ++i) {
    TLogRecord r;
    r.UserName = UserName(i % kUsers);
    r.TargetPath = "C:\\Program Files\\Application " + std::to_string(i % 97) + "\\program.exe";
    r.StartTime = std::to_string(1 + i % 12) + ":" + std::to_string(10 + i % 50) + " PM - 12/10/2026";
    if (i % 3) r.EndTime = std::to_string(1 + (i + 1) % 12) + ":15 PM - 12/10/2026";
    if (i % 3 == 1) r.Action = "7";
    log.emplace_back(std::to_string(i), EncodeLogRecord(r));
  }
  SaveContainer(kInstall + "lmlog.bin", log);
}

struct TSearch {
  DWORD pid;
  HWND main = nullptr;
};

BOOL CALLBACK FindMain(HWND hwnd, LPARAM l) {
  auto* s = reinterpret_cast<TSearch*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char text[64] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  if (pid == s->pid && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && std::string(text) == "Lockmere v1.01") {
    s->main = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds from CreateProcess to an enabled main window, or -1.
double TimeToMainWindow(const std::string& program) {
  std::string cmd = "\"" + program + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  TSearch s{pi.dwProcessId};
  double ms = -1;
  for (int i = 0; i < 60000 && !s.main; ++i) {
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&s));
    if (s.main) {
      QueryPerformanceCounter(&t1);
      ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);
    } else if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) {
      break;
    }
  }
  if (s.main) PostMessageA(s.main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 9;
  lkfix::TPrefixLock lock;
  lkfix::EndProgramsNamed({"lkmain.exe"});
  const std::string install = ReadSetting(LKData::InstallPath);
  const bool asked = ReadSetting(LKData::doAuthenticate);
  WriteSetting(LKData::doAuthenticate, false);
  lkfix::MakeFolders(kInstall);
  WriteSetting(LKData::InstallPath, kInstall);
  std::vector<std::string> sids;
  for (int i = 0; i < kUsers; ++i) sids.push_back(lkfix::AddUserProfile(UserName(i)));
  if (GetFileAttributesA((kInstall + "lmlog.bin").c_str()) == INVALID_FILE_ATTRIBUTES) MakeDataFiles();
  const std::string files[] = {"lmdata.bin", "lmlog.bin"};

  std::vector<std::string> programs{TreeProgramPath()};
  for (int i = 2; i < argc; ++i) programs.push_back(argv[i]);
  std::vector<std::vector<double>> with(programs.size()), without(programs.size());
  // The first start of a program pays for loading it.
  for (const std::string& program : programs) TimeToMainWindow(program);
  for (int i = 0; i < rounds; ++i) {
    for (std::size_t p = 0; p < programs.size(); ++p) with[p].push_back(TimeToMainWindow(programs[p]));
    for (const auto& f : files) MoveFileA((kInstall + f).c_str(), (kInstall + f + ".away").c_str());
    for (std::size_t p = 0; p < programs.size(); ++p) without[p].push_back(TimeToMainWindow(programs[p]));
    for (const auto& f : files) MoveFileA((kInstall + f + ".away").c_str(), (kInstall + f).c_str());
  }

  for (const auto& sid : sids) lkfix::RemoveUserProfile(sid);
  WriteSetting(LKData::InstallPath, install);
  WriteSetting(LKData::doAuthenticate, asked);
  std::printf("start to an enabled main window, %d rounds, %d profiles\n", rounds, kUsers);
  for (std::size_t p = 0; p < programs.size(); ++p) {
    const std::vector<double>& w = with[p];
    const std::vector<double>& n = without[p];
    const double wb = *std::min_element(w.begin(), w.end()), nb = *std::min_element(n.begin(), n.end());
    std::printf("%s\n", programs[p].c_str());
    std::printf("  with %d log records and %d user records: best %8.1f ms, median %8.1f ms\n", kRecords, kUsers, wb,
                Median(w));
    std::printf("  with no data files:                       best %8.1f ms, median %8.1f ms\n", nb, Median(n));
    std::printf("  ratio: best %.2f, median %.2f (target <= 1.5)\n", wb / nb, Median(w) / Median(n));
  }
  return 0;
}
