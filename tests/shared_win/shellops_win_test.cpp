#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "base/sysutils.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/shellops.h"
#include "tests/shared_win/winfixture.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitForFile(const std::string& path, DWORD ms = 20000) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (Exists(path) && !lkfix::ReadTextFile(path).empty()) return true;
    Sleep(50);
  }
  return false;
}

std::string Probe() { return lkfix::ProgramFolder() + "svc_probe.exe"; }

TEST(DefaultIconWin, RegistryIconOrTheFallbackTable) {
  // Type keys of our own, so the answer does not hang on the prefix's classes.
  WriteRegistryValue(".LKSVCICON", "", TLkVariant("lksvc.iconclass"), HKEY_CLASSES_ROOT);
  WriteRegistryValue("lksvc.iconclass\\DefaultIcon", "", TLkVariant("C:\\icons\\lk.dll,5"), HKEY_CLASSES_ROOT);
  WriteRegistryValue(".LKSVCNOICON", "", TLkVariant("lksvc.noicon"), HKEY_CLASSES_ROOT);
  EXPECT_EQ(DefaultIconLocation(".LKSVCICON"), "C:\\icons\\lk.dll,5");
  EXPECT_EQ(DefaultIconLocation(".LKSVCNOICON"), GatePath() + ",0");
  EXPECT_EQ(DefaultIconLocation(".LKSVCNONE"), GatePath() + ",0");
  DeleteRegistryKey(".LKSVCICON", HKEY_CLASSES_ROOT);
  DeleteRegistryKey("lksvc.iconclass", HKEY_CLASSES_ROOT);
  DeleteRegistryKey(".LKSVCNOICON", HKEY_CLASSES_ROOT);
  // Types the prefix has no class for fall back to the system folder's shell32.
  for (const char* key : {".VXD", ".FOT", ".VBX"}) {
    if (RegistryKeyExists(key, HKEY_CLASSES_ROOT)) continue;
    EXPECT_EQ(DefaultIconLocation(key).substr(0, SystemFolder().size() + 12), SystemFolder() + "SHELL32.DLL,") << key;
  }
  EXPECT_EQ(DefaultIconLocation(".VXD"), SystemFolder() + "SHELL32.DLL,66");
}

TEST(OverlayWin, MergedIconReplacesTheOldOneWithoutLeaking) {
  HICON overlay = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING)));
  ASSERT_TRUE(overlay);
  HICON icon = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  const HICON first = icon;
  ASSERT_TRUE(MergeOverlayIcon(icon, overlay, true));
  EXPECT_NE(icon, first);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bm{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXICON));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  HICON small = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  ASSERT_TRUE(MergeOverlayIcon(small, overlay, false));
  AddLinkArrowOverlay(icon, small);  // first use loads what stays loaded
  const int before = lkfix::FreeGdiHandleSlots();
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(MergeOverlayIcon(icon, overlay, true));
    ASSERT_TRUE(MergeOverlayIcon(small, overlay, false));
    AddLinkArrowOverlay(icon, small);
  }
  EXPECT_EQ(lkfix::FreeGdiHandleSlots(), before);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_TRUE(DestroyIcon(small));

  HICON bad = nullptr;
  EXPECT_FALSE(MergeOverlayIcon(bad, overlay, true));  // no icon: nothing changes
  EXPECT_EQ(bad, nullptr);
  DestroyIcon(overlay);
}

// What an icon looks like drawn on white at its size.
std::vector<COLORREF> Drawn(HICON icon, int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The link arrow marks the lower left corner of a program's icon and leaves
// the rest of its picture as it was (the shell library's icon 29 under Wine
// is a whole picture, which made every link look the same).
TEST(OverlayWin, TheLinkArrowCoversACornerOnly) {
  const std::string program = SystemFolder() + "notepad.exe";
  const struct {
    UINT flag;
    int size;
  } cases[] = {{SHGFI_LARGEICON, GetSystemMetrics(SM_CXICON)}, {SHGFI_SMALLICON, GetSystemMetrics(SM_CXSMICON)}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.size);
    SHFILEINFOA info{};
    ASSERT_TRUE(SHGetFileInfoA(program.c_str(), 0, &info, sizeof info, SHGFI_ICON | k.flag)) << program;
    HICON icon = info.hIcon, other = CopyIcon(info.hIcon);
    const std::vector<COLORREF> before = Drawn(icon, k.size);
    AddLinkArrowOverlay(k.flag == SHGFI_LARGEICON ? icon : other, k.flag == SHGFI_LARGEICON ? other : icon);
    const std::vector<COLORREF> after = Drawn(icon, k.size);
    const int h = k.size / 2;
    int corner = 0, rest = 0;
    for (int y = 0; y < k.size; ++y)
      for (int x = 0; x < k.size; ++x)
        if (before[y * k.size + x] != after[y * k.size + x]) ++(x < h && y >= h ? corner : rest);
    EXPECT_GT(corner, 4) << "no arrow in the lower left corner";
    EXPECT_EQ(rest, 0) << "the program's own picture was painted over";
    DestroyIcon(icon);
    DestroyIcon(other);
  }
}

