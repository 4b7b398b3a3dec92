#include "shared/core/sysfacts.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallPaths, InstallFolderFromValueOrProgramFolder) {
  struct Case {
    std::optional<std::string> value;
    const char* folder;
  } cases[] = {
      {std::nullopt, "C:\\Program Files\\Lockmere\\"},
      {"D:\\Lock", "D:\\Lock\\"},
      {"D:\\Lock\\", "D:\\Lock\\"},
      {"", "\\"},
  };
  for (const Case& c : cases) {
    const TInstallPaths p =
        ComputeInstallPaths(c.value, "C:\\Program Files\\Lockmere\\lkmain.exe", "C:\\WINDOWS\\system32", true);
    EXPECT_EQ(p.InstallFolder, c.folder) << c.value.value_or("<none>");
  }
}

TEST(InstallPaths, EveryNameDerivesFromTheTwoFolders) {
  const TInstallPaths p = ComputeInstallPaths("E:\\lm", "x", "C:\\WINDOWS\\SYSTEM\\", false);
  EXPECT_EQ(p.SystemFolder, "C:\\WINDOWS\\SYSTEM\\");
  EXPECT_EQ(p.CommonEntryName, "Default");
  EXPECT_EQ(p.GateFileName, "passbox.exe");
  EXPECT_EQ(p.GatePath, "C:\\WINDOWS\\SYSTEM\\passbox.exe");
  EXPECT_EQ(p.ContextPath, "C:\\WINDOWS\\SYSTEM\\context.exe");
  EXPECT_EQ(p.UserDataPath, "E:\\lm\\lmdata.bin");
  EXPECT_EQ(p.LogPath, "E:\\lm\\lmlog.bin");
  EXPECT_EQ(p.SkinsFolder, "E:\\lm\\skins\\");
  EXPECT_EQ(p.BackupFolder, "E:\\lm\\backup");
  EXPECT_EQ(ComputeInstallPaths("E:\\lm", "x", "C:\\w", true).CommonEntryName, "All Users");
}

TEST(InstallPaths, ProgramFolderEndsAtLastBackslashOrColon) {
  EXPECT_EQ(ProgramFolderOf("C:\\a\\b\\lkmain.exe"), "C:\\a\\b\\");
  EXPECT_EQ(ProgramFolderOf("C:lkmain.exe"), "C:");
  EXPECT_EQ(ProgramFolderOf("lkmain.exe"), "");
  EXPECT_EQ(AddPathSeparator(""), "\\");
  EXPECT_EQ(AddPathSeparator("C:"), "C:\\");
}

TEST(WindowsVersionKind, Table) {
  struct Row {
    uint32_t platform, major, minor;
    const char* service;
    uint32_t kernel;
    int kind;
  } rows[] = {
      {1, 4, 0, "", 0, wvkWin95},
      {1, 4, 0, " B ", 0, wvkWin95B},
      {1, 4, 0, "b", 0, wvkWin95},  // exact case
      {1, 4, 0, " C", 0, wvkWin95},
      {1, 4, 9, "B", 0, wvkWin95B},
      {1, 4, 10, "", 0, wvkWin98},
      {1, 4, 10, " A ", 0, wvkWin98A},
      {1, 4, 10, "a", 0, wvkWin98},
      {1, 4, 10, " A ", 0x0004005A, wvkWinMe},  // the kernel says Me
      {1, 4, 10, "", 0x0004000A, wvkWin98},
      {1, 4, 89, "A", 0, wvkWin98A},
      {1, 4, 90, "", 0, wvkWinMe},
      {1, 4, 90, "A", 0x000A0000, wvkWinMe},
      {1, 4, 91, "", 0, wvkUnknown},
      {2, 3, 51, "", 0, wvkNT3},
      {2, 4, 0, "Service Pack 6", 0, wvkNT4},
      {2, 5, 1, "Service Pack 3", 0, wvkNT5},
      {2, 5, 0, "", 0, wvkNT5},
      {2, 6, 1, "", 0, wvkUnknown},
      {2, 10, 0, "", 0, wvkUnknown},
      {0, 3, 10, "", 0, wvkUnknown},  // Win32s
      {3, 5, 0, "", 0, wvkUnknown},   // CE
  };
  for (const Row& r : rows) {
    const TOsVersionFacts f{r.platform, r.major, r.minor, r.service, r.kernel};
    EXPECT_EQ(WindowsVersionKindOf(f), r.kind) << "platform " << r.platform << " " << r.major << "." << r.minor << " '"
                                               << r.service << "' kernel " << std::hex << r.kernel;
  }
}

TEST(Administrator, GroupListsAnswerByTheAdministratorsSid) {
  const std::vector<uint8_t> admins = AdministratorsSid();
  const std::vector<uint8_t> users = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x21, 0x02, 0, 0};  // S-1-5-32-545
  const std::vector<uint8_t> everyone = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};                  // S-1-1-0
  std::vector<uint8_t> adminsPrefix = admins;
  adminsPrefix.pop_back();  // same bytes, one short: not the same SID
  constexpr uint32_t enabled = 0x4, denyOnly = 0x10;
  struct Case {
    const char* what;
    std::vector<TTokenGroup> groups;
    bool admin;
  } cases[] = {
      {"none", {}, false},
      {"plain user", {{everyone, enabled}, {users, enabled}}, false},
      {"enabled admin", {{everyone, enabled}, {admins, enabled}}, true},
      {"deny-only admin", {{users, enabled}, {admins, denyOnly}}, true},
      {"admin without attributes", {{admins, 0}}, true},
      {"truncated sid", {{adminsPrefix, enabled}}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(GroupsIncludeAdministrators(c.groups), c.admin) << c.what;
  // S-1-5-32-544: revision 1, two sub-authorities, NT authority, 32, 544.
  EXPECT_EQ(admins, (std::vector<uint8_t>{1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 32, 2, 0, 0}));
}

}  // namespace
