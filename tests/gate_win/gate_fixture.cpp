#include "gate_fixture.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/stringlist.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "shared/core/gatearg.h"
#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"

namespace {


void SetHklmString(const char* key, const char* name, const std::string& value) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
  RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
}

std::string SystemDir() {
  char buf[MAX_PATH + 1] = {};
  GetSystemDirectoryA(buf, MAX_PATH);
  return std::string(buf) + "\\";
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool IsGateWindow(HWND hwnd) {
  char title[64] = {};
  GetWindowTextA(hwnd, title, sizeof(title));
  if (std::string(title) != "Lockmere" || !IsWindowVisible(hwnd)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  // Only the gate's own window (the console may carry the same title).
  char image[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  HANDLE h = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, pid);
  const bool gate = h && QueryFullProcessImageNameA(h, 0, image, &size) &&
                    LowerCase(ExtractFileName(image)) == "passbox.exe";
  if (h) CloseHandle(h);
  return gate;
}

BOOL CALLBACK FindEditProc(HWND hwnd, LPARAM l) {
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof(cls));
  if (LowerCase(cls).find("edit") != std::string::npos) {
    *reinterpret_cast<HWND*>(l) = hwnd;
    return FALSE;
  }
  return TRUE;
}

std::vector<std::pair<DWORD, std::string>> Processes() {
  std::vector<std::pair<DWORD, std::string>> list;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 e{};
  e.dwSize = sizeof(e);
  for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e))
    list.emplace_back(e.th32ProcessID, LowerCase(ExtractFileName(e.szExeFile)));
  CloseHandle(snap);
  return list;
}

}  // namespace

std::string WinPath(const std::string& unixPath) {
  std::string p = "Z:" + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

void GateTest::SetUp() {
  // The console's tests change the same settings of the prefix: one at a time.
  prefixLock_.emplace();
  ASSERT_TRUE(prefixLock_->Held());
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // Holding the lock, no other case's gate runs: whatever still does was
  // left by a case stopped at its time limit, and may hold the gate's file.
  lkfix::EndProgramsNamed({"passbox.exe", "passbox_test.exe", "lktarget.exe"});
  for (const auto& p : Processes()) processesAtStart_.push_back(p.first);
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
  for (char& c : name)
    if (c == '/') c = '_';
  install_ = std::string(temp) + "lkgate\\" + name + "\\";
  lkfix::RemoveFolder(install_.substr(0, install_.size() - 1));
  CreateDirectoryA((std::string(temp) + "lkgate").c_str(), nullptr);
  CreateDirectoryA(install_.c_str(), nullptr);
  SetHklmString(kSettingsKey, "InstallPath", install_);
  // No skin unless a case chooses one.
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKey, LKData::SkinName.Name);
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKey, LKData::SkinRandom.Name);
  gatePath_ = SystemDir() + "passbox.exe";

  const std::string targetFolder = install_ + "Target Program Folder";
  CreateDirectoryA(targetFolder.c_str(), nullptr);
  target_ = targetFolder + "\\lktarget.exe";
  ASSERT_TRUE(CopyFileA(WinPath(LK_BINARY_DIR "/tests/gate_win/lktarget.exe").c_str(), target_.c_str(), FALSE));
  InstallGate(false);
  SetGateVersion("");
}

void GateTest::TearDown() {
  for (const auto& run : TargetRuns()) EndTarget(run.Pid);
  for (HANDLE g : gates_) {
    if (!Ended(g, 100)) TerminateProcess(g, 1);
    CloseHandle(g);
  }
  SetGateVersion("");
  // Folder windows the shell opened for a test end with it (they would hold
  // the test's output open).
  for (const auto& [pid, name] : Processes()) {
    if (name != "explorer.exe" && name != "winefile.exe" && name != "notepad.exe") continue;
    if (std::find(processesAtStart_.begin(), processesAtStart_.end(), pid) != processesAtStart_.end()) continue;
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
      TerminateProcess(h, 0);
      CloseHandle(h);
    }
  }
  prefixLock_.reset();
}

void GateTest::InstallGate(bool testBuild) {
  const std::string from =
      WinPath(std::string(LK_BINARY_DIR) + (testBuild ? "/gate/passbox_test.exe" : "/gate/passbox.exe"));
  ASSERT_TRUE(CopyFileA(from.c_str(), gatePath_.c_str(), FALSE)) << GetLastError();
}

void GateTest::SetGateVersion(const std::string& version) {
  const char* key = "Software\\Wine\\AppDefaults\\passbox.exe";
  if (version.empty()) {
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    commonEntry_ = "All Users";
    return;
  }
  HKEY k;
  RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                 static_cast<DWORD>(version.size() + 1));
  RegCloseKey(k);
  const bool nineX = version == "win95" || version == "win98" || version == "winme";
  commonEntry_ = nineX ? "Default" : "All Users";
}