TEST(DeleteViaShellWin, SilentDeleteOfSeveralFiles) {
  const std::string folder = lkfix::ScratchFolder("shelldelete");
  std::vector<std::string> paths = {folder + "\\a.lnk", folder + "\\b c.lnk"};
  for (const std::string& p : paths) lkfix::WriteTextFile(p, "x");
  lkfix::WriteTextFile(folder + "\\keep.lnk", "x");
  EXPECT_TRUE(DeleteFilesViaShell(nullptr, paths, kDeleteSilent | kDeleteFilesOnly));
  EXPECT_FALSE(Exists(paths[0]));
  EXPECT_FALSE(Exists(paths[1]));
  EXPECT_TRUE(Exists(folder + "\\keep.lnk"));
  EXPECT_FALSE(DeleteFilesViaShell(nullptr, {}, kDeleteSilent));
}

TEST(ExecuteViaShellWin, StartsTheProgramWithItsParameters) {
  const std::string out = lkfix::ScratchFolder("shellexec") + "\\ran.txt";
  EXPECT_TRUE(ExecuteViaShell(Probe(), "record " + out + " hello there", "open", SW_SHOWNORMAL));
  ASSERT_TRUE(WaitForFile(out));
  EXPECT_EQ(lkfix::ReadTextFile(out), "hello there");
  const std::string out2 = lkfix::ScratchFolder("shellexec2") + "\\ran.txt";
  EXPECT_TRUE(ExecuteViaShell(Probe(), "record " + out2 + " no verb", "", SW_SHOWNORMAL));  // verb passed as nothing
  EXPECT_TRUE(WaitForFile(out2));
  EXPECT_FALSE(ExecuteViaShell("C:\\lktest\\no such program.exe", "", "open", SW_SHOWNORMAL));
  EXPECT_EQ(TextOrNothing(""), nullptr);
  const std::string t = "x";
  EXPECT_EQ(TextOrNothing(t), t.c_str());
}

// Asked for it, the caller gets the started program's process: it signals
// once the program has ended. A start that fails hands back none.
TEST(ExecuteViaShellWin, HandsBackTheStartedProcessWhenAsked) {
  const std::string out = lkfix::ScratchFolder("shellexec3") + "\\ran.txt";
  HANDLE process = INVALID_HANDLE_VALUE;
  EXPECT_TRUE(ExecuteViaShell(Probe(), "record " + out + " watched", "open", SW_SHOWNORMAL, &process));
  ASSERT_NE(process, nullptr);
  ASSERT_NE(process, INVALID_HANDLE_VALUE);
  ASSERT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeProcess(process, &code));
  EXPECT_EQ(code, 0u);
  CloseHandle(process);
  EXPECT_EQ(lkfix::ReadTextFile(out), "watched") << "the handle is of the program the shell started";
  process = INVALID_HANDLE_VALUE;
  EXPECT_FALSE(ExecuteViaShell("C:\\lktest\\no such program.exe", "", "open", SW_SHOWNORMAL, &process));
  EXPECT_EQ(process, nullptr);
}

// Wine 8 has no "properties" verb: the shell shows its own error box and
// the failure must come back as false, not as success.
TEST(PropertiesDialogWin, RefusalIsReported) {
  const std::string link = lkfix::ScratchFolder("properties") + "\\p.lnk";
  lkfix::WriteTextFile(link, "x");
  lkfix::TWindowCloser closer;
  EXPECT_FALSE(ShowPropertiesDialog(nullptr, link));
  EXPECT_FALSE(closer.Titles().empty());
}

// HKCR\.LNK\ShellNew is shared by the prefix; only this test touches it
// (Wine has none, so it is created here and removed again).
TEST(NewLinkWizardWin, CommandRunsOnAFreshEmptyLink) {
  const std::string folder = lkfix::ScratchFolder("newlink");
  const std::string out = folder + "\\command.txt";
  ASSERT_FALSE(RegistryKeyExists(".LNK\\ShellNew", HKEY_CLASSES_ROOT)) << "the prefix has a new-link command";
  EXPECT_FALSE(StartNewLinkWizard(folder));  // no command: nothing happens
  EXPECT_FALSE(Exists(folder + "\\newlink.lnk"));

  WriteRegistryValue(".LNK\\ShellNew", "Command", TLkVariant("\"" + Probe() + "\" record " + out + " %1 %2"),
                     HKEY_CLASSES_ROOT);
  EXPECT_TRUE(StartNewLinkWizard(folder));
  const bool ran = WaitForFile(out);
  EXPECT_TRUE(ran);
  EXPECT_EQ(lkfix::ReadTextFile(out), folder + "\\newlink.lnk %2");  // only the first %1
  EXPECT_TRUE(Exists(folder + "\\newlink.lnk"));
  // newlink.lnk is taken: the command runs on the next free name.
  DeleteFileA(out.c_str());
  EXPECT_TRUE(StartNewLinkWizard(folder));
  EXPECT_TRUE(WaitForFile(out));
  EXPECT_EQ(lkfix::ReadTextFile(out), folder + "\\newlink (2).lnk %2");
  // A command that cannot be started leaves no empty link behind.
  WriteRegistryValue(".LNK\\ShellNew", "Command", TLkVariant("C:\\no-such-folder\\wizard.exe %1"),
                     HKEY_CLASSES_ROOT);
  EXPECT_FALSE(StartNewLinkWizard(folder));
  EXPECT_FALSE(Exists(folder + "\\newlink (3).lnk"));
  EXPECT_FALSE(StartNewLinkWizard(""));  // no folder: nothing, not the drive's root
  DeleteRegistryKey(".LNK\\ShellNew", HKEY_CLASSES_ROOT);
}

}  // namespace
