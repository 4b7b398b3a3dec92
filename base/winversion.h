// The version a Windows system reports of itself (GetVersionEx: platform,
// major and minor version, service text), and what follows from it where no
// system call is needed. The platform ids are the system's own numbers.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t kPlatformWin32s = 0;
constexpr uint32_t kPlatformWin32Windows = 1;  // the 9x line
constexpr uint32_t kPlatformWin32NT = 2;

struct TWindowsVersion {
  uint32_t PlatformId = 0;
  uint32_t Major = 0;
  uint32_t Minor = 0;
  std::string ServiceText;  // CSD version
};

// How a menu item is handed to the system.
enum class TMenuItemForm {
  // Kind and text in one field, as Windows 95 and NT 4.0 know it: an
  // owner-drawn item's field holds its value, so the system has no text of it.
  TypeOnly,
  // Kind and text apart (Windows 98 and 2000 on): an owner-drawn item keeps
  // its text in the system, where a screen reader finds it.
  TypeAndText,
};
// The form a system of this version takes; one it does not know (Win32s,
// another platform, a version that could not be read) gets TypeOnly, which
// every system takes.
TMenuItemForm MenuItemFormOf(const TWindowsVersion& version);
