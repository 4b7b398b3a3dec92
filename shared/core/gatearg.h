// The Gate argument: the single command-line argument of a protected link.
// It carries the link's real target and arguments, scrambled, plus the
// settings mode, as Base64 text followed by "1". Every link already
// protected on a machine holds these bytes, so both directions stay exact.
#pragma once

#include <string>
#include <string_view>

// Mode markers "(0)" .. "(4)": 0 the common settings entry, 1 the per-user
// entry. Only 0 and 1 are written; all five are recognised.
inline constexpr int kModeMarkerCount = 5;
extern const char* const ModeMarkers[kModeMarkerCount];
inline constexpr unsigned char kTokenKey = 0x6B;

// Every byte XOR the token key; each is the other's inverse.
std::string ScrambleText(std::string_view text);
std::string UnscrambleText(std::string_view text);

// Base64(scrambled + marker of `mode`) + "1". Raises Exception when the mode
// is outside 0..4.
std::string WrapToken(std::string_view scrambled, int mode);

// Takes a token apart in place: drops its last character (handed back in
// `lastChar`, NUL for an empty token), decodes the rest and, when it ends in
// a mode marker, cuts the marker off and sets `mode` to its index. Without a
// trailing marker the decoded text stays whole and `mode` keeps its value.
void UnwrapToken(std::string& token, int& mode, char& lastChar);

// The plain text of a link: the target alone, or target ";" arguments.
std::string JoinGateText(std::string_view target, std::string_view arguments);
// The inverse: split at the first ";" (later ones belong to the arguments).
void SplitGateText(std::string_view plain, std::string& target, std::string& arguments);

// A Gate argument taken apart: what the console lists and reverts, what the
// gate starts and which entry it reads. Without a trailing marker the text is
// no Gate argument of ours (HasMarker false): Mode is then 0, as the gate
// assumes, and Target and Arguments are the decoded text split as usual.
struct TGateArgument {
  std::string Target;
  std::string Arguments;
  int Mode = 0;
  bool HasMarker = false;
};
TGateArgument DecodeGateArgument(std::string_view token);
// The Gate argument of a target, its arguments and a mode (0..4; raises
// Exception outside).
std::string EncodeGateArgument(std::string_view target, std::string_view arguments, int mode);
