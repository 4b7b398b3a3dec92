// System DLLs on first use, and entry points older systems lack. Every DLL a program imports is mapped (with the
// DLLs it imports in turn) before WinMain runs, and for a small program that
// is a large share of its start-up. So the layer imports only what a window
// needs anyway (kernel32, user32, gdi32, advapi32); comctl32, shell32, ole32
// and msimg32 are loaded here by the first call that needs them, and a
// program that makes no such call before its window (the gate) shows the
// window without them.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <atomic>

// A DLL loaded by the first request for one of its entry points and never
// freed: windows, objects and handles made by it live until the process ends.
// Constant-initialised, so it can serve static initialisers too.
class TLazyDll {
 public:
  constexpr explicit TLazyDll(const char* file) : file_(file) {}
  TLazyDll(const TLazyDll&) = delete;
  TLazyDll& operator=(const TLazyDll&) = delete;

  // The module, null if it cannot be loaded. Thread-safe.
  HMODULE Module();
  // The entry point `name` typed as F (take F from the system's declaration,
  // decltype(&::Name): that names the function without referring to the
  // import library); null if the DLL or the entry point is missing.
  template <class F>
  F Entry(const char* name) {
    HMODULE m = Module();
    return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
  }

 private:
  const char* file_;
  std::atomic<HMODULE> module_{nullptr};
};

// Looks up `name` in `dll` (one of those below) once, into a local `f`:
// a function-local static, so other threads wait for the first lookup, and a
// missing entry point stays null.
#define LK_LAZY_ENTRY(dll, name) static const auto f = dll().Entry<decltype(&::name)>(#name)

TLazyDll& Comctl32Dll();
TLazyDll& Shell32Dll();
TLazyDll& Ole32Dll();
TLazyDll& Msimg32Dll();
// Always mapped; looked up here for what Windows 95 or NT 4.0 lacks, so that
// no import names it and the programs still load there.
TLazyDll& Kernel32Dll();
TLazyDll& User32Dll();
TLazyDll& Gdi32Dll();

// The entry points in use, with the system's signatures. Each loads its DLL
// on its first call; if the DLL or the entry point is missing it fails as the
// system's call fails (error ERROR_PROC_NOT_FOUND, out-pointers cleared).
namespace shell {
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show);
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info);
HINSTANCE FindExecutableA(LPCSTR file, LPCSTR dir, LPSTR result);
UINT ExtractIconExA(LPCSTR file, int index, HICON* large, HICON* smallIcons, UINT count);
int SHFileOperationA(SHFILEOPSTRUCTA* op);
HRESULT SHGetMalloc(IMalloc** malloc);
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path);
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info);
}  // namespace shell

namespace ole {
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID cls, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
void CoTaskMemFree(LPVOID block);
}  // namespace ole

namespace msimg {
BOOL TransparentBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx, int scy,
                    UINT transparent);
}  // namespace msimg

// Entry points of the always-mapped DLLs that an older system lacks; each
// fails as above when it is missing.
namespace kernel {
// Windows 95 and 2000 on; not on NT 4.0.
BOOL SetSystemPowerState(BOOL suspend, BOOL force);
}  // namespace kernel

namespace user {
// NT 4.0 and Windows 98 on; not on Windows 95.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
}  // namespace user

namespace gdi {
// Windows 2000 on (GDI_ERROR where missing).
DWORD GetGlyphIndicesA(HDC dc, LPCSTR text, int count, LPWORD glyphs, DWORD flags);
}  // namespace gdi
