#include <gtest/gtest.h>

#include "shared/core/shellrules.h"

namespace {

TEST(FallbackIcon, TableByTypeKey) {
  const std::string sys = "C:\\windows\\system32\\", gate = "C:\\windows\\system32\\passbox.exe";
  struct Row {
    const char* key;
    const char* icon;
  } rows[] = {
      {".DOC", "C:\\windows\\system32\\SHELL32.DLL,1"},  {".COM", "C:\\windows\\system32\\SHELL32.DLL,2"},
      {".EXE", "C:\\windows\\system32\\SHELL32.DLL,2"},  {".HLP", "C:\\windows\\system32\\SHELL32.DLL,23"},
      {".INI", "C:\\windows\\system32\\SHELL32.DLL,63"}, {".INF", "C:\\windows\\system32\\SHELL32.DLL,63"},
      {".TXT", "C:\\windows\\system32\\SHELL32.DLL,64"}, {".BAT", "C:\\windows\\system32\\SHELL32.DLL,65"},
      {".DLL", "C:\\windows\\system32\\SHELL32.DLL,66"}, {".SYS", "C:\\windows\\system32\\SHELL32.DLL,66"},
      {".VBX", "C:\\windows\\system32\\SHELL32.DLL,66"}, {".OCX", "C:\\windows\\system32\\SHELL32.DLL,66"},
      {".VXD", "C:\\windows\\system32\\SHELL32.DLL,66"}, {".FON", "C:\\windows\\system32\\SHELL32.DLL,67"},
      {".TTF", "C:\\windows\\system32\\SHELL32.DLL,68"}, {".FOT", "C:\\windows\\system32\\SHELL32.DLL,69"},
      {".txt", "C:\\windows\\system32\\passbox.exe,0"},  // compared exactly
      {".XYZ", "C:\\windows\\system32\\passbox.exe,0"},  {"Folder", "C:\\windows\\system32\\passbox.exe,0"},
      {"", "C:\\windows\\system32\\passbox.exe,0"},
  };
  for (const Row& r : rows) EXPECT_EQ(FallbackIconLocation(r.key, sys, gate), r.icon) << r.key;
  EXPECT_EQ(IconLookupTypeKey(".EXE"), ".COM");
  EXPECT_EQ(IconLookupTypeKey(".exe"), ".exe");
}

TEST(NewLink, CommandGetsTheNewLinkFile) {
  struct Row {
    const char* command;
    const char* line;
  } rows[] = {
      {"rundll32 appwiz.cpl,NewLinkHere %1", "rundll32 appwiz.cpl,NewLinkHere C:\\d\\newlink.lnk"},
      {"wiz %2 x", "wiz C:\\d\\newlink.lnk x"},
      {"wiz %2 %1 %1", "wiz %2 C:\\d\\newlink.lnk %1"},  // only the first %1
      {"wiz", "wiz"},
  };
  for (const Row& r : rows) EXPECT_EQ(NewLinkCommandLine(r.command, NewLinkFileName("C:\\d")), r.line) << r.command;
  EXPECT_EQ(NewLinkFileName("C:\\d", 2), "C:\\d\\newlink (2).lnk");
  EXPECT_EQ(NewLinkFileName("C:\\d", 12), "C:\\d\\newlink (12).lnk");
}

TEST(DeleteViaShell, OptionsAndPathList) {
  EXPECT_EQ(DeleteOperationFlags(0), 0);
  EXPECT_EQ(DeleteOperationFlags(kDeleteSilent), 0x614);
  EXPECT_EQ(DeleteOperationFlags(kDeleteAllowUndo), 0x40);
  EXPECT_EQ(DeleteOperationFlags(kDeleteFilesOnly), 0x80);
  EXPECT_EQ(DeleteOperationFlags(kDeleteSilent | kDeleteAllowUndo | kDeleteFilesOnly), 0x6D4);
  EXPECT_EQ(DoubleNulPathList({"a.lnk", "b c.lnk"}), std::string("a.lnk\0b c.lnk\0\0\0", 16));
}

}  // namespace

namespace {

std::string LinkHeader(int32_t show) {
  std::string h(76, '\0');
  const unsigned char start[20] = {0x4C, 0, 0, 0, 0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  h.replace(0, 20, reinterpret_cast<const char*>(start), 20);
  h.replace(0x3C, 4, reinterpret_cast<const char*>(&show), 4);
  return h;
}

TEST(LinkHeader, ShowCommandOnlyFromARealHeader) {
  EXPECT_EQ(ShowCommandFromLinkHeader(LinkHeader(1)), 1);
  EXPECT_EQ(ShowCommandFromLinkHeader(LinkHeader(3)), 3);
  EXPECT_EQ(ShowCommandFromLinkHeader(LinkHeader(7)), 7);
  EXPECT_EQ(ShowCommandFromLinkHeader(LinkHeader(2)), std::nullopt);  // treated as normal by readers
  EXPECT_EQ(ShowCommandFromLinkHeader(LinkHeader(3).substr(0, 75)), std::nullopt);
  std::string other = LinkHeader(3);
  other[4] = 0x02;  // another CLSID
  EXPECT_EQ(ShowCommandFromLinkHeader(other), std::nullopt);
}

}  // namespace