TUserRecord GateTest::Record(const std::string& password, const std::string& options, const std::string& message) {
  TUserRecord r;
  r.Password = password;
  r.OptionText = options;
  r.SetMessageText(message);
  return r;
}

void GateTest::WriteUserData(const std::map<std::string, TUserRecord>& entries) {
  TLkStreams c(nullptr);
  c.SetCompressed(true);
  c.SetEncrypted(true);
  c.SetKey("4617");
  for (const auto& [name, record] : entries) {
    TMemoryStream m;
    const std::string bytes = EncodeUserRecord(record);
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    c.AddStream(name, m);
  }
  c.SaveToFile(install_ + "lmdata.bin");
}

std::string GateTest::ProtectLink(const std::string& name, const std::string& target, const std::string& arguments,
                                  int mode, const std::string& workFolder) {
  TShellLink link;
  link.Target = LowerCase(gatePath_);
  link.Arguments = WrapToken(ScrambleText(JoinGateText(target, arguments)), mode);
  link.WorkingFolder = workFolder.empty() ? install_.substr(0, install_.size() - 1) : workFolder;
  const std::string path = install_ + name + ".lnk";
  EXPECT_EQ(WriteShellLink(link, path), S_OK);
  return path;
}

void GateTest::OpenThroughShell(const std::string& path) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "open";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExA(&info)) << GetLastError();
}

HWND GateTest::WaitGateWindow(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    for (HWND window : lkfix::TopWindows()) {
      if (!IsGateWindow(window)) continue;
      gates_.push_back(GateProcessOf(window));
      Pause(150);  // let creation finish its messages
      return window;
    }
    Pause(50);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

HANDLE GateTest::GateProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
}

HANDLE GateTest::FindGateProcess(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 e{};
    e.dwSize = sizeof(e);
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) {
      if (LowerCase(ExtractFileName(e.szExeFile)) == "passbox.exe") {
        CloseHandle(snap);
        HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, e.th32ProcessID);
        gates_.push_back(h);
        return h;
      }
    }
    CloseHandle(snap);
    Pause(50);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

HWND GateTest::PasswordBox(HWND gate) {
  HWND edit = nullptr;
  EnumChildWindows(gate, FindEditProc, reinterpret_cast<LPARAM>(&edit));
  return edit;
}

void GateTest::Type(HWND gate, const std::string& text) {
  HWND edit = PasswordBox(gate);
  ASSERT_NE(edit, nullptr);
  for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
  Pause(200);
}

void GateTest::PressKey(HWND gate, WORD key) {
  HWND to = PasswordBox(gate);
  if (!to || !IsWindowVisible(to)) to = gate;
  PostMessageA(to, WM_KEYDOWN, key, 1);
  PostMessageA(to, WM_KEYUP, key, 0xC0000001);
  Pause(200);
}

void GateTest::ClickOk(HWND gate) {
  const LPARAM at = MAKELPARAM(243 + 20, 167 + 7);
  PostMessageA(gate, WM_MOUSEMOVE, 0, at);
  PostMessageA(gate, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(gate, WM_LBUTTONUP, 0, at);
  Pause(200);
}

std::vector<TTargetRun> GateTest::TargetRuns() {
  std::vector<TTargetRun> runs;
  const std::string text = FileBytes(install_ + "Target Program Folder\\lktarget.rec");
  TStringList lines;
  lines.SetText(text);
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& l = lines[i];
    const auto a = l.find('\t'), b = l.find('\t', a + 1), c = l.find('\t', b + 1);
    if (a == std::string::npos || b == std::string::npos || c == std::string::npos) continue;
    runs.push_back({static_cast<DWORD>(std::stoul(l.substr(0, a))), l.substr(a + 1, b - a - 1), l.substr(b + 1, c - b - 1)});
  }
  return runs;
}

std::optional<TTargetRun> GateTest::WaitTargetRun(size_t count, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    const auto runs = TargetRuns();
    if (runs.size() >= count) return runs[count - 1];
    Pause(50);
  } while (GetTickCount() - start < ms);
  return std::nullopt;
}

std::optional<TTargetRun> GateTest::PassGate(const std::string& password, size_t runNumber) {
  HWND gate = WaitGateWindow();
  if (!gate) {
    ADD_FAILURE() << "no gate window";
    return std::nullopt;
  }
  Type(gate, password);
  PressKey(gate, VK_RETURN);
  return WaitTargetRun(runNumber);
}

void GateTest::ExpectEveryPasswordRefused() {
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  PressKey(gate, VK_RETURN);  // the empty password
  ClickOk(gate);
  Type(gate, "x");
  PressKey(gate, VK_RETURN);
  Pause(800);
  EXPECT_TRUE(TargetRuns().empty());
  EXPECT_TRUE(IsWindowVisible(gate));
  PressKey(gate, VK_ESCAPE);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
}

