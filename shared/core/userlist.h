// How the registry's profile lists become the console's user list: parallel
// rows of user names and desktop folders, row 0 the common entry.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TStringList;

// One subkey of a ProfileList key; ImagePath is nothing when the profile
// has no readable "ProfileImagePath" (such a profile is skipped).
struct TProfileEntry {
  std::string KeyName;
  std::optional<std::string> ImagePath;
};

struct TUserListNTInput {
  std::string DesktopValue;       // HKCU User Shell Folders "Desktop", unexpanded
  std::string ProfilesDirectory;  // ProfileList "ProfilesDirectory", as stored; empty when missing
  std::string CommonDesktop;      // the all-users desktop folder
  std::string CommonEntryName;
  std::vector<TProfileEntry> Profiles;  // in registry order
};
// Fills both lists and answers the number of rows. Profiles outside the
// profiles folder and those of LocalService and NetworkService are left out.
// Without a "ProfilesDirectory" (NT 4.0: the value came with Windows 2000)
// the profiles folder is NT 4.0's fixed one, kNT4ProfilesDirectory.
inline constexpr const char* kNT4ProfilesDirectory = "%SystemRoot%\\Profiles";
int BuildUserListNT(const TUserListNTInput& in, TStringList& names, TStringList& desktops);

struct TUserList9xInput {
  std::string DesktopValue;  // HKCU Shell Folders "Desktop"
  std::string UserDesktop;   // the current user's desktop folder
  std::string CommonEntryName;
  bool HasProfileList = false;  // the ProfileList key exists and lists its subkeys
  std::vector<TProfileEntry> Profiles;
};
int BuildUserList9x(const TUserList9xInput& in, TStringList& names, TStringList& desktops);
