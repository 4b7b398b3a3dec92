#include "shared/core/userlist.h"

#include "base/stringlist.h"
#include "base/sysutils.h"
#include "shared/core/lkstrings.h"

namespace {

// The last path component: the part after the first "\" while one remains.
std::string LastComponent(std::string path) {
  while (path.find('\\') != std::string::npos) path = TextAfter("\\", path);
  return path;
}

}  // namespace

int BuildUserListNT(const TUserListNTInput& in, TStringList& names, TStringList& desktops) {
  const std::string desktopName = TextAfter("\\", in.DesktopValue);
  const std::string profilesName =
      TextAfter("\\", in.ProfilesDirectory.empty() ? std::string(kNT4ProfilesDirectory) : in.ProfilesDirectory);
  // The stored profiles folder may be unexpanded ("%SystemDrive%\..."); the
  // common desktop lies inside it and gives its real beginning.
  const std::string profilesRoot = TextBefore(profilesName, in.CommonDesktop) + profilesName;

  names.Clear();
  desktops.Clear();
  names.Add(in.CommonEntryName);
  desktops.Add(in.CommonDesktop);
  for (const TProfileEntry& p : in.Profiles) {
    if (!p.ImagePath) continue;
    const std::string image = TextAfter("\\", *p.ImagePath);
    const std::string tail = TextAfter(profilesName, image);
    if (Trim(tail).empty() || tail == "\\LocalService" || tail == "\\NetworkService") continue;
    desktops.Add(profilesRoot + tail + "\\" + desktopName);
    names.Add(TextAfter("\\", tail));
  }
  return names.Count();
}

int BuildUserList9x(const TUserList9xInput& in, TStringList& names, TStringList& desktops) {
  const std::string desktopName = LastComponent(in.DesktopValue);
  names.Clear();
  desktops.Clear();
  names.Add(in.CommonEntryName);
  desktops.Add(in.UserDesktop);
  if (in.HasProfileList) {
    for (const TProfileEntry& p : in.Profiles) {
      if (!p.ImagePath) continue;
      desktops.Add(*p.ImagePath + "\\" + desktopName);
      names.Add(p.KeyName);
    }
  }
  return names.Count();
}
