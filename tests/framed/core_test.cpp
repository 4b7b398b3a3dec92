// The framed controls' portable rules: the check tree's on a tree of plain
// records, where every change is logged as "?node:state" (asked),
// "=node:state" (stored and reported) and "U" (children updated), so a case
// states the exact event order; and the wheel's notches.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controls/core/checkrules.h"
#include "controls/core/wheelnotches.h"

namespace {

// 0 R            1
//   1 A          1
//     2 A1       1
//     3 A2       1
//       4 A2a    1
//     5 A3       0 (no box)
//   6 B          1
// 7 H            0 (a group head)
//   8 H1         1
//   9 H2        -1 (never painted)
// 10 P           1
//   11 C1        1
//   12 C2        0
class Tree : public TLkCheckHost {
 public:
  Tree() {
    parents_ = {-1, 0, 1, 1, 3, 1, 0, -1, 7, 7, -1, 10, 10};
    states_ = {1, 1, 1, 1, 1, 0, 1, 0, 1, -1, 1, 1, 0};
  }
  int ParentOf(int n) const override { return Valid(n) ? parents_[n] : -1; }
  int FirstChildOf(int n) const override {
    for (int i = 0; i < Count(); ++i)
      if (parents_[i] == n && n >= 0) return i;
    return -1;
  }
  int NextSiblingOf(int n) const override {
    if (!Valid(n)) return -1;
    for (int i = n + 1; i < Count(); ++i)
      if (parents_[i] == parents_[n]) return i;
    return -1;
  }
  int StateIndexOf(int n) const override { return Valid(n) ? states_[n] : 0; }
  void StoreStateIndex(int n, TLkCheckState s) override { states_.at(n) = s; }
  bool StateChanging(int n, TLkCheckState s) override {
    log += "?" + std::to_string(n) + ":" + std::to_string(s) + " ";
    return !veto.count(n);
  }
  void StateChanged(int n, TLkCheckState s) override {
    log += "=" + std::to_string(n) + ":" + std::to_string(s) + " ";
  }
  void ChildrenUpdated() override { log += "U "; }

  int Count() const { return static_cast<int>(parents_.size()); }
  bool Valid(int n) const { return n >= 0 && n < Count(); }
  void Set(int n, int raw) { states_.at(n) = raw; }
  std::string States() const {
    std::string s;
    for (int v : states_) s += v < 0 ? '-' : static_cast<char>('0' + v);
    return s;
  }

  std::string log;
  std::set<int> veto;

