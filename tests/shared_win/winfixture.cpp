#include "tests/shared_win/winfixture.h"

#include <objbase.h>
#include <tlhelp32.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>

namespace lkfix {

namespace {

constexpr const char* kProfileListNT = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const char* kProfileList9x = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    Fail("create key " + key);
  const LONG r = RegSetValueExA(h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
  RegCloseKey(h);
  if (r != ERROR_SUCCESS) Fail("set value " + name);
}

void CreateKey(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
    Fail("create key " + key);
  RegCloseKey(h);
}

void DeleteTree(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
  std::vector<std::string> children;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof name;
    if (RegEnumKeyExA(h, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name, n);
  }
  RegCloseKey(h);
  for (const std::string& c : children) DeleteTree(root, key + "\\" + c);
  RegDeleteKeyA(root, key.c_str());
}

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA f;
  HANDLE s = FindFirstFileA((folder + "\\*").c_str(), &f);
  if (s == INVALID_HANDLE_VALUE) return;
  do {
    const std::string n = f.cFileName;
    if (n == "." || n == "..") continue;
    const std::string p = folder + "\\" + n;
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyFolder(p);
      RemoveDirectoryA(p.c_str());
    } else {
      DeleteFileA(p.c_str());
    }
  } while (FindNextFileA(s, &f));
  FindClose(s);
}

std::string Drain(HANDLE pipe) {
  std::string out;
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    std::string chunk(available, '\0');
    DWORD got = 0;
    if (!ReadFile(pipe, chunk.data(), available, &got, nullptr) || got == 0) break;
    out.append(chunk.data(), got);
  }
  return out;
}

// Starts the command with its output into a pipe; answers the read end.
HANDLE Start(const std::string& commandLine, HANDLE& process) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 1 << 16)) Fail("pipe");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    Fail("start " + commandLine);
  }
  CloseHandle(writeEnd);
  CloseHandle(pi.hThread);
  process = pi.hProcess;
  return readEnd;
}

}  // namespace

void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
}

std::string ProgramFolder() {
  char path[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string p(path, n);
  return p.substr(0, p.find_last_of('\\') + 1);
}

void RemoveFolder(const std::string& path) {
  EmptyFolder(path);
  RemoveDirectoryA(path.c_str());
}

std::string ScratchFolder(const std::string& name) {
  const std::string folder = "C:\\lktest\\" + name;
  MakeFolders(folder);
  EmptyFolder(folder);
  return folder;
}

void WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail("write " + path);
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

namespace {
// A bottom-up 24-bit picture: its info header, and its file's two headers.
BITMAPINFOHEADER Bmp24Header(int width, int height) {
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof(ih);
  ih.biWidth = width;
  ih.biHeight = height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  return ih;
}
int Bmp24Stride(int width) { return (width * 3 + 3) & ~3; }
std::string Bmp24FileHeaders(const BITMAPINFOHEADER& ih) {
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + Bmp24Stride(ih.biWidth) * ih.biHeight;
  std::string bytes(reinterpret_cast<const char*>(&fh), sizeof(fh));
  bytes.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
  return bytes;
}
}  // namespace

void WriteSolidBmp(const std::string& path, int width, int height, COLORREF colour) {
  const int stride = Bmp24Stride(width);
  std::string bytes = Bmp24FileHeaders(Bmp24Header(width, height));
  std::string row(static_cast<size_t>(stride), '\0');
  for (int x = 0; x < width; ++x) {
    row[x * 3] = static_cast<char>(GetBValue(colour));
    row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
    row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
  }
  for (int y = 0; y < height; ++y) bytes += row;
  WriteTextFile(path, bytes);
}

bool SaveScreenBmp(const std::string& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER ih = Bmp24Header(width, height);
  const int stride = Bmp24Stride(width);
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&ih), DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = dib && bits;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, dib);
    ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) {
    std::string bytes = Bmp24FileHeaders(ih);
    bytes.append(static_cast<const char*>(bits), static_cast<size_t>(stride) * height);
    WriteTextFile(path, bytes);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

std::string ReadTextFile(const std::string& path) {
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string text(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
  CloseHandle(h);
  text.resize(got);
  return text;
}

std::string UserDesktopOf(const std::string& name) { return "C:\\users\\" + name + "\\Desktop"; }

std::string AddUserProfile(const std::string& name, const std::string& sid) {
  const std::string key = sid.empty() ? "S-1-5-21-4242-4242-" + name : sid;
  SetString(HKEY_LOCAL_MACHINE, std::string(kProfileListNT) + "\\" + key, "ProfileImagePath", "C:\\users\\" + name);
  MakeFolders(UserDesktopOf(name));
  return key;
}

std::string AddBrokenUserProfile(const std::string& sid) {
  CreateKey(HKEY_LOCAL_MACHINE, std::string(kProfileListNT) + "\\" + sid);
  return sid;
}

void RemoveUserProfile(const std::string& sid) {
  DeleteTree(HKEY_LOCAL_MACHINE, std::string(kProfileListNT) + "\\" + sid);
}

std::string CommonDesktop() {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_DESKTOPDIRECTORY, TRUE)) Fail("common desktop");
  return path;
}

