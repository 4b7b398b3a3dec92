#include "shared/core/sysfacts.h"

#include "base/sysutils.h"

std::string AddPathSeparator(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + '\\';
}

std::string ProgramFolderOf(const std::string& programPath) {
  const std::size_t cut = programPath.find_last_of("\\:");
  return cut == std::string::npos ? std::string() : programPath.substr(0, cut + 1);
}

TInstallPaths ComputeInstallPaths(const std::optional<std::string>& installPathValue,
                                  const std::string& programPath,
                                  const std::string& systemDirectory, bool runningOnNT) {
  TInstallPaths p;
  p.InstallFolder = AddPathSeparator(installPathValue ? *installPathValue : ProgramFolderOf(programPath));
  p.SystemFolder = AddPathSeparator(systemDirectory);
  p.CommonEntryName = runningOnNT ? "All Users" : "Default";
  p.GateFileName = "passbox.exe";
  p.GatePath = p.SystemFolder + p.GateFileName;
  p.ContextPath = p.SystemFolder + "context.exe";
  p.UserDataPath = p.InstallFolder + "lmdata.bin";
  p.LogPath = p.InstallFolder + "lmlog.bin";
  p.SkinsFolder = p.InstallFolder + "skins\\";
  p.BackupFolder = p.InstallFolder + "backup";
  return p;
}

int WindowsVersionKindOf(const TOsVersionFacts& f) {
  const std::string service = Trim(f.ServiceText);
  if (f.PlatformId == kPlatformWin32Windows) {
    if (f.Minor < 10) return service == "B" ? wvkWin95B : wvkWin95;
    if (f.Minor < 90) {
      if (f.KernelVersion == 0x0004005A) return wvkWinMe;
      return service == "A" ? wvkWin98A : wvkWin98;
    }
    return f.Minor == 90 ? wvkWinMe : wvkUnknown;
  }
  if (f.PlatformId == kPlatformWin32NT) {
    switch (f.Major) {
      case 3: return wvkNT3;
      case 4: return wvkNT4;
      case 5: return wvkNT5;
      default: return wvkUnknown;
    }
  }
  return wvkUnknown;
}

const std::vector<uint8_t>& AdministratorsSid() {
  // Revision 1, two sub-authorities, SECURITY_NT_AUTHORITY {0,0,0,0,0,5},
  // then 32 (built-in domain) and 544 (administrators), little-endian.
  static const std::vector<uint8_t> sid = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};
  return sid;
}

bool GroupsIncludeAdministrators(const std::vector<TTokenGroup>& groups) {
  for (const TTokenGroup& g : groups)
    if (g.Sid == AdministratorsSid()) return true;
  return false;
}
