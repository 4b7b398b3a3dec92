// The skinned gate as it shows on a screen (run by on_screen.sh under a
// virtual X display): the window takes the background's size, the OK
// pictures sit at the skin's place with their own size, the message wraps
// at the skin's maxlength, and the text, password box and link show the
// skin's colours, the link also after a click. A picture of the window is
// left in the build folder ("skinned-gate.bmp") for a look.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "base/locale.h"
#include "base/win/dib.h"
#include "gate_fixture.h"

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The gate's client area as the screen shows it now.
class ScreenPixels {
 public:
  explicit ScreenPixels(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    width_ = r.right;
    height_ = r.bottom;
    pixels_.resize(static_cast<size_t>(width_) * height_);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi = TopDownDib32(width_, height_);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
  COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // Pixels of exactly `colour` inside the rectangle.
  int Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom && y < height_; ++y)
      for (int x = left; x < right && x < width_; ++x) n += At(x, y) == colour;
    return n;
  }
  void SaveBmp(const std::string& path) const {
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih = TopDownDib32(width_, height_).bmiHeader;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels_.size() * 4);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(&fh, sizeof(fh), 1, f);
    std::fwrite(&ih, sizeof(ih), 1, f);
    for (COLORREF c : pixels_) {
      const uint32_t bgra = GetBValue(c) | (GetGValue(c) << 8) | (GetRValue(c) << 16);
      std::fwrite(&bgra, 4, 1, f);
    }
    std::fclose(f);
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> pixels_;
};

