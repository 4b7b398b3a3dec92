#include "forms/win/comctl_load.h"

namespace {

// The entry points, typed from the system's declarations (never called
// through them, so nothing refers to the import library).
struct ComCtl {
  bool loaded = false;
  decltype(&::ImageList_Create) ImageList_Create = nullptr;
  decltype(&::ImageList_Destroy) ImageList_Destroy = nullptr;
  decltype(&::ImageList_GetImageCount) ImageList_GetImageCount = nullptr;
  decltype(&::ImageList_Add) ImageList_Add = nullptr;
  decltype(&::ImageList_AddMasked) ImageList_AddMasked = nullptr;
  decltype(&::ImageList_ReplaceIcon) ImageList_ReplaceIcon = nullptr;
  decltype(&::ImageList_Remove) ImageList_Remove = nullptr;
  decltype(&::ImageList_Draw) ImageList_Draw = nullptr;
  decltype(&::ImageList_DrawEx) ImageList_DrawEx = nullptr;
  decltype(&::ImageList_GetIcon) ImageList_GetIcon = nullptr;
  decltype(&::ImageList_SetOverlayImage) ImageList_SetOverlayImage = nullptr;
  decltype(&::ImageList_SetBkColor) ImageList_SetBkColor = nullptr;
  decltype(&::ImageList_Merge) ImageList_Merge = nullptr;
};

template <class F>
void Resolve(HMODULE m, F& f, const char* name) {
  f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

ComCtl Load() {
  ComCtl c;
  // Never freed: windows and image lists of it live until the process ends.
  HMODULE m = LoadLibraryA("comctl32.dll");
  if (!m) return c;
  using InitEx = decltype(&::InitCommonControlsEx);
  InitEx init = nullptr;
  Resolve(m, init, "InitCommonControlsEx");
  if (init) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES};
    init(&icc);
  }
  Resolve(m, c.ImageList_Create, "ImageList_Create");
  Resolve(m, c.ImageList_Destroy, "ImageList_Destroy");
  Resolve(m, c.ImageList_GetImageCount, "ImageList_GetImageCount");
  Resolve(m, c.ImageList_Add, "ImageList_Add");
  Resolve(m, c.ImageList_AddMasked, "ImageList_AddMasked");
  Resolve(m, c.ImageList_ReplaceIcon, "ImageList_ReplaceIcon");
  Resolve(m, c.ImageList_Remove, "ImageList_Remove");
  Resolve(m, c.ImageList_Draw, "ImageList_Draw");
  Resolve(m, c.ImageList_DrawEx, "ImageList_DrawEx");
  Resolve(m, c.ImageList_GetIcon, "ImageList_GetIcon");
  Resolve(m, c.ImageList_SetOverlayImage, "ImageList_SetOverlayImage");
  Resolve(m, c.ImageList_SetBkColor, "ImageList_SetBkColor");
  Resolve(m, c.ImageList_Merge, "ImageList_Merge");
  c.loaded = true;
  return c;
}

// A function-local static: initialised once, other threads wait for it.
const ComCtl& Api() {
  static const ComCtl api = Load();
  return api;
}

}  // namespace

bool LoadCommonControls() { return Api().loaded; }

namespace comctl {

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  auto f = Api().ImageList_Create;
  return f ? f(cx, cy, flags, initial, grow) : nullptr;
}
BOOL ImageList_Destroy(HIMAGELIST list) {
  auto f = Api().ImageList_Destroy;
  return f ? f(list) : FALSE;
}
int ImageList_GetImageCount(HIMAGELIST list) {
  auto f = Api().ImageList_GetImageCount;
  return f ? f(list) : 0;
}
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  auto f = Api().ImageList_Add;
  return f ? f(list, image, mask) : -1;
}
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  auto f = Api().ImageList_AddMasked;
  return f ? f(list, image, mask) : -1;
}
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  auto f = Api().ImageList_ReplaceIcon;
  return f ? f(list, index, icon) : -1;
}
BOOL ImageList_Remove(HIMAGELIST list, int index) {
  auto f = Api().ImageList_Remove;
  return f ? f(list, index) : FALSE;
}
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  auto f = Api().ImageList_Draw;
  return f ? f(list, index, dc, x, y, style) : FALSE;
}
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style) {
  auto f = Api().ImageList_DrawEx;
  return f ? f(list, index, dc, x, y, dx, dy, bk, fg, style) : FALSE;
}
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags) {
  auto f = Api().ImageList_GetIcon;
  return f ? f(list, index, flags) : nullptr;
}
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay) {
  auto f = Api().ImageList_SetOverlayImage;
  return f ? f(list, image, overlay) : FALSE;
}
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  auto f = Api().ImageList_SetBkColor;
  return f ? f(list, color) : CLR_NONE;
}
HIMAGELIST ImageList_Merge(HIMAGELIST a, int ia, HIMAGELIST b, int ib, int dx, int dy) {
  auto f = Api().ImageList_Merge;
  return f ? f(a, ia, b, ib, dx, dy) : nullptr;
}

}  // namespace comctl