std::string AddCommonDesktopLink(const std::string& name, const std::string& target, const std::string& arguments) {
  const std::string folder = CommonDesktop();
  MakeFolders(folder);
  const std::string path = folder + "\\" + name + ".lnk";
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    Fail("shell link object");
  link->SetPath(target.c_str());
  link->SetArguments(arguments.c_str());
  IPersistFile* file = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  wchar_t wide[MAX_PATH * 2];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
  const HRESULT hr = file ? file->Save(wide, TRUE) : E_FAIL;
  if (file) file->Release();
  link->Release();
  if (FAILED(hr)) Fail("save " + path);
  return path;
}

void Add9xProfileList(const std::vector<std::string>& users) {
  CreateKey(HKEY_LOCAL_MACHINE, kProfileList9x);
  for (const std::string& u : users)
    SetString(HKEY_LOCAL_MACHINE, std::string(kProfileList9x) + "\\" + u, "ProfileImagePath",
              "C:\\WINDOWS\\Profiles\\" + u);
  HKEY h = nullptr;
  DWORD type = 0;
  const bool hasDesktop = RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &h) == ERROR_SUCCESS &&
                          RegQueryValueExA(h, "Desktop", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
  if (h) RegCloseKey(h);
  if (!hasDesktop) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, TRUE);
    SetString(HKEY_CURRENT_USER, kShellFolders, "Desktop", path);
  }
}

void Remove9xProfileList() { DeleteTree(HKEY_LOCAL_MACHINE, kProfileList9x); }

void SetProgramVersion(const std::string& exeName, const std::string& version) {
  const std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
  if (version.empty())
    DeleteTree(HKEY_CURRENT_USER, key);
  else
    SetString(HKEY_CURRENT_USER, key, "Version", version);
}

std::string CopyProgram(const std::string& from, const std::string& toName) {
  const std::string to = ProgramFolder() + toName;
  if (!CopyFileA((ProgramFolder() + from).c_str(), to.c_str(), FALSE)) Fail("copy " + from);
  return to;
}

TRunResult RunProgram(const std::string& commandLine, DWORD timeoutMs) {
  HANDLE process = nullptr;
  HANDLE out = Start(commandLine, process);
  TRunResult r;
  const DWORD started = GetTickCount();
  for (;;) {
    r.Output += Drain(out);
    if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0) break;
    if (GetTickCount() - started > timeoutMs) {
      TerminateProcess(process, WAIT_TIMEOUT);
      WaitForSingleObject(process, 5000);
      break;
    }
  }
  r.Output += Drain(out);
  GetExitCodeProcess(process, &r.ExitCode);
  CloseHandle(out);
  CloseHandle(process);
  return r;
}

