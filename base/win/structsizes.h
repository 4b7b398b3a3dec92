// The sizes to give the system structures that grew with newer systems.
// The build declares a newer system than the oldest one the programs run on
// (Windows 95 and NT 4.0), so that the declarations of newer functions, which
// are looked up on first use, are there; `sizeof` then gives a structure the
// newer system's size, and an older system refuses a size it does not know.
// These are the sizes every supported system accepts; the programs use none
// of the fields that came later.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

// Up to lfMessageFont: no iPaddedBorderWidth (Vista).
inline constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
// Up to cch: no hbmpItem (Windows 98 and 2000). A 64-bit program runs only
// on systems that know the whole structure, and there the shorter size
// would not be the system's old one (padding comes before hbmpItem).
inline constexpr UINT kMenuItemInfoSize =
    sizeof(void*) == 4 ? offsetof(MENUITEMINFOA, cch) + sizeof(UINT) : sizeof(MENUITEMINFOA);
// Up to lpszText: no lParam (common controls 4.70) and no lpReserved (XP).
inline constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOA, lpszText) + sizeof(LPSTR);
