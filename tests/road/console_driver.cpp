#include "console_driver.h"

#include <commctrl.h>

#include <cctype>

#include "tests/shared_win/winfixture.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string ClassOf(HWND h) {
  char cls[128] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

std::string TextOf(HWND h) {
  char text[512] = {};
  GetWindowTextA(h, text, sizeof text);
  return text;
}

using lkfix::TRemoteBlock;

struct TChildSearch {
  std::string part;  // lower-case part of the class name
  HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND h, LPARAM l) {
  auto* s = reinterpret_cast<TChildSearch*>(l);
  if (Lower(ClassOf(h)).find(s->part) == std::string::npos) return TRUE;
  s->found = h;
  return FALSE;
}

HWND ChildOfClass(HWND parent, const std::string& part) {
  TChildSearch s{part};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

BOOL CALLBACK CollectTexts(HWND h, LPARAM l) {
  *reinterpret_cast<std::string*>(l) += " [" + TextOf(h) + "]";
  return TRUE;
}

}  // namespace

TConsoleDriver::~TConsoleDriver() {
  if (!pi_.hProcess) return;
  if (Running()) {
    DWORD code = 0;
    if (!Close(5000, code)) TerminateProcess(pi_.hProcess, 1);
  }
  WaitForSingleObject(pi_.hProcess, 5000);
  CloseHandle(pi_.hProcess);
}

bool TConsoleDriver::Start(const std::string& exePath) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + exePath + "\"";
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return false;
  CloseHandle(pi_.hThread);
  return true;
}

bool TConsoleDriver::Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

LRESULT TConsoleDriver::Send(HWND to, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(to, msg, w, l, SMTO_ABORTIFHUNG, 10000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::vector<HWND> TConsoleDriver::TopWindows(const char* cls, bool visibleOnly) {
  std::vector<HWND> found;
  for (HWND h : lkfix::TopWindowsOf(pi_.dwProcessId)) {
    if (visibleOnly && !IsWindowVisible(h)) continue;
    if (cls && ClassOf(h) != cls) continue;
    found.push_back(h);
  }
  return found;
}

std::string TConsoleDriver::MessageBoxTexts() {
  std::string texts;
  for (HWND box : TopWindows("#32770")) {
    texts += "box \"" + TextOf(box) + "\":";
    EnumChildWindows(box, CollectTexts, reinterpret_cast<LPARAM>(&texts));
    texts += "\n";
  }
  return texts;
}

bool TConsoleDriver::WaitReady(DWORD ms, std::string& why) {
  const bool up = WaitFor(ms, [&] {
    main_ = nullptr;
    for (HWND h : TopWindows())
      if (TextOf(h) == "Lockmere v1.01" && IsWindowEnabled(h)) main_ = h;
    if (!main_) return false;
    list_ = ChildOfClass(main_, "syslistview32");
    combo_ = ChildOfClass(main_, "combobox");
    status_ = ChildOfClass(main_, "msctls_statusbar32");
    return list_ && combo_ && status_;
  });
  if (up) return true;
  why = Running() ? "no enabled main window with list, chooser and status bar; " + MessageBoxTexts()
                  : "lkmain.exe ended during start-up";
  return false;
}

bool TConsoleDriver::Close(DWORD ms, DWORD& exitCode) {
  if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(pi_.hProcess, &exitCode);
  return true;
}

std::vector<std::string> TConsoleDriver::DesktopNames() {
  std::vector<std::string> names;
  const LRESULT n = Send(combo_, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    // Wide: the chooser is a Unicode window, and the ANSI form of the text
    // is not converted on its way between processes.
    wchar_t wide[512] = {};
    if (Send(combo_, CB_GETLBTEXTLEN, i, 0) >= 511) continue;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG, 10000, &ignored);
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    names.push_back(text);
  }
  return names;
}

int TConsoleDriver::SelectedDesktop() { return static_cast<int>(Send(combo_, CB_GETCURSEL, 0, 0)); }

bool TConsoleDriver::PickDesktop(const std::string& name, DWORD ms) {
  const std::vector<std::string> names = DesktopNames();
  int target = -1;
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) target = static_cast<int>(i);
  if (target < 0) return false;
  const int at = SelectedDesktop();
  const WORD key = target > at ? VK_DOWN : VK_UP;
  for (int i = at; i != target; i += target > at ? 1 : -1) {
    PostMessageA(combo_, WM_KEYDOWN, key, 1);
    PostMessageA(combo_, WM_KEYUP, key, 0xC0000001);
  }
  return WaitFor(ms, [&] { return SelectedDesktop() == target; });
}