TRunningProgram::TRunningProgram(const std::string& commandLine) { output_ = Start(commandLine, process_); }

TRunningProgram::~TRunningProgram() {
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  CloseHandle(output_);
  CloseHandle(process_);
}

std::string TRunningProgram::ReadLine(DWORD timeoutMs) {
  const DWORD started = GetTickCount();
  for (;;) {
    pending_ += Drain(output_);
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (GetTickCount() - started > timeoutMs || WaitForSingleObject(process_, 20) == WAIT_OBJECT_0) {
      pending_ += Drain(output_);
      if (pending_.find('\n') != std::string::npos) continue;
      std::string last;
      last.swap(pending_);  // a last line without its line break
      return last;
    }
  }
}

bool TRunningProgram::Wait(DWORD timeoutMs) { return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }

TWindowCloser::TWindowCloser() {
  InitializeCriticalSection(&lock_);
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

TWindowCloser::~TWindowCloser() {
  SetEvent(stop_);
  WaitForSingleObject(thread_, 10000);
  CloseHandle(thread_);
  CloseHandle(stop_);
  DeleteCriticalSection(&lock_);
}

std::vector<std::string> TWindowCloser::Titles() const {
  EnterCriticalSection(&lock_);
  std::vector<std::string> copy = titles_;
  LeaveCriticalSection(&lock_);
  return copy;
}

BOOL CALLBACK TWindowCloser::Visit(HWND window, LPARAM self) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  auto* closer = reinterpret_cast<TWindowCloser*>(self);
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  EnterCriticalSection(&closer->lock_);
  closer->titles_.push_back(title);
  LeaveCriticalSection(&closer->lock_);
  PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

DWORD WINAPI TWindowCloser::Run(void* self) {
  auto* closer = static_cast<TWindowCloser*>(self);
  while (WaitForSingleObject(closer->stop_, 50) == WAIT_TIMEOUT) EnumWindows(Visit, reinterpret_cast<LPARAM>(closer));
  return 0;
}

static BOOL CALLBACK AddTopWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopWindows() {
  std::vector<HWND> windows;
  EnumWindows(AddTopWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> TopWindowsOf(DWORD pid) {
  std::vector<HWND> windows;
  for (HWND window : TopWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid) windows.push_back(window);
  }
  return windows;
}

int FreeGdiHandleSlots() {
  std::vector<HBRUSH> brushes;
  for (;;) {
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    if (!b) break;
    brushes.push_back(b);
  }
  for (HBRUSH b : brushes) DeleteObject(b);
  return static_cast<int>(brushes.size());
}

TPrefixLock::TPrefixLock() : mutex_(CreateMutexA(nullptr, FALSE, "LkConsoleE2ELock")) {
  // A case stopped at its time limit leaves the mutex abandoned: still ours then.
  const DWORD waited = mutex_ ? WaitForSingleObject(mutex_, 600000) : WAIT_FAILED;
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

TPrefixLock::~TPrefixLock() {
  if (held_) ReleaseMutex(mutex_);
  if (mutex_) CloseHandle(mutex_);
}

std::string ValueOf(const std::string& output, const std::string& name) {
  const std::string key = name + "=";
  std::size_t at = 0;
  while (at < output.size()) {
    std::size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
    at = end + 1;
  }
  return {};
}

void EndProgramsNamed(std::initializer_list<const char*> exeNames) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return;
  std::vector<DWORD> pids;
  PROCESSENTRY32 e{};
  e.dwSize = sizeof(e);
  for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) {
    std::string exe = e.szExeFile;
    exe = exe.substr(exe.find_last_of("\\/") + 1);
    for (char& c : exe) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (const char* name : exeNames)
      if (exe == name) pids.push_back(e.th32ProcessID);
  }
  CloseHandle(snap);
  for (DWORD pid : pids) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
      TerminateProcess(h, 1);
      WaitForSingleObject(h, 5000);
      CloseHandle(h);
    }
  }
}

}  // namespace lkfix