void GateTest::EndTarget(DWORD pid) {
  const std::string title = "lktarget " + std::to_string(pid);
  if (HWND w = FindWindowA("LkTestTarget", title.c_str())) PostMessageA(w, WM_CLOSE, 0, 0);
  if (HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)) {
    if (WaitForSingleObject(h, 3000) != WAIT_OBJECT_0) TerminateProcess(h, 1);
    CloseHandle(h);
  }
}

bool GateTest::Ended(HANDLE process, DWORD ms) { return process && WaitForSingleObject(process, ms) == WAIT_OBJECT_0; }

std::string GateTest::SkinFolder(const std::string& name) {
  CreateDirectoryA((install_ + "skins").c_str(), nullptr);
  const std::string folder = install_ + "skins\\" + name + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void GateTest::SelectSkin(const std::string& name, bool random) {
  WriteSetting(LKData::SkinName, name);
  WriteSetting(LKData::SkinRandom, random);
}

void GateTest::WriteLogWithOneRecord() {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey(kDataFileKey);
  TMemoryStream m;
  const std::string rec = EncodeLogRecord({"u", "C:\\x.exe", "1", std::nullopt, std::nullopt});
  m.WriteBuffer(rec.data(), static_cast<int64_t>(rec.size()));
  c.AddStream("1", m);
  c.SaveToFile(install_ + "lmlog.bin");
}

namespace {

HWND FindBox() {
  for (HWND hwnd : lkfix::TopWindows()) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

BOOL CALLBACK CollectText(HWND hwnd, LPARAM l) {
  char text[1024] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  if (*text) *reinterpret_cast<std::string*>(l) += std::string(text) + "\n";
  return TRUE;
}

}  // namespace

std::string GateTest::TakeMessageBox(DWORD ms) {
  const DWORD start = GetTickCount();
  std::string texts;
  do {
    // The box shows up before its texts do: wait for both.
    if (HWND box = FindBox()) {
      Pause(150);
      EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
      char caption[256] = {};
      GetWindowTextA(box, caption, sizeof(caption));
      texts = std::string(caption) + "\n" + texts;
      texts.erase(std::remove(texts.begin(), texts.end(), '\r'), texts.end());
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      for (int i = 0; i < 40 && IsWindow(box); ++i) Pause(50);
      return texts;
    }
    Pause(50);
  } while (GetTickCount() - start < ms);
  return texts;
}

SIZE GateTest::ClientSize(HWND gate) {
  RECT r{};
  GetClientRect(gate, &r);
  return {r.right, r.bottom};
}

std::string GateTest::AboutBoxText(HWND gate) {
  // The popup of the picture: "Exit", "About...".
  POINT at{60, 20};
  ClientToScreen(gate, &at);
  PostMessageA(gate, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(gate), MAKELPARAM(at.x, at.y));
  HWND menu = nullptr;
  for (int i = 0; i < 100 && !menu; ++i) {
    Pause(50);
    for (HWND hwnd : lkfix::TopWindows()) {
      char cls[16] = {};
      GetClassNameA(hwnd, cls, sizeof(cls));
      if (std::string(cls) == "#32768" && IsWindowVisible(hwnd)) menu = hwnd;
    }
  }
  if (!menu) return "<no popup menu>";
  for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
    PostMessageA(menu, WM_KEYDOWN, key, 1);
    Pause(100);
  }
  return TakeMessageBox();
}

std::map<std::string, TLogRecord> GateTest::ReadLog() {
  std::map<std::string, TLogRecord> records;
  const std::string path = install_ + "lmlog.bin";
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return records;
  TLkStreams c(nullptr);
  c.SetKey("4617");
  c.LoadFromFile(path);
  for (int i = 0; i < c.StreamList().Count(); ++i) {
    TMemoryStream m;
    c.GetStream(c.StreamList()[i], m);
    records[c.StreamList()[i]] = DecodeLogRecord(m.AsString());
  }
  return records;
}

std::vector<std::string> GateTest::TestRecord() {
  TStringList lines;
  lines.SetText(FileBytes(install_ + "gate-test-record.txt"));
  std::vector<std::string> out;
  for (int i = 0; i < lines.Count(); ++i) out.push_back(lines[i]);
  return out;
}

std::vector<std::string> GateTest::EndOfRunCalls() {
  std::vector<std::string> calls;
  for (const auto& line : TestRecord())
    if (line.rfind("Message ", 0) != 0) calls.push_back(line.substr(0, line.find('\t')));
  return calls;
}

std::string GateTest::FileBytes(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
    std::fclose(f);
  }
  return bytes;
}