int TConsoleDriver::RowCount() { return ListRowCount(list_); }

int TConsoleDriver::ListRowCount(HWND list) { return static_cast<int>(Send(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string TConsoleDriver::RowText(int row, int column) { return ListText(list_, row, column); }

std::string TConsoleDriver::ListText(HWND list, int row, int column) {
  constexpr size_t kText = 1024;
  TRemoteBlock block(pi_.dwProcessId, sizeof(LVITEMA) + kText);
  if (!block.Ok()) return "<no memory in the console>";
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = block.At(sizeof(LVITEMA));
  item.cchTextMax = kText;
  char text[kText] = {};
  if (!block.Write(0, &item, sizeof item) || !block.Write(sizeof item, text, 1)) return "<write failed>";
  Send(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.At(0)));
  block.Read(sizeof(LVITEMA), text, kText - 1);
  return text;
}

int TConsoleDriver::FindRow(const std::string& caption) {
  const int n = RowCount();
  for (int i = 0; i < n; ++i)
    if (RowText(i, 0) == caption) return i;
  return -1;
}

bool TConsoleDriver::RowSelected(int row) { return ListRowSelected(list_, row); }

bool TConsoleDriver::ListRowSelected(HWND list, int row) {
  return (Send(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

namespace {
// The middle of a row's icon (or label), in the list's client coordinates.
bool RowPoint(DWORD pid, HWND list, int row, POINT& at) {
  TRemoteBlock block(pid, sizeof(RECT));
  RECT r{};
  // The icon and the first column's text: in the list view a click beside
  // them, on another column, selects nothing.
  r.left = LVIR_SELECTBOUNDS;
  if (!block.Ok() || !block.Write(0, &r, sizeof r)) return false;
  DWORD_PTR ok = 0;
  SendMessageTimeoutA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.At(0)), SMTO_ABORTIFHUNG, 10000, &ok);
  if (!ok || !block.Read(0, &r, sizeof r)) return false;
  at = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  return true;
}
}  // namespace

void TConsoleDriver::ClickRow(int row) { ClickListRow(list_, row); }

void TConsoleDriver::ClickListRow(HWND list, int row) {
  POINT at{};
  if (!RowPoint(pi_.dwProcessId, list, row, at)) return;
  const LPARAM pos = MAKELPARAM(at.x, at.y);
  // The list tracks a drag inside the button-down: the up must be waiting.
  PostMessageA(list, WM_LBUTTONUP, 0, pos);
  Send(list, WM_LBUTTONDOWN, MK_LBUTTON, pos);
}

void TConsoleDriver::DoubleClickRow(int row) {
  POINT at{};
  if (!RowPoint(pi_.dwProcessId, list_, row, at)) return;
  const LPARAM pos = MAKELPARAM(at.x, at.y);
  ClickRow(row);
  // Posted: the console opens the link inside the message, and may take its time.
  PostMessageA(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, pos);
  PostMessageA(list_, WM_LBUTTONUP, 0, pos);
}

HWND TConsoleDriver::OpenRowMenu(int row, DWORD ms, std::string& why) {
  POINT at{};
  if (!RowPoint(pi_.dwProcessId, list_, row, at)) {
    why = "no place for the row";
    return nullptr;
  }
  ClientToScreen(list_, &at);
  PostMessageA(list_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_), MAKELPARAM(at.x, at.y));
  if (!WaitFor(ms, [&] { return !TopWindows("#32768").empty(); })) {
    why = "the popup menu did not open";
    return nullptr;
  }
  return TopWindows("#32768").front();
}

bool TConsoleDriver::CloseMenus(DWORD ms) {
  // Escape closes the innermost menu: again until none is left.
  return WaitFor(ms, [&] {
    const std::vector<HWND> open = TopWindows("#32768");
    for (HWND menu : open) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    return open.empty();
  });
}

bool TConsoleDriver::ProtectThroughPopup(int row, int subItem, DWORD ms, std::string& why) {
  HWND menu = OpenRowMenu(row, ms, why);
  if (!menu) return false;
  auto menus = [&] { return TopWindows("#32768").size(); };
  // The first item, "Protect", and its sub-menu.
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(menu, WM_KEYDOWN, VK_RIGHT, 1);
  if (!WaitFor(ms, [&] { return menus() >= 2; })) {
    why = "\"Protect\" opened no sub-menu";
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    return false;
  }
  for (int i = 0; i < subItem; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(menu, WM_CHAR, '\r', 1);
  if (!WaitFor(ms, [&] { return menus() == 0; })) {
    why = "the menu stayed open";
    return false;
  }
  return true;
}

void TConsoleDriver::ClearStatus() {
  TRemoteBlock block(pi_.dwProcessId, 1);
  const char empty = 0;
  if (block.Ok() && block.Write(0, &empty, 1)) Send(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(block.At(0)));
}

std::string TConsoleDriver::StatusText() {
  constexpr size_t kText = 512;
  TRemoteBlock block(pi_.dwProcessId, kText);
  char text[kText] = {};
  if (!block.Ok() || !block.Write(0, text, 1)) return "<no memory in the console>";
  if ((LOWORD(Send(status_, SB_GETTEXTLENGTHA, 0, 0))) >= kText) return "<too long>";
  Send(status_, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(block.At(0)));
  block.Read(0, text, kText - 1);
  return text;
}

namespace {
struct TPanelSearch {
  std::string caption;
  HWND found = nullptr;
};

BOOL CALLBACK FindPanel(HWND h, LPARAM l) {
  auto* s = reinterpret_cast<TPanelSearch*>(l);
  // "User Settings" reads "User Settings: <user>" once a row is chosen.
  const std::string text = TextOf(h);
  if (text != s->caption && text.rfind(s->caption + ": ", 0) != 0) return TRUE;
  s->found = h;
  return FALSE;
}

struct TNthSearch {
  std::string part;
  int nth;
  HWND found = nullptr;
};

BOOL CALLBACK FindNth(HWND h, LPARAM l) {
  auto* s = reinterpret_cast<TNthSearch*>(l);
  if (Lower(ClassOf(h)).find(s->part) == std::string::npos) return TRUE;
  if (s->nth-- > 0) return TRUE;
  s->found = h;
  return FALSE;
}
}  // namespace

HWND TConsoleDriver::PagePanel(const std::string& caption) {
  TPanelSearch s{caption};
  EnumChildWindows(main_, FindPanel, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool TConsoleDriver::ShowPage(const std::string& caption, DWORD ms) {
  HWND panel = PagePanel(caption);
  if (!panel) return false;
  if (IsWindowVisible(panel)) return true;
  POINT probe{20, 100};
  HWND bar = ChildWindowFromPoint(main_, probe);
  if (!bar || bar == main_) return false;
  RECT r;
  GetClientRect(bar, &r);
  const DWORD start = GetTickCount();
  for (int y = 30; y < r.bottom && GetTickCount() - start < ms && Running(); y += 8) {
    // Sent, not posted: the bar shows an item's page inside the button's
    // release, so the page is there (or not) when the send returns.
    const LPARAM pos = MAKELPARAM((r.left + r.right) / 2, y);
    Send(bar, WM_MOUSEMOVE, 0, pos);
    Send(bar, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    Send(bar, WM_LBUTTONUP, 0, pos);
    if (IsWindowVisible(panel)) return true;
  }
  return false;
}

HWND TConsoleDriver::PageWindow(const std::string& caption, const std::string& classPart, int nth) {
  HWND panel = PagePanel(caption);
  if (!panel) return nullptr;
  TNthSearch s{classPart, nth};
  EnumChildWindows(panel, FindNth, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

namespace {
BOOL CALLBACK FindShownToolBar(HWND h, LPARAM l) {
  if (Lower(ClassOf(h)).find("toolbarwindow32") == std::string::npos || !IsWindowVisible(h)) return TRUE;
  *reinterpret_cast<HWND*>(l) = h;
  return FALSE;
}
}  // namespace

bool TConsoleDriver::ClickToolButton(int index) {
  HWND bar = nullptr;
  EnumChildWindows(main_, FindShownToolBar, reinterpret_cast<LPARAM>(&bar));
  if (!bar) return false;
  TRemoteBlock block(pi_.dwProcessId, sizeof(RECT));
  RECT r{};
  if (!block.Ok() || Send(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(block.At(0))) <= 0 ||
      !block.Read(0, &r, sizeof r))
    return false;
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(bar, WM_MOUSEMOVE, 0, at);
  PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(bar, WM_LBUTTONUP, 0, at);
  return true;
}

void TConsoleDriver::PressKeyIn(HWND window, WORD key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void TConsoleDriver::TypeInto(HWND edit, const std::string& text) {
  for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

HTREEITEM TConsoleDriver::TreeItem(HWND tree, int absoluteIndex) {
  // Depth first, as the console numbers its nodes.
  HTREEITEM item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (int i = 0; item && i < absoluteIndex; ++i) {
    HTREEITEM next = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    for (HTREEITEM up = item; !next && up;
         up = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(up))))
      next = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(up)));
    item = next;
  }
  return item;
}

bool TConsoleDriver::ToggleTreeNode(HWND tree, int absoluteIndex) {
  HTREEITEM item = TreeItem(tree, absoluteIndex);
  if (!item) return false;
  Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  PostMessageA(tree, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageA(tree, WM_CHAR, ' ', 0x00390001);
  PostMessageA(tree, WM_KEYUP, VK_SPACE, 0xC0390001);
  Send(tree, WM_NULL, 0, 0);
  return true;
}

int TConsoleDriver::TreeNodeState(HWND tree, int absoluteIndex) {
  HTREEITEM item = TreeItem(tree, absoluteIndex);
  if (!item) return -1;
  const LRESULT state = Send(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK);
  return static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
}

int TConsoleDriver::TreeNodeCount(HWND tree) { return static_cast<int>(Send(tree, TVM_GETCOUNT, 0, 0)); }

std::string TConsoleDriver::TreeNodeText(HWND tree, int absoluteIndex) {
  HTREEITEM item = TreeItem(tree, absoluteIndex);
  if (!item) return "<no node>";
  constexpr size_t kText = 256;
  TRemoteBlock block(pi_.dwProcessId, sizeof(TVITEMA) + kText);
  if (!block.Ok()) return "<no memory in the console>";
  TVITEMA tv{};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = block.At(sizeof(TVITEMA));
  tv.cchTextMax = kText;
  char text[kText] = {};
  if (!block.Write(0, &tv, sizeof tv) || !block.Write(sizeof tv, text, 1)) return "<write failed>";
  Send(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At(0)));
  block.Read(sizeof(TVITEMA), text, kText - 1);
  return text;
}

bool TConsoleDriver::PressCtrlKey(char key, DWORD ms) {
  // Keys that reach a window through the input queue: the console's own
  // shift-state reads see Ctrl held, as with a real keyboard.
  SetForegroundWindow(main_);
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_CONTROL;
  in[1].ki.wVk = static_cast<WORD>(key);
  in[2].ki.wVk = static_cast<WORD>(key);
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_CONTROL;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(4, in, sizeof(INPUT)) == 4;
}
