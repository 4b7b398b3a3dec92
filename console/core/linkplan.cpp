#include "console/core/linkplan.h"

#include "base/locale.h"
#include "base/sysutils.h"
#include "shared/core/gatearg.h"

const char* LinkPlanResultText(TLinkPlanResult r) {
  switch (r) {
    case TLinkPlanResult::lpOk: return "ok";
    case TLinkPlanResult::lpAlreadyProtected: return "already protected";
    case TLinkPlanResult::lpNotProtected: return "not protected";
    case TLinkPlanResult::lpTargetHasSemicolon: return "the target contains \";\"";
    case TLinkPlanResult::lpArgumentTooLong: return "the argument does not fit the link";
    case TLinkPlanResult::lpNoModeMarker: return "the argument is no gate argument";
  }
  return "?";
}

bool IsProtectedTarget(const std::string& target, const std::string& gateFileName) {
  return AnsiLowerCase(target).find(gateFileName) != std::string::npos;
}

TIconChoice ProtectedIconFor(const std::string& target, const TDefaultIconLookup& defaultIconLocation) {
  const std::string ext = AnsiUpperCase(ExtractFileExt(target));
  if (ext == ".SCR" || ext == ".EXE" || ext == ".ICO") return {target, 0};
  std::string kind = ext;
  if (kind.empty()) kind = (target.size() == 3 && target[1] == ':') ? "Drive" : "Folder";
  const std::string spec = defaultIconLocation ? defaultIconLocation(kind) : std::string();
  const auto comma = spec.find(',');
  if (comma == std::string::npos) return {spec, 0};
  return {spec.substr(0, comma), StrToIntDef(Trim(spec.substr(comma + 1)), 0)};
}

TLinkPlanResult PlanProtect(TLinkFields& link, const TProtectSettings& s) {
  if (IsProtectedTarget(link.Target, s.GateFileName)) return TLinkPlanResult::lpAlreadyProtected;
  // The reading side splits at the first ";": such a target could not come back.
  if (link.Target.find(';') != std::string::npos) return TLinkPlanResult::lpTargetHasSemicolon;
  const std::string token = EncodeGateArgument(link.Target, link.Arguments, s.Mode);
  if (token.size() > kMaxLinkArguments) return TLinkPlanResult::lpArgumentTooLong;

  TIconChoice icon = ProtectedIconFor(link.Target, s.DefaultIconLocation);
  link.Arguments = token;
  link.Target = AnsiLowerCase(s.GatePath);
  if (s.IconSelect) icon = {link.Target, s.IconSelectIndex};
  link.IconFile = icon.IconFile;
  link.IconIndex = icon.IconIndex;
  return TLinkPlanResult::lpOk;
}

TLinkPlanResult PlanRevert(TLinkFields& link, const std::string& gateFileName) {
  if (!IsProtectedTarget(link.Target, gateFileName)) return TLinkPlanResult::lpNotProtected;
  const TGateArgument d = DecodeGateArgument(link.Arguments);
  // Without a marker the arguments are not ours: decoding them would write garbage.
  if (!d.HasMarker || d.Target.empty()) return TLinkPlanResult::lpNoModeMarker;
  if (d.Target.size() > kMaxLinkPath || d.Arguments.size() > kMaxLinkArguments)
    return TLinkPlanResult::lpArgumentTooLong;
  link.Target = d.Target;
  link.Arguments = d.Arguments;
  const std::string ext = AnsiUpperCase(ExtractFileExt(d.Target));
  link.IconFile = (ext == ".EXE" || ext == ".ICO" || ext == ".SCR") ? d.Target : std::string();
  link.IconIndex = 0;
  return TLinkPlanResult::lpOk;
}

bool LinkReadsBackAs(const TLinkFields& w, const TLinkFields& r, const TSameTarget& sameTarget) {
  const bool target = sameTarget ? sameTarget(w.Target, r.Target) : AnsiSameText(w.Target, r.Target);
  return target && w.Arguments == r.Arguments && w.WorkingFolder == r.WorkingFolder &&
         w.Description == r.Description && w.ShowCommand == r.ShowCommand && w.HotKey == r.HotKey;
}
