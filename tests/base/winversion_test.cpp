#include <gtest/gtest.h>

#include "base/winversion.h"

namespace {

// The numbers each system reports, and the form of menu item it takes.
TEST(MenuItemForm, OldestSystemsGetTheOneFieldFormEveryOtherKnownSystemTheTextApart) {
  constexpr TMenuItemForm old = TMenuItemForm::TypeOnly, apart = TMenuItemForm::TypeAndText;
  const struct {
    const char* system;
    uint32_t platform, major, minor;
    TMenuItemForm form;
  } rows[] = {
      {"Windows 95", kPlatformWin32Windows, 4, 0, old},
      {"a 9x 4.3 (before 98)", kPlatformWin32Windows, 4, 3, old},
      {"Windows 98", kPlatformWin32Windows, 4, 10, apart},
      {"Windows Me", kPlatformWin32Windows, 4, 90, apart},
      {"a 9x 5.0", kPlatformWin32Windows, 5, 0, apart},
      {"NT 3.51", kPlatformWin32NT, 3, 51, old},
      {"NT 4.0", kPlatformWin32NT, 4, 0, old},
      {"NT 4.10 (no such)", kPlatformWin32NT, 4, 10, old},  // the 9x line's rule is not the NT line's
      {"2000", kPlatformWin32NT, 5, 0, apart},
      {"XP", kPlatformWin32NT, 5, 1, apart},
      {"Server 2003", kPlatformWin32NT, 5, 2, apart},
      {"Vista", kPlatformWin32NT, 6, 0, apart},
      {"7 (Wine's default)", kPlatformWin32NT, 6, 1, apart},
      {"10", kPlatformWin32NT, 10, 0, apart},
      {"Win32s", kPlatformWin32s, 3, 10, old},
      {"CE", 3, 5, 0, old},
      {"no version read", 0, 0, 0, old},
  };
  for (const auto& r : rows) {
    const TWindowsVersion v{r.platform, r.major, r.minor, ""};
    EXPECT_EQ(MenuItemFormOf(v), r.form) << r.system << ": platform " << r.platform << " " << r.major << "." << r.minor;
  }
}

}  // namespace
