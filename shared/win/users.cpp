#include "shared/win/users.h"

#include <windows.h>

#include "base/stringlist.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"

namespace {

constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
constexpr const char* kProfileListNT = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr const char* kProfileList9x = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";

// The subkeys of a profile list with their "ProfileImagePath"; a profile
// without one is kept as nothing (and skipped), not fatal to the list.
std::vector<TProfileEntry> ReadProfiles(const std::string& listKey, bool& listed) {
  TStringList keys;
  listed = ReadRegistrySubkeyNames(HKEY_LOCAL_MACHINE, listKey, keys);
  std::vector<TProfileEntry> profiles;
  for (int i = 0; i < keys.Count(); ++i) {
    TProfileEntry entry{keys[i], std::nullopt};
    try {
      entry.ImagePath = ReadRegistryString(HKEY_LOCAL_MACHINE, listKey + "\\" + keys[i], "ProfileImagePath");
    } catch (const ELkRegistryError&) {
    }
    profiles.push_back(std::move(entry));
  }
  return profiles;
}

}  // namespace

int EnumerateUsersNT(TStringList& names, TStringList& desktops) {
  TUserListNTInput in;
  in.DesktopValue = ReadRegistryString(HKEY_CURRENT_USER, std::string(kExplorerKey) + "User Shell Folders", "Desktop");
  try {
    in.ProfilesDirectory = ReadRegistryString(HKEY_LOCAL_MACHINE, kProfileListNT, "ProfilesDirectory");
  } catch (const ELkRegistryError&) {
    // NT 4.0 has no such value; a missing list still fails below.
  }
  in.CommonDesktop = CommonDesktopFolder();
  in.CommonEntryName = CommonEntryName();
  bool listed = false;
  in.Profiles = ReadProfiles(kProfileListNT, listed);
  return BuildUserListNT(in, names, desktops);
}

int EnumerateUsers9x(TStringList& names, TStringList& desktops) {
  TUserList9xInput in;
  in.DesktopValue = ReadRegistryString(HKEY_CURRENT_USER, std::string(kExplorerKey) + "Shell Folders", "Desktop");
  in.UserDesktop = UserDesktopFolder();
  in.CommonEntryName = CommonEntryName();
  if (RegistryKeyExists(kProfileList9x, HKEY_LOCAL_MACHINE))
    in.Profiles = ReadProfiles(kProfileList9x, in.HasProfileList);
  return BuildUserList9x(in, names, desktops);
}

void ListSkinNames(TStringList& names) {
  names.Clear();
  names.Add("Default");
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((SkinsFolder() + "*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    // Hidden and system entries are not skins.
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    names.Add(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}