 private:
  std::vector<int> parents_;
  std::vector<int> states_;
};

enum class Op { Toggle, Set, SetQuietly };

struct Case {
  const char* name;
  std::vector<std::pair<int, int>> before;  // raw state indices to set first
  std::set<int> veto;
  Op op;
  int node;
  TLkCheckState state;  // Set and SetQuietly
  bool cascade;
  const char* events;
  const char* after;  // every node's state afterwards, '-' for -1
};

TEST(CheckRules, ChangesAndCascades) {
  // Before each case the states are "111110101-110".
  const Case cases[] = {
      {"a head (no box) ignores a toggle", {}, {}, Op::Toggle, 7, {}, true, "", "111110101-110"},
      {"unchecked becomes checked, one node without cascade", {}, {}, Op::Toggle, 2, {}, false, "?2:2 =2:2 ",
       "112110101-110"},
      {"checked becomes unchecked", {{2, 2}}, {}, Op::Toggle, 2, {}, false, "?2:1 =2:1 ", "111110101-110"},
      {"partial becomes checked, never unchecked", {{1, 3}}, {}, Op::Toggle, 1, {}, false, "?1:2 =1:2 ",
       "121110101-110"},
      {"never painted reads as unchecked", {}, {}, Op::Toggle, 9, {}, false, "?9:2 =9:2 ", "1111101012110"},
      {"cascade: the node, its descendants in pre-order, then the ancestors", {}, {}, Op::Toggle, 1, {}, true,
       "?1:2 =1:2 ?2:2 =2:2 ?3:2 =3:2 ?4:2 =4:2 U ?0:3 =0:3 ", "322220101-110"},
      {"a vetoed node cascades nothing", {}, {1}, Op::Toggle, 1, {}, true, "?1:2 ", "111110101-110"},
      {"a vetoed descendant keeps its own children", {}, {3}, Op::Toggle, 1, {}, true,
       "?1:2 =1:2 ?2:2 =2:2 ?3:2 U ?0:3 =0:3 ", "322110101-110"},
      {"a vetoed ancestor stops the way up", {}, {3}, Op::Toggle, 4, {}, true, "?4:2 =4:2 U ?3:2 ",
       "111120101-110"},
      {"a boxless parent is left alone", {}, {}, Op::Toggle, 8, {}, true, "?8:2 =8:2 U ", "111110102-110"},
      {"a boxless sibling counts neither way", {}, {}, Op::Toggle, 11, {}, true, "?11:2 =11:2 U ?10:2 =10:2 ",
       "111110101-220"},
      {"all boxed children unchecked: the parent too", {{10, 2}, {11, 2}}, {}, Op::Toggle, 11, {}, true,
       "?11:1 =11:1 U ?10:1 =10:1 ", "111110101-110"},
      {"a partial child makes the parent partial", {{1, 3}}, {}, Op::Toggle, 6, {}, true,
       "?6:2 =6:2 U ?0:3 =0:3 ", "331110201-110"},
      {"all children checked: the parent checked", {{1, 2}}, {}, Op::Toggle, 6, {}, true,
       "?6:2 =6:2 U ?0:2 =0:2 ", "221110201-110"},
      {"set to the state it has: nothing", {}, {}, Op::Set, 1, ckUnchecked, true, "", "111110101-110"},
      {"set never painted to unchecked: nothing", {}, {}, Op::Set, 9, ckUnchecked, true, "", "111110101-110"},
      {"set cascades like a toggle", {}, {}, Op::Set, 3, ckChecked, true, "?3:2 =3:2 ?4:2 =4:2 U ?1:3 =1:3 ?0:3 =0:3 ",
       "331220101-110"},
      {"set without cascade changes one node", {}, {}, Op::Set, 3, ckChecked, false, "?3:2 =3:2 ",
       "111210101-110"},
      {"set partial: the children stay", {}, {}, Op::Set, 1, ckPartial, true, "?1:3 =1:3 ?0:3 =0:3 ",
       "331110101-110"},
      {"set no box: the children stay", {}, {}, Op::Set, 3, ckNoBox, true, "?3:0 =3:0 ?1:1 =1:1 ?0:1 =0:1 ",
       "111010101-110"},
      {"a vetoed set cascades nothing", {}, {3}, Op::Set, 3, ckChecked, true, "?3:2 ", "111110101-110"},
      {"quiet set: no question, no cascade", {}, {1}, Op::SetQuietly, 1, ckChecked, true, "=1:2 ",
       "121110101-110"},
      {"quiet set to the same state: nothing", {}, {}, Op::SetQuietly, 7, ckNoBox, true, "", "111110101-110"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tree t;
    for (auto [n, raw] : c.before) t.Set(n, raw);
    t.veto = c.veto;
    switch (c.op) {
      case Op::Toggle: ToggleCheckState(t, c.node, c.cascade); break;
      case Op::Set: SetCheckStateCascading(t, c.node, c.state, c.cascade); break;
      case Op::SetQuietly: SetCheckStateQuietly(t, c.node, c.state); break;
    }
    EXPECT_EQ(t.log, c.events);
    EXPECT_EQ(t.States(), c.after);
  }
}

TEST(CheckRules, StateIndexReadsAsItsLowByteAndMinusOneAsUnchecked) {
  const std::pair<int, TLkCheckState> cases[] = {
      {-1, ckUnchecked}, {-7, ckUnchecked}, {0, ckNoBox}, {1, ckUnchecked}, {2, ckChecked}, {3, ckPartial},
      {0x102, ckChecked}};
  for (auto [raw, state] : cases) EXPECT_EQ(CheckStateOf(raw), state) << raw;
}

TEST(CheckRules, ABoxIsTheStripLeftOfTheTextDownToItsBottomEdge) {
  const TLkRect text{40, 20, 90, 36};
  struct Hit {
    int x, y, imageWidth;
    bool on;
  };
  const Hit cases[] = {
      {40, 20, 0, true},   // the text's left edge belongs to the box
      {41, 28, 0, false},  // the text itself
      {25, 28, 0, true},   // 40 - 16 < 25
      {24, 28, 0, false},  // the lower bound is excluded
      {30, 36, 0, true},   // the bottom edge counts
      {30, 37, 0, false},
      {30, 19, 0, false},
      {9, 28, 16, true},  // with images the strip is wider
      {8, 28, 16, false},
  };
  for (const Hit& h : cases) EXPECT_EQ(OnCheckBox(h.x, h.y, text, 16, h.imageWidth), h.on) << h.x << "," << h.y;
}

TEST(CheckRules, APendingClickTogglesOnlyOverTheSameSelectedNodeInside) {
  struct Step {
    int pressSelected;
    bool onBox;
    int releaseSelected;
    bool inside;
    bool toggles;
  };
  const Step cases[] = {
      {3, true, 3, true, true},    // press and release on the box
      {3, true, 3, false, false},  // released outside the client area
      {3, true, 4, true, false},   // the selection moved
      {3, false, 3, true, false},  // pressed on the text
      {-1, true, -1, true, false}, // nothing selected
  };
  for (const Step& s : cases) {
    TLkCheckClick click;
    click.Press(s.pressSelected, s.onBox);
    EXPECT_EQ(click.Release(s.releaseSelected, s.inside), s.toggles)
        << s.pressSelected << " " << s.onBox << " " << s.releaseSelected << " " << s.inside;
  }
  // A release that does not toggle leaves the click pending until the next
  // press: one off the box (on the text) clears it, one on the box renews it.
  TLkCheckClick click;
  click.Press(2, true);
  EXPECT_FALSE(click.Release(2, false));
  EXPECT_TRUE(click.Pending());
  click.Press(2, false);
  EXPECT_FALSE(click.Pending());
  EXPECT_FALSE(click.Release(2, true));
  click.Press(2, true);
  EXPECT_TRUE(click.Release(2, true));
  click.Clear();
  EXPECT_FALSE(click.Release(2, true));
}

}  // namespace

namespace {

TEST(WheelNotches, FractionsAddUpAndTurningBackStartsOver) {
  struct Case {
    std::vector<int> deltas;
    std::vector<int> notches;
  };
  const Case cases[] = {
      {{120, -120, 240}, {1, -1, 2}},
      {{40, 40, 40, 40}, {0, 0, 1, 0}},
      {{-30, -30, -30, -30, -30}, {0, 0, 0, -1, 0}},
      {{100, 100, 100}, {0, 1, 1}},
      {{80, -80, -80}, {0, 0, -1}},  // back the other way: the 80 up is dropped
      {{360 + 20, 100}, {3, 1}},
  };
  for (const Case& c : cases) {
    TLkWheelNotches wheel;
    std::vector<int> got;
    for (int d : c.deltas) got.push_back(wheel.Add(d));
    EXPECT_EQ(got, c.notches);
  }
}

}  // namespace
