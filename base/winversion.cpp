#include "base/winversion.h"

TMenuItemForm MenuItemFormOf(const TWindowsVersion& v) {
  // 9x: Windows 98 is 4.10 (95 is 4.0); NT: 2000 is 5.0.
  const bool apart = v.PlatformId == kPlatformWin32Windows ? v.Major > 4 || (v.Major == 4 && v.Minor >= 10)
                     : v.PlatformId == kPlatformWin32NT    ? v.Major >= 5
                                                           : false;
  return apart ? TMenuItemForm::TypeAndText : TMenuItemForm::TypeOnly;
}
