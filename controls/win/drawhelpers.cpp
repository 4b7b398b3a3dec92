#include "controls/win/drawhelpers.h"

#include <cstdio>

#include "forms/win/application.h"

void RegisterLkCursors() {
  EnsureFormsGlobals();
  HINSTANCE inst = GetModuleHandleA(nullptr);
  Screen->SetCursors(crLkHand, LoadCursorA(inst, "LK_HANDCUR"));
  Screen->SetCursors(crLkDrag, LoadCursorA(inst, "LK_DRAGCUR"));
}

namespace {
// At start-up, as the programs expect the cursors to be there.
struct CursorStartup {
  CursorStartup() { RegisterLkCursors(); }
} g_cursor_startup;
}  // namespace

std::string SysErrorMessage(DWORD code) {
  char* buf = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
  std::string text = n && buf ? std::string(buf, n) : std::string();
  if (buf) LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

void CheckWin32Error(DWORD code) {
  if (code == 0) return;
  throw EWin32Error("Win32 Error.  Code: " + std::to_string(code) + ".\n" + SysErrorMessage(code), code);
}

void CopyParentImage(TControl* control, TCanvas* canvas) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent || !canvas->Handle()) return;
  HDC dc = canvas->Handle();
  struct Mark {  // undone on every way out
    TControl* c;
    explicit Mark(TControl* x) : c(x) { c->SetControlState(c->ControlState() | csPaintCopy); }
    ~Mark() { c->SetControlState(c->ControlState() & ~csPaintCopy); }
  };
  Mark parent_mark(parent);
  const int x = control->Left(), y = control->Top();
  {
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, -x, -y, nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    if (parent->HandleAllocated()) SendMessageA(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->PaintSelf(dc);
    RestoreDC(dc, saved);
  }
  const TRect self = control->BoundsRect();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c == control) break;
    TRect inter;
    if (c->IsWindowed() || !c->Visible() || !IntersectRects(inter, self, c->BoundsRect())) continue;
    Mark mark(c);
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, c->Left() - x, c->Top() - y, nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->PaintTo(dc);
    RestoreDC(dc, saved);
  }
}

std::unique_ptr<TBitmap> CreateDisabledBitmapEx(TBitmap* bitmap, TColor mask_color, TColor background,
                                                TColor highlight, TColor shadow, bool draw_highlight) {
  const int w = bitmap->Width(), h = bitmap->Height();
  auto result = std::make_unique<TBitmap>();
  result->SetSize(w, h);
  HDC mono_dc = CreateCompatibleDC(nullptr);
  HBITMAP mono = CreateBitmap(w > 0 ? w : 1, h > 0 ? h : 1, 1, 1, nullptr);
  HGDIOBJ old_mono = SelectObject(mono_dc, mono);
  struct Cleanup {  // the work bitmap always goes
    HDC dc;
    HGDIOBJ old;
    HBITMAP bmp;
    ~Cleanup() {
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
    }
  } cleanup{mono_dc, old_mono, mono};

  // The work bitmap: pixels of the mask colour white, all others black.
  HDC src = bitmap->Canvas()->Handle();
  COLORREF mask = ColorToRGB(mask_color);
  TBitmap colour_copy;
  if (bitmap->Monochrome()) {
    colour_copy.SetSize(w, h);
    HDC cdc = colour_copy.Canvas()->Handle();
    SetTextColor(cdc, RGB(255, 255, 255));
    SetBkColor(cdc, RGB(0, 0, 0));
    BitBlt(cdc, 0, 0, w, h, src, 0, 0, SRCCOPY);
    src = cdc;
    mask = RGB(255, 255, 255);
  }
  const COLORREF old_bk = SetBkColor(src, mask);
  BitBlt(mono_dc, 0, 0, w, h, src, 0, 0, SRCCOPY);
  SetBkColor(src, old_bk);

  TCanvas* out = result->Canvas();
  out->Brush()->SetColor(background);
  out->FillRect(TRect(0, 0, w, h));
  // The brush lands where the work bitmap is black (the glyph), the rest stays:
  // with 0xE20746 (source ? brush : destination) the glyph's black bits must
  // come out as the set bits, hence white text on a black ground here.
  auto emboss = [&](TColor colour, int dx, int dy) {
    out->Brush()->SetColor(colour);
    out->RequireBrush();
    HDC d = out->Handle();
    SetTextColor(d, RGB(255, 255, 255));
    SetBkColor(d, RGB(0, 0, 0));
    BitBlt(d, dx, dy, w, h, mono_dc, 0, 0, 0x00E20746);
  };
  if (draw_highlight) emboss(highlight, 1, 1);
  emboss(shadow, 0, 0);
  return result;
}

std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* bitmap, TColor mask_color) {
  return CreateDisabledBitmapEx(bitmap, mask_color, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void CenterWindow(HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int left = (sw - w) / 2, top = (sh - h) / 2;
  if (left + w > sw) left = sw - w;
  if (left < 0) left = 0;
  if (top + h > sh) top = sh - h;
  if (top < 0) top = 0;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string MinimizeText(const std::string& text, TCanvas* canvas, int max_width) {
  return MinimizeText(text, [canvas](const std::string& s) { return canvas->TextWidth(s); }, max_width);
}

void RemovePendingMessage(HWND window, UINT message) {
  MSG msg;
  if (PeekMessageA(&msg, window, message, message, PM_REMOVE | PM_NOYIELD) && msg.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(msg.wParam));
}

namespace {
struct ActiveSearch {
  HWND active;
  bool found;
};
BOOL CALLBACK FindActive(HWND hwnd, LPARAM l) {
  auto* s = reinterpret_cast<ActiveSearch*>(l);
  if (hwnd == s->active) {
    s->found = true;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

bool IsThreadWindowActive() {
  ActiveSearch s{GetActiveWindow(), false};
  if (!s.active) return false;
  EnumThreadWindows(GetCurrentThreadId(), FindActive, reinterpret_cast<LPARAM>(&s));
  return s.found;
}
