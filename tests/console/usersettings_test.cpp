#include <gtest/gtest.h>

#include "console/core/usersettings.h"

namespace {

std::vector<uint8_t> States(std::initializer_list<int> s) { return {s.begin(), s.end()}; }

TEST(UserSettingsFlags, OptionTextToNodeStates) {
  struct Case {
    const char* text;
    int nodes;
    std::vector<uint8_t> states;
    std::vector<std::string> ignored;
  };
  const Case cases[] = {
      {"", 11, States({0, 1, 0, 1, 1, 0, 1, 1, 1, 1, 1}), {}},
      {"1,3,8", 11, States({0, 2, 0, 2, 1, 0, 1, 1, 2, 1, 1}), {}},
      {"10", 11, States({0, 1, 0, 1, 1, 0, 1, 1, 1, 1, 2}), {}},
      // The 9x line has no "Lock Workstation": its code is no node there.
      {"10,1", 10, States({0, 2, 0, 1, 1, 0, 1, 1, 1, 1}), {"10"}},
      // Not codes, out of the tree, or a head: left out, the rest applies.
      {"x,11,-1,4", 11, States({0, 1, 0, 1, 2, 0, 1, 1, 1, 1, 1}), {"x", "11", "-1"}},
      {"0,2,5,6", 11, States({0, 1, 0, 1, 1, 0, 2, 1, 1, 1, 1}), {"0", "2", "5"}},
  };
  for (const Case& c : cases) {
    const TFlagStates r = FlagStatesFromOptions(c.text, c.nodes);
    EXPECT_EQ(r.States, c.states) << c.text;
    EXPECT_EQ(r.Ignored, c.ignored) << c.text;
  }
}

TEST(UserSettingsFlags, CheckedNodesGiveAscendingCodes) {
  EXPECT_EQ(OptionsFromFlagStates(States({0, 2, 0, 2, 1, 0, 1, 1, 2, 1, 1})), "1,3,8");
  EXPECT_EQ(OptionsFromFlagStates(States({0, 1, 0, 1, 1, 0, 1, 1, 1, 1, 1})), "");
  EXPECT_EQ(OptionsFromFlagStates(States({0, 1, 0, 1, 1, 0, 1, 1, 1, 1, 2})), "10");
  // A stored text comes back as it was.
  for (const char* text : {"1,3,8", "4,9", "1,10", ""})
    EXPECT_EQ(OptionsFromFlagStates(FlagStatesFromOptions(text, 11).States), text);
}

TEST(UserSettingsFlags, OneOptionPerGroup) {
  const std::pair<int, std::vector<int>> cases[] = {
      {7, {6, 8, 9, 10}}, {3, {4}}, {1, {}}, {0, {}}, {5, {}}, {11, {}},
  };
  for (const auto& [code, siblings] : cases) EXPECT_EQ(FlagGroupSiblings(code, 11), siblings) << code;
  EXPECT_EQ(FlagGroupSiblings(7, 10), (std::vector<int>{6, 8, 9}));
}

TEST(UserSettingsMessage, TagCommandsReplaceTheSelection) {
  EXPECT_EQ(TagReplacement(TTagCommand::tcUsername, "x"), "<uname>");
  EXPECT_EQ(TagReplacement(TTagCommand::tcTime, ""), "<time>");
  EXPECT_EQ(TagReplacement(TTagCommand::tcDate, ""), "<date>");
  EXPECT_EQ(TagReplacement(TTagCommand::tcBold, "Hi"), "<b>Hi</b>");
  EXPECT_EQ(TagReplacement(TTagCommand::tcItalic, ""), "<i></i>");
  EXPECT_EQ(TagReplacement(TTagCommand::tcUnderlined, "a b"), "<u>a b</u>");
}

TEST(UserSettingsMessage, RemoveTagsInAnyCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"<B>Hello</b> <uname>", "Hello "},
      {"<I><U>x</U></I> at <TIME> on <Date>, <sname>", "x at  on , "},
      {"no tags <c> <bb>", "no tags <c> <bb>"},
      // One pass per tag: what a removal joins is not looked at again.
      {"<<b>b>", "<b>"},
  };
  for (auto [text, plain] : cases) EXPECT_EQ(RemoveMessageTags(text), plain) << text;
}

}  // namespace
