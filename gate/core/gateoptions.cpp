#include "gate/core/gateoptions.h"

#include "base/stringlist.h"
#include "base/sysutils.h"

TGateOptions ParseOptionCodes(const std::string& optionText) {
  TGateOptions o;
  TStringList items;
  items.SetCommaText(optionText);
  for (int i = 0; i < items.Count(); ++i) {
    int32_t code = 0;
    if (!TryStrToInt(items[i], code)) {
      o.Skipped.push_back(items[i]);
      continue;
    }
    switch (code) {
      case ocUseLog:
        o.UseLog = true;
        o.WatchAfterLaunch = true;
        break;
      case ocMessageOnly: o.MessageOnly = true; break;
      case ocStealth: o.Stealth = true; break;
      case ocLogOff:
      case ocReboot:
      case ocShutdown:
      case ocScreenSaver:
      case ocLockWorkstation:
        o.ExitAction = static_cast<uint8_t>(code);
        o.WatchAfterLaunch = true;
        break;
      default: break;  // group heads 0, 2, 5 and codes of no meaning here
    }
  }
  return o;
}
