// Test helpers for the Windows side: a message loop with a deadline and a
// scratch folder per test.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

// Dispatches messages until `done` holds or `ms` have passed; true when done.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done && done()) return true;
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return false;
    // Short slices: `done` may turn true on another thread without a message.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - spent, 10), QS_ALLINPUT);
  }
}
inline void PumpFor(DWORD ms) { PumpUntil(nullptr, ms); }

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag) {
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    path_ = std::string(tmp) + "lkctl-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { Remove(path_); }
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  static void Remove(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        const std::string full = dir + "\\" + n;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(full);
        } else {
          SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileA(full.c_str());
        }
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& name, const std::string& bytes) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD put = 0;
  if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

inline std::string ReadBytes(const std::string& name) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(h);
  return out;
}
