// Drawing and window helpers shared by the interface components: the two
// start-up cursors, painting a parent's image behind a transparent control,
// the disabled picture of a glyph, centring a window, shortening a text to a
// width, removing a queued message, the active-window test and the Windows
// error exception.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/core/textfit.h"
#include "base/sysutils.h"
#include "forms/win/controls.h"
#include "forms/win/graphics.h"

// Cursor numbers of the hand and drag cursors ("LK_HANDCUR", "LK_DRAGCUR"),
// loaded into the screen's table when the program starts.
constexpr TCursor crLkHand = 14000;
constexpr TCursor crLkDrag = 14001;
// Loads them (again); start-up does it once.
void RegisterLkCursors();

// The Windows error exception: "Win32 Error.  Code: <code>.\n<system text>".
class EWin32Error : public EOSError {
 public:
  EWin32Error(std::string message, uint32_t code) : EOSError(std::move(message), code) {}
};
// Nothing for 0; otherwise raises EWin32Error for the code.
void CheckWin32Error(DWORD code);
// The system's text for an error code (without the trailing line break).
std::string SysErrorMessage(DWORD code);

// Paints the parent's background and the windowless siblings beneath
// `control` onto `canvas` (whose origin is the control's top-left).
void CopyParentImage(TControl* control, TCanvas* canvas);

// The disabled picture of a glyph: the pixels not of `mask_color` drawn
// embossed in `highlight` (offset 1, 1, when asked) and `shadow` on `background`.
std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap* bitmap, TColor mask_color, TColor background,
                                                TColor highlight, TColor shadow, bool draw_highlight);
std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* bitmap, TColor mask_color);

// Moves the window to the centre of the screen, kept on the screen, without
// changing its size or z-order and without activating it.
void CenterWindow(HWND window);

// MinimizeText measured on a canvas.
std::string MinimizeText(const std::string& text, TCanvas* canvas, int max_width);

// Takes one queued message with that number (window 0: any of the thread)
// out of the queue; a quit message taken is posted again.
void RemovePendingMessage(HWND window, UINT message);

// True when the active window is a top-level window of the calling thread.
bool IsThreadWindowActive();

inline int RectWidth(const TRect& r) { return r.right - r.left; }
inline int RectHeight(const TRect& r) { return r.bottom - r.top; }
