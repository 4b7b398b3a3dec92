// The Configuration page's decisions: the overlay colour of a grid square,
// stored choices read back into range, the skin to select, and whether a
// typed program password can be stored.
#pragma once

#include <array>
#include <string>
#include <vector>

inline constexpr const char* kStatusConfigSaved = " Configuration data saved successfully.";
inline constexpr const char* kStatusNeedPassword = " You must enter a password.";
inline constexpr const char* kStatusConfigCancelled = " Changes cancelled.";
inline constexpr const char* kStatusPasswordUnstorable = " This password cannot be stored, please choose another one.";
inline constexpr const char* kStatusPasswordNotKept = " The password could not be stored; the previous one is kept.";

// The colour squares by their Tag: top row blue, cyan, red, bottom row
// green, yellow, black.
inline constexpr std::array<const char*, 6> kOverlayColourNames{"BLUE", "CYAN", "RED", "GREEN", "YELLOW", "BLACK"};
inline constexpr const char* kDefaultOverlayColour = "RED";
// The colour of a square's Tag; empty for a Tag that is no square.
std::string OverlayColourOfTag(int tag);
// The colour `name` is (letter case ignored), else the default.
std::string KnownOverlayColour(const std::string& name);

// A stored position in a list of `count` entries: itself when in range,
// else the first entry.
int ClampChoice(int value, int count);

// The gate carries five icons ("ICON_1" to "ICON_5"); "IconSelect" is a
// position among them.
inline constexpr int kGateIconCount = 5;

// The entry of the skins list to select: the one named `skinName` (letter
// case ignored, as folder names are) when it is listed, else `skinSelect`
// clamped. So a change in the folders' order does not switch the skin.
int ChooseSkin(const std::vector<std::string>& names, const std::string& skinName, int skinSelect);

// The program password is stored as the typed text minus the key "2953"
// byte by byte; a byte equal to its key byte becomes 0x00, which a registry
// text cannot hold (it would read back cut there).
inline constexpr const char* kProgramPasswordKey = "2953";
enum class TPasswordGroup {
  pgSave,          // store the password, "doAuthenticate" and "ContextAuth"
  pgNeedPassword,  // authentication asked for with an empty password
  pgUnstorable     // the stored form would hold a 0x00
};
TPasswordGroup DecidePasswordGroup(bool checkAuth, bool checkContextAuth, const std::string& typed);
