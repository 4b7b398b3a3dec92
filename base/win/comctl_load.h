// comctl32 on first use (lazy_dll.h): nothing imports it, the layer and the
// shell services reach it only through here, and a program that shows no
// common control and makes no image list (the gate) never loads it.
#pragma once

#include <windows.h>
#include <commctrl.h>

// Loads comctl32 and registers the common control classes the layer uses,
// once and thread-safe; false if comctl32 cannot be loaded. Every creation of
// a common control window calls it first.
bool LoadCommonControls();

// The image list calls in use, with the system's signatures; each loads
// comctl32 first and fails as the system's would on a null list if it cannot.
// (The system's ImageList_AddIcon macro maps onto comctl::ImageList_ReplaceIcon.)
namespace comctl {
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
BOOL ImageList_Remove(HIMAGELIST list, int index);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style);
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
BOOL ImageList_SetOverlayImage(HIMAGELIST list, int image, int overlay);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
}  // namespace comctl
