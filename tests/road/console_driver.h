// Drives the real lkmain.exe from outside, as the administrator would: its
// main window, the desktop chooser, a click on a row of the link list, the
// row's popup menu walked with the keyboard, the status bar. The list and
// the status bar are common controls whose messages are not carried across
// processes, so their texts are read through memory lent in the console.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/shared_win/winfixture.h"

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
  // A double click on the row, as a user opens the link from the list.
  void DoubleClickRow(int row);
  // Right-click menu of the list: Protect, then the sub-item at `subItem`
  // (0 "All Users (default) Settings", 1 "Per-user Settings").
  bool ProtectThroughPopup(int row, int subItem, DWORD ms, std::string& why);
  // The row's right-click menu, open: its menu window (null, and `why`, when
  // none opened). CloseMenus closes every menu of the console again.
  HWND OpenRowMenu(int row, DWORD ms, std::string& why);
  bool CloseMenus(DWORD ms);

  std::string StatusText();
  // Empties the status bar, so that the next command's text can be told.
  void ClearStatus();

  // The side bar: a click on each item from the top until the page whose
  // caption panel reads `caption` (or `caption` + ": " + more) shows (the pages come before "About..."
  // and "Exit", so nothing else is clicked on the way).
  bool ShowPage(const std::string& caption, DWORD ms);
  // The `nth` window whose class contains `classPart` (lower case) on the
  // page whose caption panel reads `caption`.
  HWND PageWindow(const std::string& caption, const std::string& classPart, int nth = 0);
  // A click on the button at `index` (separators count) of the shown
  // page's tool bar.
  bool ClickToolButton(int index);
  // Any list view of the console.
  int ListRowCount(HWND list);
  std::string ListText(HWND list, int row, int column);
  bool ListRowSelected(HWND list, int row);
  void ClickListRow(HWND list, int row);
  // Arrow keys to a list view, as a user moves the selection.
  void PressKeyIn(HWND window, WORD key);
  // Characters typed into an edit; "\r" is the Enter key.
  void TypeInto(HWND edit, const std::string& text);
  // Selects a tree node by its absolute index and presses Space on it.
  bool ToggleTreeNode(HWND tree, int absoluteIndex);
  // The state image index of a tree node (-1 when not found).
  int TreeNodeState(HWND tree, int absoluteIndex);
  int TreeNodeCount(HWND tree);
  std::string TreeNodeText(HWND tree, int absoluteIndex);
  // Ctrl and a key, as the keyboard gives them to the window with the focus
  // (the main window sees them first).
  bool PressCtrlKey(char key, DWORD ms);
  // Polls `done` every 50 ms up to `ms`; false also when the console ended.
  template <class F>
  bool WaitFor(DWORD ms, F&& done) {
    return lkfix::PollUntil(ms, [this] { return Running(); }, done);
  }

  HWND MainWindow() const { return main_; }
  HWND LinkList() const { return list_; }
  DWORD ProcessId() const { return pi_.dwProcessId; }

 private:
  std::vector<HWND> TopWindows(const char* cls = nullptr, bool visibleOnly = true);
  std::string MessageBoxTexts();
  LRESULT Send(HWND to, UINT msg, WPARAM w, LPARAM l);
  HWND PagePanel(const std::string& caption);
  HTREEITEM TreeItem(HWND tree, int absoluteIndex);

  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
  HWND list_ = nullptr;
  HWND combo_ = nullptr;
  HWND status_ = nullptr;
};
