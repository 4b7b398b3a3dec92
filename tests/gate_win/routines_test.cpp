// The gate's Win32 routines on the running system.
#include <windows.h>

#include <gtest/gtest.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include "base/locale.h"
#include "base/stringlist.h"
#include "base/sysutils.h"
#include "gate/win/processlist.h"
#include "gate/win/sysroutines.h"
#include "gate/win/threadtimer.h"

namespace {

std::string Self() {
  char buf[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return buf;
}

TEST(ProcessList, ListsThisProgramWithItsFullPath) {
  TStringList list;
  ASSERT_TRUE(ListRunningProcesses(list, true));
  const int i = list.IndexOf(Self());
  ASSERT_GE(i, 0) << "a bare file name would end every watch at its first tick";
  EXPECT_EQ(ProcessIdOf(list, i), GetCurrentProcessId());
  EXPECT_EQ(list.IndexOf("System Idle Process") >= 0 || list.Count() > 0, true);
  EXPECT_TRUE(ProgramListed(list, Self(), "", ""));
  EXPECT_TRUE(ProgramListed(list, "nothing", AnsiUpperCase(Self()), ""));
  EXPECT_TRUE(ProgramListed(list, "", "", LowerCase(Self())));
  EXPECT_FALSE(ProgramListed(list, "C:\\nowhere\\gone.exe", "", ""));
  EXPECT_FALSE(ProgramListed(list, "", "", "")) << "an empty name is no name";
  EXPECT_FALSE(ProgramListed(TStringList(), Self(), "", ""));
  TStringList names;
  ASSERT_TRUE(ListRunningProcesses(names, false));
  EXPECT_GE(names.Count(), 1);
}

// The handle of a started process as the watch reads it where the running
// programs cannot be listed.
TEST(ProcessList, StartedProcessStateFromItsHandle) {
  EXPECT_EQ(StartedProcessState(nullptr), TStartedProcess::Unknown);
  EXPECT_EQ(StartedProcessState(GetCurrentProcess()), TStartedProcess::Running);
  std::string line = "\"" + Self() + "\" --gtest_list_tests --gtest_filter=None";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  EXPECT_EQ(StartedProcessState(pi.hProcess), TStartedProcess::Ended);
  CloseHandle(pi.hProcess);
  // A handle that may not be waited on tells nothing.
  HANDLE unwaitable = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
  ASSERT_TRUE(unwaitable);
  EXPECT_EQ(StartedProcessState(unwaitable), TStartedProcess::Unknown);
  CloseHandle(unwaitable);
}

TEST(LongPath, LongFormsRootsAndMissingParts) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "Long Folder Name For Gate";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string file = dir + "\\Some Long File Name.txt";
  std::FILE* f = std::fopen(file.c_str(), "wb");
  std::fclose(f);
  const std::string shortForm = ShortPathOf(file);
  ASSERT_FALSE(shortForm.empty());
  EXPECT_TRUE(SameText(LongPathOf(shortForm), file)) << shortForm;
  EXPECT_EQ(ExtractFileName(LongPathOf(shortForm)), "Some Long File Name.txt");
  EXPECT_EQ(LongPathOf("C:\\"), "C:");
  EXPECT_EQ(LongPathOf("C:"), "C:");
  EXPECT_EQ(LongPathOf("C:\\no such folder\\x.exe"), "C:\\no such folder\\x.exe");
  // A folder named with its separator keeps it, and its own name.
  const std::string shortDir = ShortPathOf(dir);
  ASSERT_FALSE(shortDir.empty());
  EXPECT_TRUE(SameText(LongPathOf(shortDir + "\\"), dir + "\\")) << shortDir;
  // 20,000 components below it: walked, not recursed; the found part takes
  // its long form, the rest stays as written.
  std::string tail;
  for (int i = 0; i < 20000; ++i) tail += "\\a";
  const std::string deep = LongPathOf(shortDir + tail);
  EXPECT_TRUE(SameText(deep, dir + tail)) << deep.substr(0, 200);
  // Whatever the input, the walk ends.
  for (const char* odd : {"", "\\", "\\\\", ":", "x", "\\\\srv\\share\\a\\b", "C:\\\\\\", "a\\b\\", "..\\.."})
    (void)LongPathOf(odd);
  EXPECT_TRUE(PathExists(dir));
  EXPECT_TRUE(PathExists(file));
  EXPECT_FALSE(PathExists(dir + "\\missing"));
  DeleteFileA(file.c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST(Association, ProgramsDocumentsFoldersAndLongNames) {
  EXPECT_TRUE(SameText(FindAssociatedProgram(Self()), Self()));
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string txt = std::string(temp) + "gate-assoc.txt";
  std::FILE* f = std::fopen(txt.c_str(), "wb");
  std::fclose(f);
  EXPECT_EQ(LowerCase(ExtractFileName(FindAssociatedProgram(txt))), "notepad.exe");
  DeleteFileA(txt.c_str());
  EXPECT_EQ(FindAssociatedProgram(temp), "");
  EXPECT_EQ(FindAssociatedProgram(std::string(temp) + std::string(300, 'a') + ".exe"), "");
  EXPECT_EQ(FindAssociatedProgram(""), "");
}

TEST(UserName, DisplayNameIsTheLogin) {
  char name[257] = {};
  DWORD n = sizeof(name);
  GetUserNameA(name, &n);
  EXPECT_EQ(DisplayUserName(), name);
  EXPECT_NE(NowLogText().find(" - "), std::string::npos);
}

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
}

TEST(ThreadTimer, TicksInTheMainThreadAndStopsWithItsOwner) {
  InitThreadSynchronization();
  int ticks = 0;
  DWORD tickThread = 0;
  auto* timer = new TLkThreadTimer(nullptr);
  timer->SetDelay(100);
  timer->OnTimer = [&](TObject* sender) {
    ++ticks;
    tickThread = GetCurrentThreadId();
    EXPECT_EQ(sender, timer);
  };
  Pump(300);
  EXPECT_EQ(ticks, 0) << "inactive at first";
  timer->SetActive(true);
  Pump(650);
  EXPECT_GE(ticks, 3);
  EXPECT_LE(ticks, 7);
  EXPECT_EQ(tickThread, GetCurrentThreadId());
  timer->SetActive(false);
  Pump(150);
  const int stopped = ticks;
  Pump(400);
  EXPECT_EQ(ticks, stopped);
  timer->SetActive(true);
  delete timer;  // joins: no tick after this
  const int atDelete = ticks;
  Pump(400);
  EXPECT_EQ(ticks, atDelete);
}

int ThreadsOfThisProcess() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 e{};
  e.dwSize = sizeof e;
  int n = 0;
  for (BOOL more = Thread32First(snap, &e); more; more = Thread32Next(snap, &e))
    if (e.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  CloseHandle(snap);
  return n;
}

// The gate makes its timer at start-up and runs it only after a launch: the
// worker thread waits for the first activation, and the delay set before it
// still holds.
TEST(ThreadTimer, StartsItsThreadOnlyWhenFirstActivated) {
  InitThreadSynchronization();
  const int before = ThreadsOfThisProcess();
  int ticks = 0;
  auto* timer = new TLkThreadTimer(nullptr);
  timer->SetDelay(400);
  timer->OnTimer = [&](TObject*) { ++ticks; };
  timer->SetActive(false);
  Pump(100);
  EXPECT_EQ(ThreadsOfThisProcess(), before);
  timer->SetActive(true);
  EXPECT_EQ(ThreadsOfThisProcess(), before + 1);
  Pump(200);
  EXPECT_EQ(ticks, 0) << "the delay given before the thread existed";
  Pump(500);
  EXPECT_GE(ticks, 1);
  delete timer;
  // A timer that never ran is freed as well.
  delete new TLkThreadTimer(nullptr);
}

}  // namespace

namespace {

// Protected links may show the gate's icons: the console asks for them by
// index (0 is "ICON_1") and the names must be there.
TEST(GateResources, GroupIconsAndDesignedPictures) {
  std::string exe = "Z:" LK_BINARY_DIR "/gate/passbox.exe";
  for (char& c : exe)
    if (c == '/') c = '\\';
  HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr) << exe;
  for (const char* name : {"ICON_1", "ICON_2", "ICON_3", "ICON_4", "ICON_5"}) {
    EXPECT_NE(FindResourceA(m, name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */), nullptr) << name;
    HICON big = static_cast<HICON>(LoadImageA(m, name, IMAGE_ICON, 32, 32, 0));
    HICON small = static_cast<HICON>(LoadImageA(m, name, IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(big, nullptr) << name;
    EXPECT_NE(small, nullptr) << name;
    if (big) DestroyIcon(big);
    if (small) DestroyIcon(small);
  }
  for (const char* name : {"GATE_BACKGROUND", "GATE_OK_UP", "GATE_OK_DOWN"}) {
    HBITMAP b = static_cast<HBITMAP>(LoadImageA(m, name, IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(b, nullptr) << name;
    BITMAP info{};
    GetObjectA(b, sizeof(info), &info);
    const bool background = std::string(name) == "GATE_BACKGROUND";
    EXPECT_EQ(info.bmWidth, background ? 300 : 43) << name;
    EXPECT_EQ(info.bmHeight, background ? 196 : 15) << name;
    DeleteObject(b);
  }
  FreeLibrary(m);
  // Index 0 of the file is the first group, ICON_1.
  HICON first = nullptr;
  EXPECT_GE(ExtractIconExA(exe.c_str(), 0, &first, nullptr, 1), 1u);
  if (first) DestroyIcon(first);
}

}  // namespace