// The shell's "open" of an http address starts the stand-in target, so a
// click on the link shows what it opened. Restored at the end.
class HttpHandler {
 public:
  explicit HttpHandler(const std::string& command) {
    RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    char old[1024] = {};
    DWORD size = sizeof(old);
    had_ = RegQueryValueExA(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    old_ = old;
    RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
  }
  ~HttpHandler() {
    if (had_)
      RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                     static_cast<DWORD>(old_.size() + 1));
    else
      RegDeleteValueA(key_, nullptr);
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
  bool had_ = false;
  std::string old_;
};

constexpr COLORREF kBack = RGB(20, 40, 90), kUp = RGB(30, 160, 60), kDown = RGB(20, 110, 40);
constexpr COLORREF kText = RGB(255, 255, 0), kInput = RGB(255, 192, 203), kLink = RGB(0, 255, 255);

TEST_F(GateTest, SkinGivesTheWindowItsPicturesPlacesAndColours) {
  InstallGate(true);
  const std::string folder = SkinFolder("Screen");
  lkfix::WriteSolidBmp(folder + "back.bmp", 320, 200, kBack);
  lkfix::WriteSolidBmp(folder + "up.bmp", 43, 15, kUp);
  lkfix::WriteSolidBmp(folder + "down.bmp", 43, 15, kDown);
  // The button's width and height (90 x 40) are not used.
  const std::string xml = R"(<skin version="1.0" name="Screen" author="Velmora"><window background="back.bmp">)"
                          R"(<text x="10" y="20" width="200" height="120" maxlength="20" color="#FFFF00"/>)"
                          R"(<inputbox x="20" y="150" width="100" height="17" color="#FFC0CB"/>)"
                          R"(<button x="200" y="170" width="90" height="40" buttonup="up.bmp" buttondown="down.bmp"/>)"
                          R"(<link x="250" y="10" width="60" height="20" url="http://lockmere.test/help" text="Help!")"
                          R"( color="#00FFFF"/></window></skin>)";
  std::FILE* f = std::fopen((folder + "skin.xml").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(xml.c_str(), f);
  std::fclose(f);
  SelectSkin("Screen");
  HttpHandler handler("\"" + target_ + "\" \"%1\"");

  WriteUserData({{commonEntry_, Record("pw", "", "Please type the password of the machine's owner to go on.")}});
  OpenThroughShell(ProtectLink("Screen", target_, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Pause(500);
  EXPECT_EQ(ClientSize(gate).cx, 320);
  EXPECT_EQ(ClientSize(gate).cy, 200);

  const ScreenPixels shot(gate);
  shot.SaveBmp(WinPath(LK_BINARY_DIR "/tests/gate_win/skinned-gate.bmp"));
  // The released OK picture at the skin's place, in its own 43 x 15.
  EXPECT_EQ(shot.At(200, 170), kUp);
  EXPECT_EQ(shot.At(242, 184), kUp);
  EXPECT_EQ(shot.At(243, 177), kBack) << "the picture's width, not the skin's";
  EXPECT_EQ(shot.At(220, 185), kBack) << "the picture's height, not the skin's";
  EXPECT_EQ(shot.At(199, 177), kBack);
  EXPECT_EQ(shot.Count(kDown, 0, 0, 320, 200), 0) << "the pressed picture is hidden";
  EXPECT_EQ(shot.At(5, 5), kBack);
  // The password box in its colour, at its place.
  EXPECT_EQ(shot.At(70, 158), kInput);
  EXPECT_EQ(shot.At(21, 151), kInput);
  EXPECT_EQ(shot.At(18, 158), kBack);
  EXPECT_GT(shot.Count(kText, 10, 20, 210, 140), 20) << "the message in the text colour";
  EXPECT_EQ(shot.Count(kText, 211, 0, 320, 200), 0) << "only inside its area";
  EXPECT_GT(shot.Count(kLink, 250, 10, 320, 30), 5) << "the link in its colour";

  // The message wraps at the skin's maxlength.
  std::string shown;
  for (const auto& line : TestRecord())
    if (line.rfind("Message ", 0) == 0) shown = line.substr(8);
  int lines = 0;
  for (size_t from = 0; from <= shown.size(); ++lines) {
    size_t to = shown.find('|', from);
    if (to == std::string::npos) to = shown.size();
    std::string text = shown.substr(from, to - from);
    text.erase(std::remove(text.begin(), text.end(), '~'), text.end());
    EXPECT_LE(text.size(), 20u) << text;
    from = to + 1;
  }
  EXPECT_GE(lines, 3) << shown;

  // A click on the link opens its address and leaves it in the link colour.
  const LPARAM at = MAKELPARAM(253, 14);
  PostMessageA(gate, WM_MOUSEMOVE, 0, at);
  PostMessageA(gate, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(gate, WM_LBUTTONUP, 0, at);
  const auto opened = WaitTargetRun(1);
  ASSERT_TRUE(opened);
  EXPECT_NE(opened->CommandLine.find("http://lockmere.test/help"), std::string::npos) << opened->CommandLine;
  EndTarget(opened->Pid);
  Pause(500);
  const ScreenPixels after(gate);
  EXPECT_GT(after.Count(kLink, 250, 10, 320, 30), 5) << "visited, still the link colour";

  // The OK picture pressed: the other picture at the same place.
  PostMessageA(gate, WM_MOUSEMOVE, 0, MAKELPARAM(210, 175));
  PostMessageA(gate, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 175));
  Pause(500);
  const ScreenPixels pressed(gate);
  EXPECT_EQ(pressed.At(200, 170), kDown);
  EXPECT_EQ(pressed.At(242, 184), kDown);
  PostMessageA(gate, WM_LBUTTONUP, 0, MAKELPARAM(210, 175));
  Pause(300);
  PressKey(gate, VK_ESCAPE);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
}

// The default message as drawn: each piece is written where the one before
// it ended, so between "press" and the bold "RETURN" (and "the" and "OK")
// there is one blank of the label's font, as the font measures it.
TEST_F(GateTest, DefaultMessageLeavesOneBlankBeforeItsBoldWords) {
  InstallGate(true);
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Default", target_, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Pause(500);
  const ScreenPixels shot(gate);
  shot.SaveBmp(WinPath(LK_BINARY_DIR "/tests/gate_win/default-gate.bmp"));

  std::string shown;
  for (const auto& line : TestRecord())
    if (line.rfind("Message ", 0) == 0) shown = line.substr(8);
  std::vector<std::string> lines;
  for (size_t from = 0; from <= shown.size();) {
    size_t to = shown.find('|', from);
    if (to == std::string::npos) to = shown.size();
    std::string text = shown.substr(from, to - from);
    if (!text.empty() && text[0] == '~') text.erase(0, 1);
    lines.push_back(text);
    from = to + 1;
  }
  // The label's font, normal and bold, measured on the same display.
  HDC screen = GetDC(nullptr);
  HFONT normal = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  HFONT bold = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  HGDIOBJ old = SelectObject(screen, normal);
  SIZE blankSize{}, w{};
  GetTextExtentPoint32A(screen, " ", 1, &blankSize);
  GetTextExtentPoint32A(screen, "W", 1, &w);
  const int blank = blankSize.cx, lineHeight = w.cy;
  auto abc = [&](HFONT font, char c) {
    SelectObject(screen, font);
    ABC a{};
    GetCharABCWidthsA(screen, static_cast<unsigned char>(c), static_cast<unsigned char>(c), &a);
    return a;
  };

  auto ink = [&](int x, int y) {
    const COLORREF c = shot.At(x, y);
    return GetRValue(c) + GetGValue(c) + GetBValue(c) > 450;
  };
  for (const std::string word : {"RETURN", "OK"}) {
    const std::string tag = "<b>" + word + "</b>";
    int line = -1;
    std::string before;
    for (size_t i = 0; i < lines.size() && line < 0; ++i)
      if (const size_t at = lines[i].find(tag); at != std::string::npos) {
        line = static_cast<int>(i);
        before = lines[i].substr(0, at);
      }
    ASSERT_GE(line, 0) << word << " in " << shown;
    ASSERT_TRUE(before.size() >= 2 && before.back() == ' ' && before.find('<') == std::string::npos) << before;
    const char last = before[before.size() - 2];
    // Columns with ink in the line, from the label's left; words are runs
    // apart by more than a pixel, the bold word the run after the words before it.
    const int top = 56 + lineHeight * line;
    std::vector<std::pair<int, int>> runs;
    int gapRun = 99;
    for (int x = 8; x < 289; ++x) {
      bool any = false;
      for (int y = top; y < top + lineHeight && !any; ++y) any = ink(x, y);
      if (!any) {
        ++gapRun;
        continue;
      }
      if (gapRun > 1 || runs.empty()) runs.push_back({x, x});
      runs.back().second = x;
      gapRun = 0;
    }
    int words = 0;
    for (size_t i = 0; i + 1 < before.size(); ++i) words += before[i] != ' ' && before[i + 1] == ' ';
    ASSERT_GT(static_cast<int>(runs.size()), words) << word << ": " << before;
    // The advance gap: empty columns less the right bearing of the letter
    // before and the left bearing of the bold word's first letter.
    const int empty = runs[words].first - runs[words - 1].second - 1;
    const ABC a = abc(normal, last), b = abc(bold, word[0]);
    EXPECT_NEAR(empty - a.abcC - b.abcA, blank, 1)
        << word << ": " << empty << " empty columns between \"" << before << "\" and the bold word, a blank is "
        << blank << " px";
  }
  SelectObject(screen, old);
  DeleteObject(normal);
  DeleteObject(bold);
  ReleaseDC(nullptr, screen);
  PressKey(gate, VK_ESCAPE);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
}

// The whole screen as a picture for a look.
void SaveScreen(const std::string& path) { ScreenPixels(GetDesktopWindow()).SaveBmp(path); }

// A button pressed and released at a point of the screen, as the mouse
// would: through the system's input queue, not a posted message.
void MouseClick(POINT at, bool right) {
  const int sw = GetSystemMetrics(SM_CXSCREEN) - 1, sh = GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT in[3] = {};
  for (auto& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = at.x * 65535 / sw;
    i.mi.dy = at.y * 65535 / sh;
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN) | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP) | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in[0], sizeof(INPUT));
  Pause(150);
  SendInput(2, &in[1], sizeof(INPUT));
}

HWND WaitPopupMenu(DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    for (HWND hwnd : lkfix::TopWindows()) {
      char cls[16] = {};
      GetClassNameA(hwnd, cls, sizeof(cls));
      if (std::string(cls) == "#32768" && IsWindowVisible(hwnd)) return hwnd;
    }
    Pause(50);
  }
  return nullptr;
}

// A right-click with the mouse on the picture and on the message opens the
// menu; "About..." then names the skin.
TEST_F(GateTest, RightClickWithTheMouseOpensTheMenuOnThePictureAndTheMessage) {
  InstallGate(true);
  const std::string folder = SkinFolder("Menu");
  lkfix::WriteSolidBmp(folder + "back.bmp", 320, 200, kBack);
  lkfix::WriteSolidBmp(folder + "up.bmp", 43, 15, kUp);
  lkfix::WriteSolidBmp(folder + "down.bmp", 43, 15, kDown);
  const std::string xml = R"(<skin version="1.0" name="Harbour Lights" author="Mira Velmora"><window background="back.bmp">)"
                          R"(<text x="10" y="20" width="200" height="120" maxlength="30" color="#FFFF00"/>)"
                          R"(<inputbox x="20" y="150" width="100" height="17" color="#FFC0CB"/>)"
                          R"(<button x="200" y="170" width="43" height="15" buttonup="up.bmp" buttondown="down.bmp"/>)"
                          R"(</window></skin>)";
  std::FILE* f = std::fopen((folder + "skin.xml").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(xml.c_str(), f);
  std::fclose(f);
  SelectSkin("Menu");
  WriteUserData({{commonEntry_, Record("pw", "", "Right-click me.")}});
  OpenThroughShell(ProtectLink("Menu", target_, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Pause(500);

  struct Spot {
    const char* what;
    POINT at;  // client point
  };
  for (const Spot& spot : {Spot{"picture", {280, 120}}, Spot{"message", {30, 26}}}) {
    POINT at = spot.at;
    ClientToScreen(gate, &at);
    MouseClick(at, true);
    HWND menu = WaitPopupMenu(3000);
    ASSERT_NE(menu, nullptr) << "a right-click on the " << spot.what;
    if (std::string(spot.what) == "picture") SaveScreen(WinPath(LK_BINARY_DIR "/tests/gate_win/gate-menu.bmp"));
    RECT r{};
    GetWindowRect(menu, &r);
    EXPECT_NEAR(r.left, at.x, 4) << spot.what << ": the menu opens at the pointer";
    EXPECT_NEAR(r.top, at.y, 4) << spot.what;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    for (int i = 0; i < 40 && IsWindowVisible(menu); ++i) Pause(50);
  }

  // "About..." chosen with the mouse: the second item.
  POINT at{280, 120};
  ClientToScreen(gate, &at);
  MouseClick(at, true);
  HWND menu = WaitPopupMenu(3000);
  ASSERT_NE(menu, nullptr);
  RECT r{};
  GetWindowRect(menu, &r);
  const int itemHeight = (r.bottom - r.top) / 2;
  MouseClick(POINT{r.left + 20, r.top + itemHeight + itemHeight / 2}, false);
  HWND box = nullptr;
  for (int i = 0; i < 100 && !box; ++i) {
    Pause(50);
    for (HWND hwnd : lkfix::TopWindows()) {
      char cls[16] = {};
      GetClassNameA(hwnd, cls, sizeof(cls));
      if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) box = hwnd;
    }
  }
  ASSERT_NE(box, nullptr) << "the About box";
  Pause(400);
  SaveScreen(WinPath(LK_BINARY_DIR "/tests/gate_win/gate-about.bmp"));
  const std::string about = TakeMessageBox(2000);
  EXPECT_NE(about.find("About Lockmere\n"), std::string::npos) << about;
  EXPECT_NE(about.find("Skin name: Harbour Lights\nSkin author: Mira Velmora"), std::string::npos) << about;
  PressKey(gate, VK_ESCAPE);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
}

}  // namespace
