#include "controls/win/browsefolder.h"

#include "controls/core/filepaths.h"
#include "controls/win/drawhelpers.h"
#include "controls/win/filecopy.h"
#include "base/sysutils.h"
#include "forms/win/application.h"
#include "base/win/lazy_dll.h"

namespace {

constexpr int kHelpButtonId = 0xFFFF;
const char kSelfProp[] = "LkBrowseFolderDlg";

HWND FirstPushButton(HWND dlg) {
  for (HWND b = FindWindowExA(dlg, nullptr, "Button", nullptr); b; b = FindWindowExA(dlg, b, "Button", nullptr)) {
    const LONG type = GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return b;
  }
  return nullptr;
}

}  // namespace

TBrowseFolderDlg::~TBrowseFolderDlg() { Unhook(); }

void TBrowseFolderDlg::Unhook() {
  if (wnd_ && oldProc_ && IsWindow(wnd_)) {
    SetWindowLongPtrA(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    RemovePropA(wnd_, kSelfProp);
  }
  wnd_ = nullptr;
  oldProc_ = nullptr;
}

bool TBrowseFolderDlg::Execute() {
  const HRESULT com = ole::CoInitialize(nullptr);
  struct ComScope {
    HRESULT hr;
    ~ComScope() {
      if (SUCCEEDED(hr)) ole::CoUninitialize();
    }
  } comScope{com};

  LPITEMIDLIST root = nullptr;
  if (BrowseKind == TBrowseKind::bfComputers || !DesktopRoot) {
    const int folder = BrowseKind == TBrowseKind::bfComputers ? CSIDL_NETWORK : CSIDL_DRIVES;
    const HRESULT hr = shell::SHGetSpecialFolderLocation(nullptr, folder, &root);
    if (FAILED(hr)) throw EOSError(SysErrorMessage(static_cast<DWORD>(hr)), static_cast<uint32_t>(hr));
  }
  char display[MAX_PATH] = "";
  BROWSEINFOA bi{};
  TDisabledThreadWindows disabled;
  bi.hwndOwner = Application ? Application->Handle() : disabled.Active();
  bi.pidlRoot = root;
  bi.pszDisplayName = display;
  bi.lpszTitle = DialogText.empty() ? nullptr : DialogText.c_str();
  bi.ulFlags = BrowseKind == TBrowseKind::bfComputers ? BIF_BROWSEFORCOMPUTER
                                                      : BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  bi.lpfn = &TBrowseFolderDlg::Callback;
  bi.lParam = reinterpret_cast<LPARAM>(this);
  bi.iImage = 0;
  displayName_.clear();
  LPITEMIDLIST item = shell::SHBrowseForFolderA(&bi);
  Unhook();
  displayName_ = display;

  struct Release {
    LPITEMIDLIST a, b;
    ~Release() {
      if (a) ole::CoTaskMemFree(a);
      if (b) ole::CoTaskMemFree(b);
    }
  } release{item, root};
  if (!item) return false;
  if (BrowseKind == TBrowseKind::bfFolders) {
    char path[MAX_PATH];
    if (!shell::SHGetPathFromIDListA(item, path)) {
      CheckWin32Error(GetLastError());
      CheckWin32Error(ERROR_PATH_NOT_FOUND);  // failed without saying why
    }
    FolderName = StripPathDelimiter(path);
  } else {
    FolderName = displayName_;
  }
  selectedPath_ = FolderName;
  imageIndex_ = bi.iImage;
  return true;
}

int CALLBACK TBrowseFolderDlg::Callback(HWND wnd, UINT msg, LPARAM lp, LPARAM data) {
  auto* self = reinterpret_cast<TBrowseFolderDlg*>(data);
  GuardCallback(self, [&] {
    if (msg == BFFM_INITIALIZED)
      self->Initialized(wnd);
    else if (msg == BFFM_SELCHANGED)
      self->SelectionChanged(wnd, lp);
  });
  return 0;
}

void TBrowseFolderDlg::Initialized(HWND wnd) {
  if (Position == TDialogPosition::dpScreenCenter) CenterWindow(wnd);
  wnd_ = wnd;
  SetPropA(wnd, kSelfProp, this);
  oldProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TBrowseFolderDlg::DialogProc)));
  if (BrowseKind == TBrowseKind::bfComputers || FolderExists(FolderName))
    SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(FolderName.c_str()));
  if (HelpContext != 0) {
    if (HWND first = FirstPushButton(wnd)) {
      RECT r;
      GetWindowRect(first, &r);
      MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
      HWND help = CreateWindowExA(0, "Button", "&Help", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 12, r.top,
                                  r.right - r.left, r.bottom - r.top, wnd, reinterpret_cast<HMENU>(kHelpButtonId),
                                  GetModuleHandleA(nullptr), nullptr);
      SendMessageA(help, WM_SETFONT, SendMessageA(wnd, WM_GETFONT, 0, 0), TRUE);
      UpdateWindow(wnd);
    }
  }
  if (OnInitialized) {
    TNotifyEvent handler = OnInitialized;
    handler(this);
  }
}

void TBrowseFolderDlg::SelectionChanged(HWND wnd, LPARAM item) {
  wnd_ = wnd;
  if (BrowseKind == TBrowseKind::bfComputers) {
    selectedPath_ = displayName_;
  } else {
    char path[MAX_PATH];
    if (item && shell::SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(item), path)) {
      selectedPath_ = path;
      SendMessageA(wnd, BFFM_ENABLEOK, 0, FolderExists(selectedPath_));
    } else {
      selectedPath_.clear();
      SendMessageA(wnd, BFFM_ENABLEOK, 0, FALSE);
    }
  }
  if (OnSelChanged) {
    TNotifyEvent handler = OnSelChanged;
    handler(this);
  }
}

LRESULT CALLBACK TBrowseFolderDlg::DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TBrowseFolderDlg*>(GetPropA(wnd, kSelfProp));
  if (!self || !self->oldProc_) return DefWindowProcA(wnd, msg, wp, lp);
  const WNDPROC old = self->oldProc_;
  if (msg == WM_COMMAND && LOWORD(wp) == kHelpButtonId && HIWORD(wp) == BN_CLICKED && self->HelpContext != 0) {
    const int context = self->HelpContext;
    GuardCallback(self, [&] {
      if (Application) Application->HelpContext(context);
    });
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropA(wnd, kSelfProp);
    const LRESULT r = CallWindowProcA(old, wnd, msg, wp, lp);
    self->wnd_ = nullptr;
    self->oldProc_ = nullptr;
    return r;
  }
  return CallWindowProcA(old, wnd, msg, wp, lp);
}

bool BrowseFolder(std::string& Folder, const std::string& DialogText, int HelpContext) {
  TBrowseFolderDlg dlg(nullptr);
  dlg.DialogText = DialogText;
  dlg.FolderName = Folder;
  dlg.HelpContext = HelpContext;
  if (!dlg.Execute()) return false;
  Folder = dlg.FolderName;
  return true;
}
