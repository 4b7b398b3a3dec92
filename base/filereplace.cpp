#include "base/filereplace.h"

#include "base/locale.h"

namespace lk_replace {

namespace {

constexpr const char* kAsideSuffix = ".old~";

// Nothing by that name: "file not found", or "path not found" (no folder).
bool Missing(const lk_fileops::TLookup& found) { return !found.Found && (found.Error == 2 || found.Error == 3); }

}  // namespace

std::string AsideName(const std::string& target) { return target + kAsideSuffix; }

std::string TargetOfAside(const std::string& name) {
  const std::string suffix = kAsideSuffix;
  if (name.size() <= suffix.size() || !AnsiSameText(name.substr(name.size() - suffix.size()), suffix)) return {};
  return name.substr(0, name.size() - suffix.size());
}

bool ReplaceByRenames(TRenameOps& ops, const std::string& from, const std::string& to) {
  const std::string aside = AsideName(to);
  const lk_fileops::TLookup target = ops.LookUp(to);
  const lk_fileops::TLookup kept = ops.LookUp(aside);
  // A folder in either place, a name that cannot be looked up now, or a
  // read-only target (which the one-step replace refuses too, and a rename
  // would not): not to be moved about.
  if (target.Folder || kept.Folder || target.ReadOnly || !(target.Found || Missing(target)) ||
      !(kept.Found || Missing(kept)))
    return false;
  if (target.Found) {
    if (kept.Found && !ops.Remove(aside)) return false;  // stale: the target is whole
    if (!ops.Move(to, aside)) return false;
  } else if (!kept.Found) {
    return ops.Move(from, to);
  }
  // The old file is aside now, or was left there by a replace that stopped.
  if (!ops.Move(from, to)) {
    ops.Move(aside, to);
    return false;
  }
  ops.Remove(aside);
  return true;
}

std::string FileToRead(TRenameOps& ops, const std::string& target) {
  if (!Missing(ops.LookUp(target))) return target;
  const std::string aside = AsideName(target);
  const lk_fileops::TLookup kept = ops.LookUp(aside);
  if (!kept.Found || kept.Folder) return target;
  if (ops.Move(aside, target)) return target;
  // A replace may have moved its new file in meanwhile.
  return ops.LookUp(target).Found ? target : aside;
}

bool RemoveWithAside(TRenameOps& ops, const std::string& target) {
  const std::string aside = AsideName(target);
  const bool asideGone = ops.Remove(aside) || Missing(ops.LookUp(aside));
  if (!asideGone) return false;
  return ops.Remove(target) || Missing(ops.LookUp(target));
}

std::vector<std::string> NamesWithStoppedReplaces(std::vector<std::string> names,
                                                  const std::vector<std::string>& asides) {
  for (const std::string& aside : asides) {
    const std::string target = TargetOfAside(aside);
    if (target.empty()) continue;
    bool listed = false;
    for (const std::string& name : names) listed = listed || AnsiSameText(name, target);
    if (!listed) names.push_back(target);
  }
  return names;
}

}  // namespace lk_replace
