#include "base/win/lazy_dll.h"

HMODULE TLazyDll::Module() {
  HMODULE m = module_.load(std::memory_order_acquire);
  if (m) return m;
  // Two threads may both get here: LoadLibrary hands both the same module
  // (it only counts the second load), so either result may be kept.
  m = LoadLibraryA(file_);
  if (m) module_.store(m, std::memory_order_release);
  return m;
}

// Each DLL's one loader, made on first use.
#define LK_LAZY_DLL(accessor, file)       \
  TLazyDll& accessor() {                  \
    static constinit TLazyDll dll(file);  \
    return dll;                           \
  }
LK_LAZY_DLL(Comctl32Dll, "comctl32.dll")
LK_LAZY_DLL(Shell32Dll, "shell32.dll")
LK_LAZY_DLL(Ole32Dll, "ole32.dll")
LK_LAZY_DLL(Msimg32Dll, "msimg32.dll")
LK_LAZY_DLL(Kernel32Dll, "kernel32.dll")
LK_LAZY_DLL(User32Dll, "user32.dll")
LK_LAZY_DLL(Gdi32Dll, "gdi32.dll")
#undef LK_LAZY_DLL

namespace {

const HRESULT kMissingResult = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

void SetMissing() { SetLastError(ERROR_PROC_NOT_FOUND); }

// The value ShellExecute and FindExecutable give for a missing DLL (<= 32: failure).
HINSTANCE MissingInstance() {
  SetMissing();
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
}

}  // namespace

namespace shell {

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
  LK_LAZY_ENTRY(Shell32Dll, ShellExecuteA);
  return f ? f(owner, verb, file, params, dir, show) : MissingInstance();
}

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info) {
  LK_LAZY_ENTRY(Shell32Dll, ShellExecuteExA);
  if (f) return f(info);
  SetMissing();
  return FALSE;
}

HINSTANCE FindExecutableA(LPCSTR file, LPCSTR dir, LPSTR result) {
  LK_LAZY_ENTRY(Shell32Dll, FindExecutableA);
  if (f) return f(file, dir, result);
  if (result) result[0] = '\0';
  return MissingInstance();
}

UINT ExtractIconExA(LPCSTR file, int index, HICON* large, HICON* smallIcons, UINT count) {
  LK_LAZY_ENTRY(Shell32Dll, ExtractIconExA);
  if (f) return f(file, index, large, smallIcons, count);
  for (UINT i = 0; i < count; ++i) {
    if (large) large[i] = nullptr;
    if (smallIcons) smallIcons[i] = nullptr;
  }
  SetMissing();
  return 0;
}

int SHFileOperationA(SHFILEOPSTRUCTA* op) {
  LK_LAZY_ENTRY(Shell32Dll, SHFileOperationA);
  return f ? f(op) : ERROR_PROC_NOT_FOUND;
}

HRESULT SHGetMalloc(IMalloc** malloc) {
  LK_LAZY_ENTRY(Shell32Dll, SHGetMalloc);
  if (f) return f(malloc);
  if (malloc) *malloc = nullptr;
  return kMissingResult;
}

HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list) {
  LK_LAZY_ENTRY(Shell32Dll, SHGetSpecialFolderLocation);
  if (f) return f(owner, folder, list);
  if (list) *list = nullptr;
  return kMissingResult;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
  LK_LAZY_ENTRY(Shell32Dll, SHGetPathFromIDListA);
  if (f) return f(list, path);
  if (path) path[0] = '\0';
  SetMissing();
  return FALSE;
}

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info) {
  LK_LAZY_ENTRY(Shell32Dll, SHBrowseForFolderA);
  if (f) return f(info);
  SetMissing();
  return nullptr;
}

}  // namespace shell

namespace ole {

HRESULT CoInitialize(LPVOID reserved) {
  LK_LAZY_ENTRY(Ole32Dll, CoInitialize);
  return f ? f(reserved) : kMissingResult;
}

HRESULT CoInitializeEx(LPVOID reserved, DWORD flags) {
  LK_LAZY_ENTRY(Ole32Dll, CoInitializeEx);
  return f ? f(reserved, flags) : kMissingResult;
}

void CoUninitialize() {
  LK_LAZY_ENTRY(Ole32Dll, CoUninitialize);
  if (f) f();
}

HRESULT CoCreateInstance(REFCLSID cls, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
  LK_LAZY_ENTRY(Ole32Dll, CoCreateInstance);
  if (f) return f(cls, outer, context, iid, object);
  if (object) *object = nullptr;
  return kMissingResult;
}

// Without ole32 no block can have come from its allocator: nothing to free.
void CoTaskMemFree(LPVOID block) {
  LK_LAZY_ENTRY(Ole32Dll, CoTaskMemFree);
  if (f) f(block);
}

}  // namespace ole

namespace msimg {

BOOL TransparentBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx, int scy,
                    UINT transparent) {
  LK_LAZY_ENTRY(Msimg32Dll, TransparentBlt);
  if (f) return f(dst, x, y, cx, cy, src, sx, sy, scx, scy, transparent);
  SetMissing();
  return FALSE;
}

}  // namespace msimg

namespace kernel {

BOOL SetSystemPowerState(BOOL suspend, BOOL force) {
  LK_LAZY_ENTRY(Kernel32Dll, SetSystemPowerState);
  if (f) return f(suspend, force);
  SetMissing();
  return FALSE;
}

}  // namespace kernel

namespace user {

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  LK_LAZY_ENTRY(User32Dll, TrackMouseEvent);
  if (f) return f(track);
  SetMissing();
  return FALSE;
}

}  // namespace user

namespace gdi {

DWORD GetGlyphIndicesA(HDC dc, LPCSTR text, int count, LPWORD glyphs, DWORD flags) {
  LK_LAZY_ENTRY(Gdi32Dll, GetGlyphIndicesA);
  if (f) return f(dc, text, count, glyphs, flags);
  SetMissing();
  return GDI_ERROR;
}

}  // namespace gdi
