#include "console/core/statustexts.h"

#include "base/sysutils.h"

namespace {
std::string FailureText(const char* what, const TBatchOutcome& o) {
  const int total = o.Done + o.Skipped + o.Failed;
  return std::string(" ") + what + " failed for " + IntToStr(o.Failed) + " of " + IntToStr(total) + " link(s).";
}
}  // namespace

std::string ProtectStatusText(const TBatchOutcome& o) {
  return o.Failed == 0 ? kStatusProtected : FailureText("Protection", o);
}

std::string RevertStatusText(const TBatchOutcome& o) {
  return o.Failed == 0 ? kStatusReverted : FailureText("Revert", o);
}
