// Fixtures for Windows tests in the Wine prefix: extra user profiles, a
// common desktop with links, the 9x registry layout, programs run under
// another Windows version, and running a program to read what it prints.
// Every fixture is created by the test itself, so any fresh prefix works;
// each Add has its Remove, and the scoped helpers undo themselves.
#pragma once

#include <initializer_list>

#include <windows.h>

#include <string>
#include <vector>

namespace lkfix {

// Asks `done` every 50 ms for up to `ms`; gives up early once `alive` says
// the program being watched has ended. Answers `done` as last seen.
template <class A, class F>
bool PollUntil(DWORD ms, A&& alive, F&& done) {
  const DWORD start = GetTickCount();
  do {
    if (done()) return true;
    if (!alive()) return false;
    Sleep(50);
  } while (GetTickCount() - start < ms);
  return done();
}

// Memory lent inside another process, for the messages whose pointers the
// system does not carry between processes (list view items, rectangles).
class TRemoteBlock {
 public:
  TRemoteBlock(DWORD pid, size_t size) : size_(size) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (process_)
      base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~TRemoteBlock() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  TRemoteBlock(const TRemoteBlock&) = delete;
  TRemoteBlock& operator=(const TRemoteBlock&) = delete;

  bool Ok() const { return base_ != nullptr; }
  char* At(size_t offset) const { return base_ + offset; }
  bool Write(size_t offset, const void* data, size_t n) {
    SIZE_T done = 0;
    return base_ && offset + n <= size_ && WriteProcessMemory(process_, base_ + offset, data, n, &done) && done == n;
  }
  bool Read(size_t offset, void* data, size_t n) {
    SIZE_T done = 0;
    return base_ && offset + n <= size_ && ReadProcessMemory(process_, base_ + offset, data, n, &done) && done == n;
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
  size_t size_;
};

// The folder of the running test program, with a trailing "\".
std::string ProgramFolder();
// A fresh, empty folder under C:\lktest\ named after `name`.
std::string ScratchFolder(const std::string& name);
// Creates the folder and every missing parent.
void MakeFolders(const std::string& path);
// Removes the folder with everything in it, read-only files too.
void RemoveFolder(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
// A 24-bit picture file of one colour.
void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour);
// The whole screen as a 24-bit picture file (on Wine's null driver a black one).
bool SaveScreenBmp(const std::string& path);

// A profile "C:\users\<name>" under the NT ProfileList (subkey `sid`, made
// from the name when empty) and its Desktop folder. Answers the subkey.
std::string AddUserProfile(const std::string& name, const std::string& sid = "");
// A ProfileList entry without "ProfileImagePath".
std::string AddBrokenUserProfile(const std::string& sid);
void RemoveUserProfile(const std::string& sid);
std::string UserDesktopOf(const std::string& name);  // C:\users\<name>\Desktop

// The all-users desktop (C:\users\Public\Desktop) and a link on it.
std::string CommonDesktop();
// Writes <CommonDesktop>\<name>.lnk pointing at `target`; answers its path.
std::string AddCommonDesktopLink(const std::string& name, const std::string& target, const std::string& arguments = "");

// The 9x layout: HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\ProfileList
// with one subkey per user ("ProfileImagePath" = C:\WINDOWS\Profiles\<user>),
// and the HKCU "Shell Folders" Desktop value when it is missing.
void Add9xProfileList(const std::vector<std::string>& users);
void Remove9xProfileList();

// HKCU\Software\Wine\AppDefaults\<exeName> Version (win95, win98, winme,
// nt40, win2k, winxp); an empty version removes the setting.
void SetProgramVersion(const std::string& exeName, const std::string& version);
// Copies a program of the test folder under another name (for a per-program
// Windows version); answers the new path.
std::string CopyProgram(const std::string& from, const std::string& toName);

struct TRunResult {
  DWORD ExitCode = 0;
  std::string Output;  // stdout and stderr together
};
// Runs the command line, waits up to `timeoutMs` and answers what it
// printed. A program still running then is ended (exit code WAIT_TIMEOUT).
TRunResult RunProgram(const std::string& commandLine, DWORD timeoutMs = 30000);

// A started program whose output is read line by line while it runs.
class TRunningProgram {
 public:
  explicit TRunningProgram(const std::string& commandLine);
  ~TRunningProgram();
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;
  // The next line it prints (without CR LF); empty after `timeoutMs` or its end.
  std::string ReadLine(DWORD timeoutMs = 20000);
  // Waits for its end; true when it ended in time.
  bool Wait(DWORD timeoutMs = 20000);

 private:
  HANDLE process_ = nullptr;
  HANDLE output_ = nullptr;
  std::string pending_;
};

// While it lives, closes (WM_CLOSE) every visible top-level window of this
// process that a shell call shows and would wait on, and keeps their titles.
class TWindowCloser {
 public:
  TWindowCloser();
  ~TWindowCloser();
  TWindowCloser(const TWindowCloser&) = delete;
  TWindowCloser& operator=(const TWindowCloser&) = delete;
  std::vector<std::string> Titles() const;

 private:
  static DWORD WINAPI Run(void* self);
  static BOOL CALLBACK Visit(HWND window, LPARAM self);
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  std::vector<std::string> titles_;
};

// Every top-level window, in the system's order (topmost first).
std::vector<HWND> TopWindows();
// The top-level windows of process `pid`, in the same order.
std::vector<HWND> TopWindowsOf(DWORD pid);

// Ends every running program of the prefix with one of these file names
// (lower case, no folder) and waits for each. A case that ctest stopped at its
// time limit never ran its TearDown; the next case calls this first.
void EndProgramsNamed(std::initializer_list<const char*> exeNames);

// How many more GDI objects the process could create now (Wine's
// GetGuiResources answers 0): equal counts before and after a piece of
// work mean it leaked no GDI handle.
int FreeGdiHandleSlots();

// Held while a case changes what the prefix's programs share (the install
// path and the other Lockmere settings, the desktops, the gate in the system
// folder): one such case at a time, across test programs. The same thread
// may take it again.
class TPrefixLock {
 public:
  TPrefixLock();
  ~TPrefixLock();
  TPrefixLock(const TPrefixLock&) = delete;
  TPrefixLock& operator=(const TPrefixLock&) = delete;
  bool Held() const { return held_; }

 private:
  HANDLE mutex_ = nullptr;
  bool held_ = false;
};

// The "name=value" line of a probe's output; empty when absent.
std::string ValueOf(const std::string& output, const std::string& name);

}  // namespace lkfix
