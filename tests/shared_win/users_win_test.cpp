#include <gtest/gtest.h>

#include <algorithm>

#include "base/stringlist.h"
#include "base/sysutils.h"
#include "shared/win/installpaths.h"
#include "shared/win/users.h"
#include "tests/shared_win/winfixture.h"

namespace {

std::vector<std::string> Rows(const TStringList& names, const TStringList& desktops) {
  std::vector<std::string> rows;
  for (int i = 0; i < names.Count(); ++i) rows.push_back(names[i] + "|" + desktops[i]);
  return rows;
}

bool Has(const std::vector<std::string>& rows, const std::string& row) {
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST(UsersNTWin, WineLayoutWithFixtureProfiles) {
  const std::string anna = lkfix::AddUserProfile("lksvc_anna");
  const std::string ben = lkfix::AddUserProfile("LkSvc Ben");
  const std::string broken = lkfix::AddBrokenUserProfile("S-1-5-21-4242-4242-broken");
  TStringList names, desktops;
  const int count = EnumerateUsersNT(names, desktops);
  lkfix::RemoveUserProfile(anna);
  lkfix::RemoveUserProfile(ben);
  lkfix::RemoveUserProfile(broken);

  const std::vector<std::string> rows = Rows(names, desktops);
  SCOPED_TRACE(names.Text());
  EXPECT_EQ(count, names.Count());
  ASSERT_EQ(desktops.Count(), names.Count());
  ASSERT_GE(count, 1);
  EXPECT_EQ(rows[0], "All Users|C:\\users\\Public\\Desktop");
  const std::string user = CurrentUserName();
  EXPECT_TRUE(Has(rows, user + "|C:\\users\\" + user + "\\Desktop"));
  EXPECT_TRUE(Has(rows, "lksvc_anna|" + lkfix::UserDesktopOf("lksvc_anna")));
  EXPECT_TRUE(Has(rows, "LkSvc Ben|" + lkfix::UserDesktopOf("LkSvc Ben")));
  for (const std::string& r : rows) EXPECT_EQ(r.find("systemprofile"), std::string::npos) << r;
}

TEST(UsersNTWin, ProbeSeesTheSameUsers) {
  const lkfix::TRunResult run = lkfix::RunProgram("\"" + lkfix::ProgramFolder() + "svc_probe.exe\" usersnt");
  EXPECT_EQ(lkfix::ValueOf(run.Output, "row0"), "All Users|C:\\users\\Public\\Desktop") << run.Output;
}

// The 9x enumeration, run by a probe that Wine shows Windows 98.
TEST(Users9xWin, DefaultRowThenEveryProfile) {
  lkfix::Add9xProfileList({"anna", "ben"});
  const std::string exe = "svc_probe_users9x.exe";
  const std::string path = lkfix::CopyProgram("svc_probe.exe", exe);
  lkfix::SetProgramVersion(exe, "win98");
  const lkfix::TRunResult run = lkfix::RunProgram("\"" + path + "\" users9x");
  lkfix::Remove9xProfileList();
  const lkfix::TRunResult without = lkfix::RunProgram("\"" + path + "\" users9x");
  lkfix::SetProgramVersion(exe, "");
  DeleteFileA(path.c_str());

  SCOPED_TRACE(run.Output);
  const std::string desktop = UserDesktopFolder();
  EXPECT_EQ(lkfix::ValueOf(run.Output, "rows"), "3");
  EXPECT_EQ(lkfix::ValueOf(run.Output, "row0"), "Default|" + desktop);
  EXPECT_EQ(lkfix::ValueOf(run.Output, "row1"), "anna|C:\\WINDOWS\\Profiles\\anna\\Desktop");
  EXPECT_EQ(lkfix::ValueOf(run.Output, "row2"), "ben|C:\\WINDOWS\\Profiles\\ben\\Desktop");
  // Profiles switched off: the common row alone.
  EXPECT_EQ(lkfix::ValueOf(without.Output, "rows"), "1") << without.Output;
}

TEST(CommonDesktopWin, FixtureLinkLiesOnTheFirstRowsDesktop) {
  const std::string link = lkfix::AddCommonDesktopLink("LkSvc Common", SystemFolder() + "notepad.exe");
  TStringList names, desktops;
  EnumerateUsersNT(names, desktops);
  EXPECT_EQ(link, desktops[0] + "\\LkSvc Common.lnk");
  EXPECT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(link.c_str());
}

TEST(SkinsWin, FoldersAndFilesButNotHiddenOnes) {
  const std::string skins = SkinsFolder();
  lkfix::MakeFolders(skins.substr(0, skins.size() - 1));
  for (const char* f : {"Aqua", "Metal", "Hidden"}) CreateDirectoryA((skins + f).c_str(), nullptr);
  SetFileAttributesA((skins + "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  lkfix::WriteTextFile(skins + "readme.txt", "x");
  TStringList names;
  ListSkinNames(names);
  ASSERT_GE(names.Count(), 1);
  EXPECT_EQ(names[0], "Default");
  // The install folder is the prefix's, which other programs' tests fill
  // too: what this case made is listed, the hidden folder is not.
  std::vector<std::string> rest;
  for (int i = 1; i < names.Count(); ++i) rest.push_back(names[i]);
  for (const char* made : {"Aqua", "Metal", "readme.txt"})
    EXPECT_NE(std::find(rest.begin(), rest.end(), made), rest.end()) << made;
  EXPECT_EQ(std::find(rest.begin(), rest.end(), "Hidden"), rest.end());
  EXPECT_EQ(std::find(rest.begin(), rest.end(), "Default"), rest.end());
  DeleteFileA((skins + "readme.txt").c_str());
  for (const char* f : {"Aqua", "Metal", "Hidden"}) {
    SetFileAttributesA((skins + f).c_str(), FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA((skins + f).c_str());
  }
  RemoveDirectoryA(skins.c_str());
}

}  // namespace
