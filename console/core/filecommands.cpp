#include "console/core/filecommands.h"

#include "base/sysutils.h"

namespace {
std::string FailureText(const char* what, const TCopyOutcome& o) {
  return std::string(" ") + what + " failed for " + IntToStr(o.Failed()) + " of " + IntToStr(o.Total) + " file(s).";
}
}  // namespace

std::string BackupStatusText(const TCopyOutcome& o) {
  return o.AllCopied() ? kStatusBackupDone : FailureText("Backup", o);
}

std::string RestoreStatusText(const TCopyOutcome& o) {
  if (o.Total == 0) return kStatusNoBackups;
  return o.AllCopied() ? kStatusRestoreDone : FailureText("Restore", o);
}

std::string PasteStatusText(const TCopyOutcome& o) { return o.AllCopied() ? std::string() : FailureText("Paste", o); }

TLinkView ViewOfTag(intptr_t tag) {
  switch (tag) {
    case 1: return TLinkView::lvSmallIcon;
    case 2: return TLinkView::lvList;
    case 3: return TLinkView::lvReport;
    default: return TLinkView::lvIcon;
  }
}

int ViewButtonPosition(int32_t stored, int buttons) { return stored >= 0 && stored < buttons ? stored : 0; }

std::string BrowseCaption(int rows) { return rows > 0 ? "Browsing Directory" : "No Shortcuts Found"; }
