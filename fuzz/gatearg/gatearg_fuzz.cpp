// Reads arbitrary bytes as a Gate argument the way the gate does, then
// checks that what it read builds a token that reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shared/core/gatearg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string token(reinterpret_cast<const char*>(data), size);
  int mode = 0;
  char last;
  UnwrapToken(token, mode, last);
  if (mode < 0 || mode >= kModeMarkerCount) std::abort();
  std::string target, arguments;
  SplitGateText(UnscrambleText(token), target, arguments);

  // A target with ";" reads back split at it (no stored link holds one).
  if (target.find(';') == std::string::npos) {
    std::string rebuilt = WrapToken(ScrambleText(JoinGateText(target, arguments)), mode);
    if (rebuilt.size() % 4 != 1 || rebuilt.back() != '1') std::abort();
    int mode2 = 9;
    UnwrapToken(rebuilt, mode2, last);
    std::string t2, a2;
    SplitGateText(UnscrambleText(rebuilt), t2, a2);
    if (mode2 != mode || t2 != target || a2 != arguments) std::abort();
  }
  return 0;
}
