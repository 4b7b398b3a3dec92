// The kill tests' one round: a writer process started, killed at a moment
// nobody chose once it tells (through a named event) that its writes run.
#pragma once

#include <windows.h>

#include <string>

namespace lkkill {

inline std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// A program of the build tree, as Wine names it.
inline std::string WindowsPath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

// A fresh folder under the temporary folder for one test.
inline std::string ScratchFolder(const std::string& tag) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + tag + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Everything in `folder`, then the folder.
inline void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

// Runs `command`, waits until it sets the event `running`, lets it run
// `pauseMs` more and kills it. Empty when all went so; else what failed
// (a writer that ends by itself has met a failing write).
inline std::string RunAndKill(std::string command, const std::string& running, DWORD pauseMs) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, running.c_str());
  if (!event) return "no event " + running;
  ResetEvent(event);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                      &pi)) {
    CloseHandle(event);
    return "cannot start " + command;
  }
  HANDLE both[2] = {event, pi.hProcess};
  const DWORD woke = WaitForMultipleObjects(2, both, FALSE, 60000);
  std::string failure;
  if (woke == WAIT_OBJECT_0) {
    // Ended by itself before the kill: a write failed.
    if (WaitForSingleObject(pi.hProcess, pauseMs) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(pi.hProcess, &code);
      failure = "the writer ended by itself, status " + std::to_string(code);
    }
  } else {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    failure = woke == WAIT_OBJECT_0 + 1 ? "the writer ended before it ran, status " + std::to_string(code)
                                        : "the writer did not start within a minute";
  }
  TerminateProcess(pi.hProcess, 1);
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(event);
  return failure;
}

}  // namespace lkkill
