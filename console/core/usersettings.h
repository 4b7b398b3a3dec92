// The User Settings page's decisions: the option codes to and from the
// flags tree's node states, the one-option-per-group rule, the message
// editor's tag commands and Remove Tags. The page reads its controls, asks
// here, and writes the answer back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The flags tree: a node's absolute index is its option code. Heads (0, 2,
// 5) carry no check box and are never stored.
struct TFlagNode {
  const char* Text;
  int Parent;  // the head's code, -1 for a head
};
inline constexpr int kFlagNodeCount = 11;
inline constexpr int kLockWorkstationCode = 10;  // the NT line's last node
extern const TFlagNode kFlagNodes[kFlagNodeCount];
bool IsFlagGroupHead(int code);

// Node states as the check tree keeps them.
inline constexpr uint8_t kFlagNoBox = 0;
inline constexpr uint8_t kFlagUnchecked = 1;
inline constexpr uint8_t kFlagChecked = 2;

// The states a row's option text gives a tree of `nodeCount` nodes (11, or
// 10 where "Lock Workstation" is gone): heads without a box, every option
// unchecked, each listed code checked. An entry that is no code of a boxed
// node of this tree ("x", "11", "-1", "0", 10 of 10 nodes) is left out and
// listed in `Ignored`; the others still apply.
struct TFlagStates {
  std::vector<uint8_t> States;
  std::vector<std::string> Ignored;
};
TFlagStates FlagStatesFromOptions(std::string_view optionText, int nodeCount);
// The codes of the checked nodes, ascending, as comma text ("1,3,8").
std::string OptionsFromFlagStates(const std::vector<uint8_t>& states);

// One option per group: the other options of `code`'s group, which the page
// unchecks when `code` changes. None for a head or an unknown code.
std::vector<int> FlagGroupSiblings(int code, int nodeCount);

// The message editor's commands: each replaces the selection with its text.
enum class TTagCommand { tcUsername, tcTime, tcDate, tcBold, tcItalic, tcUnderlined };
std::string TagReplacement(TTagCommand command, std::string_view selection);
// Every tag the gate knows, taken out of the text, letters of any case.
std::string RemoveMessageTags(std::string_view text);
