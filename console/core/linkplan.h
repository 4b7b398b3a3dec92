// What Protect and Revert do to one link, decided on the link as it is read
// at that moment (never on a row's copy from the last scan). The Windows side
// reads the link, asks here what to write, writes it and reads it back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The fields of a link record that protection and reversal look at or change.
struct TLinkFields {
  std::string Target;
  std::string Arguments;
  std::string WorkingFolder;
  std::string Description;
  std::string IconFile;
  int32_t IconIndex = 0;
  int32_t ShowCommand = 0;
  uint16_t HotKey = 0;
};

// What a link file can hold: a target path of MAX_PATH with its terminator,
// and an arguments field of INFOTIPSIZE (1024) with its terminator. A longer
// text written into a link would come back cut on Windows.
constexpr std::size_t kMaxLinkPath = 259;
constexpr std::size_t kMaxLinkArguments = 1023;

enum class TLinkPlanResult {
  lpOk,
  lpAlreadyProtected,  // protect: nothing to do
  lpNotProtected,      // revert: nothing to do
  lpTargetHasSemicolon,
  lpArgumentTooLong,   // the Gate argument (or the restored target or arguments) would not fit
  lpNoModeMarker,      // revert: the argument is not a Gate argument
};

// A skipped link is left alone and is not a failure.
inline bool PlanSkipped(TLinkPlanResult r) {
  return r == TLinkPlanResult::lpAlreadyProtected || r == TLinkPlanResult::lpNotProtected;
}

const char* LinkPlanResultText(TLinkPlanResult r);

// A link is protected when its lower-cased target contains the gate's file name.
bool IsProtectedTarget(const std::string& target, const std::string& gateFileName);

// The icon a protected link keeps when the gate's own icon is not chosen.
struct TIconChoice {
  std::string IconFile;
  int32_t IconIndex = 0;
};
// defaultIconLocation(kind) gives the registry's icon specification for a
// type key (".TXT", "Folder", "Drive"): "file,index".
using TDefaultIconLookup = std::function<std::string(const std::string& kind)>;
TIconChoice ProtectedIconFor(const std::string& target, const TDefaultIconLookup& defaultIconLocation);

struct TProtectSettings {
  int Mode = 0;                  // 0 common settings, 1 per-user settings
  std::string GatePath;          // the gate's full path
  std::string GateFileName;      // "passbox.exe"
  bool IconSelect = false;       // Settings "doIconSelect": show the gate's icon
  int32_t IconSelectIndex = 0;   // which of the gate's icons
  TDefaultIconLookup DefaultIconLocation;
};

// Protect: on lpOk `link` holds the record to write (target the gate, arguments
// the Gate argument; description, working folder, show command, hot key kept).
TLinkPlanResult PlanProtect(TLinkFields& link, const TProtectSettings& settings);

// Revert: on lpOk `link` holds the original target and arguments again.
TLinkPlanResult PlanRevert(TLinkFields& link, const std::string& gateFileName);


// After writing: does the link read back carry what was written? The target
// comes back in its short form, so its comparison is the caller's.
using TSameTarget = std::function<bool(const std::string& written, const std::string& readBack)>;
bool LinkReadsBackAs(const TLinkFields& written, const TLinkFields& readBack, const TSameTarget& sameTarget);
