// Drives the real lkmain.exe from outside, as the administrator would: its
// main window, the desktop chooser, a click on a row of the link list, the
// row's popup menu walked with the keyboard, the status bar. The list and
// the status bar are common controls whose messages are not carried across
// processes, so their texts are read through memory lent in the console.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TConsoleDriver {
 public:
  TConsoleDriver() = default;
  ~TConsoleDriver();  // ends a console still running
  TConsoleDriver(const TConsoleDriver&) = delete;
  TConsoleDriver& operator=(const TConsoleDriver&) = delete;

  bool Start(const std::string& exePath);
  // Waits until the main window is up and enabled and its parts are found;
  // `why` tells what was seen instead (a message box's text, an early end).
  bool WaitReady(DWORD ms, std::string& why);
  bool Running() const;
  // WM_CLOSE to the main window; true when the program ended in time.
  bool Close(DWORD ms, DWORD& exitCode);

  // The desktop chooser.
  std::vector<std::string> DesktopNames();
  int SelectedDesktop();
  // Moves the chooser to `name` with the arrow keys, as a user would.
  bool PickDesktop(const std::string& name, DWORD ms);

  // The link list.
  int RowCount();
  int FindRow(const std::string& caption);      // -1 when absent
  std::string RowText(int row, int column);    // column 0 caption, 1 description, 2 protection
  bool RowSelected(int row);
  void ClickRow(int row);
  // Right-click menu of the list: Protect, then the sub-item at `subItem`
  // (0 "All Users (default) Settings", 1 "Per-user Settings").
  bool ProtectThroughPopup(int row, int subItem, DWORD ms, std::string& why);

  std::string StatusText();
  // Polls `done` every 50 ms up to `ms`; false also when the console ended.
  template <class F>
  bool WaitFor(DWORD ms, F&& done) {
    const DWORD start = GetTickCount();
    do {
      if (done()) return true;
      if (!Running()) return false;
      Sleep(50);
    } while (GetTickCount() - start < ms);
    return done();
  }

  HWND MainWindow() const { return main_; }

 private:
  std::vector<HWND> TopWindows(const char* cls = nullptr, bool visibleOnly = true);
  std::string MessageBoxTexts();
  LRESULT Send(HWND to, UINT msg, WPARAM w, LPARAM l);

  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND combo_ = nullptr;
  HWND status_ = nullptr;
};
