// The users of the machine with their desktop folders, and the skins list.
#pragma once

#include <string>

#include "shared/core/elapsed.h"
#include "shared/core/userlist.h"

class TStringList;

// Row 0: CommonEntryName with the all-users desktop; then one row per
// profile under the profiles folder. Raises ELkRegistryError when the
// desktop or profiles-folder values are missing (the lists then hold what
// was added); a profile without "ProfileImagePath" is skipped.
int EnumerateUsersNT(TStringList& names, TStringList& desktops);
// Row 0: CommonEntryName ("Default" on the 9x line) with the current
// desktop; then every subkey of the 9x ProfileList that names its
// "ProfileImagePath" (none when profiles are switched off).
int EnumerateUsers9x(TStringList& names, TStringList& desktops);
// "Default", then every entry of SkinsFolder but "." and "..".
void ListSkinNames(TStringList& names);
