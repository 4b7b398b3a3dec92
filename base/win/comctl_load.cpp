#include "base/win/comctl_load.h"

#include "base/win/lazy_dll.h"

bool LoadCommonControls() {
  // Once: a function-local static, other threads wait for the registration.
  static const bool loaded = [] {
    LK_LAZY_ENTRY(Comctl32Dll, InitCommonControlsEx);
    if (!f) {
      // The first Windows 95 and NT 4.0 carry the library without the Ex call
      // (it came with version 4.70); the old call registers the same classes.
      LK_LAZY_ENTRY(Comctl32Dll, InitCommonControls);
      if (!f) return false;
      f();
      return true;
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_USEREX_CLASSES};
    f(&icc);
    return true;
  }();
  return loaded;
}

namespace comctl {

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_Create);
  return f ? f(cx, cy, flags, initial, grow) : nullptr;
}
BOOL ImageList_Destroy(HIMAGELIST list) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_Destroy);
  return f ? f(list) : FALSE;
}
int ImageList_GetImageCount(HIMAGELIST list) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_GetImageCount);
  return f ? f(list) : 0;
}
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_Add);
  return f ? f(list, image, mask) : -1;
}
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_AddMasked);
  return f ? f(list, image, mask) : -1;
}
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_Replace);
  return f ? f(list, index, image, mask) : FALSE;
}
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_ReplaceIcon);
  return f ? f(list, index, icon) : -1;
}
BOOL ImageList_Remove(HIMAGELIST list, int index) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_Remove);
  return f ? f(list, index) : FALSE;
}
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_Draw);
  return f ? f(list, index, dc, x, y, style) : FALSE;
}
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_DrawEx);
  return f ? f(list, index, dc, x, y, dx, dy, bk, fg, style) : FALSE;
}
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_GetIcon);
  return f ? f(list, index, flags) : nullptr;
}
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_SetOverlayImage);
  return f ? f(list, image, overlay) : FALSE;
}
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  LK_LAZY_ENTRY(Comctl32Dll, ImageList_SetBkColor);
  return f ? f(list, color) : CLR_NONE;
}

}  // namespace comctl
