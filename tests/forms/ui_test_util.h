// Helpers for tests of windows: a recording seam, delayed actions on the
// message loop, pixels of a window painted into a bitmap, and the clipboard's
// text.
#pragma once

#include <windows.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/win/dib.h"
#include "forms/win/application.h"
#include "forms/win/controls.h"

struct RecordedBox {
  std::string text, caption;
  UINT flags;
};

// Installs itself as the seam for its lifetime and records what the program asks.
class RecordingSeam {
 public:
  RecordingSeam() {
    seam_.message_box = [this](const std::string& t, const std::string& c, UINT f) {
      boxes.push_back({t, c, f});
      return box_answer;
    };
    seam_.help = [this](const std::string& file, UINT cmd, ULONG_PTR data) {
      help.push_back(file + "#" + std::to_string(cmd) + ":" + std::to_string(data));
      return true;
    };
    seam_.shell_execute = [this](const std::string& verb, const std::string& file, const std::string& params,
                                 const std::string& dir, int show) -> intptr_t {
      shell.push_back(verb + "|" + file + "|" + params + "|" + dir + "|" + std::to_string(show));
      return 42;
    };
    SetUiSeam(&seam_);
  }
  ~RecordingSeam() { SetUiSeam(nullptr); }
  TUiSeam& seam() { return seam_; }

  std::vector<RecordedBox> boxes;
  std::vector<std::string> help;
  std::vector<std::string> shell;
  int box_answer = IDOK;

 private:
  TUiSeam seam_;
};

// Runs fn once from the message loop after `ms` milliseconds.
inline void RunLater(UINT ms, std::function<void()> fn) {
  static std::map<UINT_PTR, std::function<void()>> pending;
  struct Proc {
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      auto it = pending.find(id);
      if (it == pending.end()) return;
      auto f = std::move(it->second);
      pending.erase(it);
      GuardCallback(nullptr, f);
    }
  };
  UINT_PTR id = SetTimer(nullptr, 0, ms, Proc::Fire);
  pending[id] = std::move(fn);
}

// Pumps messages for about `ms` milliseconds.
inline void PumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    Sleep(5);
  }
}

// Paints a window (and its windowless children) into a bitmap and reads pixels.
class WindowPixels {
 public:
  explicit WindowPixels(TWinControl* w) {
    RECT r;
    GetClientRect(w->Handle(), &r);
    width_ = r.right;
    height_ = r.bottom;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    BITMAPINFO bi = TopDownDib32(width_, height_);
    void* bits = nullptr;
    bmp_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
    w->SetControlState(w->ControlState() | csPaintCopy);
    SendMessageA(w->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
    w->SetControlState(w->ControlState() & ~csPaintCopy);
    SendMessageA(w->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc_), 0);
  }
  ~WindowPixels() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  HDC dc() const { return dc_; }

 private:
  int width_ = 0, height_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bmp_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// What a window shows now, its child windows included, top row first: the
// null display driver keeps every window's pixels (and the X11 driver puts
// them on the screen), so what the program's own repaints left there can be
// read back.
inline std::vector<COLORREF> WindowShows(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  HDC window = GetDCEx(h, nullptr, DCX_CACHE);  // children not clipped away
  HDC dc = CreateCompatibleDC(window);
  BITMAPINFO bi = TopDownDib32(r.right, r.bottom);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(window, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  BitBlt(dc, 0, 0, r.right, r.bottom, window, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits),
                               static_cast<const COLORREF*>(bits) + r.right * r.bottom);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(h, window);
  return pixels;
}

// The clipboard's text, put and read as the edit controls do (CF_TEXT).
inline bool PutOnClipboard(const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  const bool ok = SetClipboardData(CF_TEXT, mem) != nullptr;
  CloseClipboard();
  return ok;
}

inline std::string ClipboardText() {
  std::string out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    out = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}
