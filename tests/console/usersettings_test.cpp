#include <gtest/gtest.h>

#include "console/core/usereditors.h"
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


// The editors' model, driven as the page drives it. Steps: "read N" (the
// rows are read), "fail" (the file could not be), "choose R" (a row is
// clicked or reached by an arrow key), "type" (an editor changes), "type
// while loading" (an editor's change event fired by loading a row), "save"
// (Ctrl+S). What the page then does is written down: "store R" (the editors
// go into row R), "load R" (row R comes into the editors), "write" (the file
// is written), "refuse".
namespace editors {

std::string Drive(TUserEditors& e, const std::vector<std::string>& steps) {
  std::string done;
  auto note = [&](const std::string& what) { done += (done.empty() ? "" : ", ") + what; };
  auto load = [&](int row) {
    e.BeginLoad(row);
    e.EndLoad();
    note("load " + std::to_string(row));
  };
  for (const std::string& step : steps) {
    if (step.rfind("read ", 0) == 0) {
      const int first = e.RowsRead(std::stoi(step.substr(5)));
      if (first >= 0) load(first);
    } else if (step == "fail") {
      e.ReadFailed();
    } else if (step.rfind("choose ", 0) == 0) {
      const TRowMove move = e.Choose(std::stoi(step.substr(7)));
      if (move.Store >= 0) {
        e.StoredHeld();
        note("store " + std::to_string(move.Store));
      }
      if (move.Load >= 0) load(move.Load);
    } else if (step == "type") {
      if (!e.EditorChanged()) note("ignored");
    } else if (step == "type while loading") {
      e.BeginLoad(e.HeldRow());
      if (e.EditorChanged()) note("counted");
      e.EndLoad();
    } else if (step == "save") {
      switch (e.Save()) {
        case TEditorsSave::esRefuse: note("refuse"); break;
        case TEditorsSave::esStoreHeldThenWrite:
          e.StoredHeld();
          note("store " + std::to_string(e.HeldRow()));
          [[fallthrough]];
        case TEditorsSave::esWriteRows:
          e.Saved();
          note("write");
          break;
      }
    }
  }
  return done;
}

TEST(UserSettingsEditors, AlwaysHoldARowOrTakeNoText) {
  struct Case {
    const char* name;
    std::vector<std::string> steps;
    const char* done;
    int held;
    bool takesText;
    bool unsaved;
  };
  const Case cases[] = {
      {"before the rows are read nothing is held or saved", {"type", "save"}, "ignored, refuse", -1, false, false},
      {"the first row is held as soon as the rows are read", {"read 3"}, "load 0", 0, true, false},
      {"typed at once, it is saved into the first row", {"read 3", "type", "save"}, "load 0, store 0, write", 0, true,
       false},
      {"a save with nothing typed still writes every row", {"read 3", "save"}, "load 0, store 0, write", 0, true,
       false},
      {"typing marks the page changed", {"read 3", "type"}, "load 0", 0, true, true},
      {"loading a row is no edit", {"read 3", "type while loading", "choose 2"}, "load 0, load 2", 2, true, false},
      {"another row: the typed text goes with its own row first",
       {"read 3", "type", "choose 1"},
       "load 0, store 0, load 1",
       1,
       true,
       true},
      {"the held row chosen again changes nothing", {"read 3", "type", "choose 0"}, "load 0", 0, true, true},
      {"untouched editors are not stored when leaving", {"read 3", "choose 1", "choose 2"}, "load 0, load 1, load 2",
       2, true, false},
      {"an edit left in another row stays unsaved until the save",
       {"read 3", "type", "choose 1", "save"},
       "load 0, store 0, load 1, store 1, write",
       1,
       true,
       false},
      {"a row the list does not have is not chosen", {"read 2", "choose 2", "choose -1"}, "load 0", 0, true, false},
      {"no user entry: nothing held, and the empty list is what is written",
       {"read 0", "type", "save"},
       "ignored, write",
       -1,
       false,
       false},
      {"a file that could not be read is never written",
       {"fail", "type", "choose 0", "save"},
       "ignored, refuse",
       -1,
       false,
       false},
      {"a failed read after a good one drops the held row", {"read 3", "type", "fail", "save"}, "load 0, refuse", -1,
       false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TUserEditors e;
    EXPECT_EQ(Drive(e, c.steps), c.done);
    EXPECT_EQ(e.HeldRow(), c.held);
    EXPECT_EQ(e.TakesText(), c.takesText);
    EXPECT_EQ(e.Unsaved(), c.unsaved);
  }
}

}  // namespace editors

}  // namespace
