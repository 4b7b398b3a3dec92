#include "shared/core/userlist.h"

#include <gtest/gtest.h>

#include "base/stringlist.h"

namespace {

std::vector<std::string> Rows(const TStringList& names, const TStringList& desktops) {
  std::vector<std::string> rows;
  for (int i = 0; i < names.Count(); ++i) rows.push_back(names[i] + " | " + desktops[i]);
  return rows;
}

TEST(UserListNT, XpLayoutWithUnexpandedFolders) {
  TUserListNTInput in;
  in.DesktopValue = "%USERPROFILE%\\Desktop";
  in.ProfilesDirectory = "%SystemDrive%\\Documents and Settings";
  in.CommonDesktop = "C:\\Documents and Settings\\All Users\\Desktop";
  in.CommonEntryName = "All Users";
  in.Profiles = {
      {"S-1-5-18", "%systemroot%\\system32\\config\\systemprofile"},
      {"S-1-5-19", "%SystemDrive%\\Documents and Settings\\LocalService"},
      {"S-1-5-20", "%SystemDrive%\\Documents and Settings\\NetworkService"},
      {"S-1-5-21-1-1000", "%SystemDrive%\\Documents and Settings\\Anna"},
      {"S-1-5-21-1-1001", "%SystemDrive%\\DOCUMENTS AND SETTINGS\\Ben"},           // other letter case
      {"S-1-5-21-1-1002", std::nullopt},                                           // no ProfileImagePath
      {"S-1-5-21-1-1003", "%SystemDrive%\\Documents and Settings\\localservice"},  // exact comparison
      {"S-1-5-21-1-1004", "%SystemDrive%\\Documents and Settings"},                // nothing after the folder
  };
  TStringList names, desktops;
  names.Add("stale");
  EXPECT_EQ(BuildUserListNT(in, names, desktops), 4);
  EXPECT_EQ(Rows(names, desktops), (std::vector<std::string>{
                                       "All Users | C:\\Documents and Settings\\All Users\\Desktop",
                                       "Anna | C:\\Documents and Settings\\Anna\\Desktop",
                                       "Ben | C:\\Documents and Settings\\Ben\\Desktop",
                                       "localservice | C:\\Documents and Settings\\localservice\\Desktop",
                                   }));
}

TEST(UserListNT, WineLayout) {
  TUserListNTInput in{
      "%USERPROFILE%\\Desktop",
      "C:\\users",
      "C:\\users\\Public\\Desktop",
      "All Users",
      {{"S-1-5-21-0-0-0-1000", "C:\\users\\root"}, {"S-1-5-18", "C:\\windows\\system32\\config\\systemprofile"}}};
  TStringList names, desktops;
  EXPECT_EQ(BuildUserListNT(in, names, desktops), 2);
  EXPECT_EQ(Rows(names, desktops),
            (std::vector<std::string>{"All Users | C:\\users\\Public\\Desktop", "root | C:\\users\\root\\Desktop"}));
}

// NT 4.0 keeps every profile in %SystemRoot%\Profiles and names no
// profiles folder in the registry.
TEST(UserListNT, Nt4LayoutWithoutAProfilesFolderValue) {
  TUserListNTInput in{"%USERPROFILE%\\Desktop",
                      "",
                      "C:\\WINNT\\Profiles\\All Users\\Desktop",
                      "All Users",
                      {{"S-1-5-21-7-500", "%SystemRoot%\\Profiles\\Administrator"},
                       {"S-1-5-21-7-1000", "C:\\WINNT\\Profiles\\anna"},  // stored expanded
                       {"S-1-5-21-7-1001", "D:\\Elsewhere\\ben"}}};
  TStringList names, desktops;
  EXPECT_EQ(BuildUserListNT(in, names, desktops), 3);
  EXPECT_EQ(Rows(names, desktops), (std::vector<std::string>{
                                       "All Users | C:\\WINNT\\Profiles\\All Users\\Desktop",
                                       "Administrator | C:\\WINNT\\Profiles\\Administrator\\Desktop",
                                       "anna | C:\\WINNT\\Profiles\\anna\\Desktop",
                                   }));
}

TEST(UserList9x, DefaultRowThenEveryProfile) {
  TUserList9xInput in{
      "C:\\WINDOWS\\Profiles\\Anna\\Desktop",
      "C:\\WINDOWS\\Profiles\\Anna\\Desktop",
      "Default",
      true,
      {{"anna", "C:\\WINDOWS\\Profiles\\Anna"}, {"ben", "C:\\WINDOWS\\Profiles\\ben"}, {"carl", std::nullopt}}};
  TStringList names, desktops;
  EXPECT_EQ(BuildUserList9x(in, names, desktops), 3);
  EXPECT_EQ(Rows(names, desktops), (std::vector<std::string>{"Default | C:\\WINDOWS\\Profiles\\Anna\\Desktop",
                                                             "anna | C:\\WINDOWS\\Profiles\\Anna\\Desktop",
                                                             "ben | C:\\WINDOWS\\Profiles\\ben\\Desktop"}));
  in.HasProfileList = false;  // profiles switched off
  EXPECT_EQ(BuildUserList9x(in, names, desktops), 1);
  EXPECT_EQ(names[0], "Default");
}

}  // namespace
