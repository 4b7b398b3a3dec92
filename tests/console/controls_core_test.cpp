// The side bar's selection, scrolling, layout and hit tests; the list view's
// sort order and last-column fit; the combo box's type-ahead.
#include <gtest/gtest.h>

#include "controls/core/combosearch.h"
#include "controls/core/listsort.h"
#include "controls/core/sidebarmodel.h"

namespace {

TLkSideBarModel Bar(int items, TLkSideFrameStyle style = TLkSideFrameStyle::fsButton) {
  TLkSideBarModel m;
  m.FrameStyle = style;
  m.Groups.emplace_back().Caption = "Menu Bar";
  for (int i = 0; i < items; ++i) {
    TLkSideItemModel item;
    item.ImageIndex = i;
    item.Caption = "Item " + std::to_string(i);
    m.Groups[0].Items.push_back(item);
  }
  m.OpenFirstGroup();
  return m;
}

TEST(SideBar, SelectedItemRules) {
  TLkSideBarModel m = Bar(4);
  m.Groups[0].Items[2].Visible = false;
  EXPECT_TRUE(m.SetSelectedItem(1));
  EXPECT_EQ(m.SelectedItem(), 1);
  EXPECT_FALSE(m.SetSelectedItem(9));  // beyond the last item: unchanged
  EXPECT_EQ(m.SelectedItem(), 1);
  EXPECT_TRUE(m.SetSelectedItem(2));   // hidden: cleared
  EXPECT_EQ(m.SelectedItem(), -1);
  EXPECT_FALSE(m.SetSelectedItem(-5)); // already -1
}

TEST(SideBar, SelectedButtonRules) {
  TLkSideBarModel m = Bar(2);
  m.Groups.emplace_back().Caption = "Second";
  m.SetSelectedItem(1);
  EXPECT_FALSE(m.SetSelectedButton(0));  // same
  EXPECT_FALSE(m.SetSelectedButton(5));  // beyond
  EXPECT_TRUE(m.SetSelectedButton(1));
  EXPECT_EQ(m.SelectedItem(), -1);
  EXPECT_TRUE(m.SetSelectedButton(-3));  // negative means group 0
  EXPECT_EQ(m.SelectedButton(), 0);
}

TEST(SideBar, ConsoleBarLayout) {
  // The console's bar: 115 x 446, six items, row buttons, spacing 15, top 0.
  TLkSideBarModel m = Bar(6, TLkSideFrameStyle::fsRowButton);
  m.Spacing = 15;
  m.TopSpacing = 0;
  TLkSideMetrics metrics;
  const TLkSideLayout l = m.Layout(115, 446, metrics);
  EXPECT_EQ(l.ButtonHeight, 21);
  EXPECT_EQ(m.Groups[0].ButtonRect, (TLkRect{1, 1, 114, 22}));
  ASSERT_EQ(l.Items.size(), 6u);
  // Row style: a click anywhere on the row is an image click.
  EXPECT_EQ(m.HitTest(3, l.Items[2].Frame.Top + 40).Kind, shImage);
  EXPECT_EQ(m.HitTest(3, l.Items[2].Frame.Top + 40).Index, 2);
  EXPECT_EQ(m.HitTest(50, 10).Kind, shButton);
  EXPECT_TRUE(m.ScrollUpRect().Empty());
  EXPECT_TRUE(m.ScrollDownRect().Empty());
}

TEST(SideBar, TooManyItemsShowScrollButtons) {
  TLkSideBarModel m = Bar(10);
  TLkSideMetrics metrics;
  TLkSideLayout l = m.Layout(100, 300, metrics);
  ASSERT_LT(l.Items.size(), 10u);
  ASSERT_FALSE(m.ScrollDownRect().Empty());
  EXPECT_TRUE(m.ScrollUpRect().Empty());
  const TLkRect down = m.ScrollDownRect();
  EXPECT_EQ(m.HitTest(down.Left + 1, down.Top + 1), (TLkSideHit{shScroll, 0}));
  // The item that would reach the bottom is not placed.
  EXPECT_LT(l.Items.back().Text.Bottom, down.Bottom);
  m.ScrollBy(+1);
  l = m.Layout(100, 300, metrics);
  EXPECT_FALSE(m.ScrollUpRect().Empty());
  EXPECT_EQ(l.Items.front().Index, 1);
}

TEST(SideBar, SelectingPastTheFitScrolls) {
  TLkSideBarModel m = Bar(10);
  TLkSideMetrics metrics;
  m.Layout(100, 300, metrics);
  const int fit = m.FitCount();
  ASSERT_GT(fit, 0);
  m.SetSelectedItem(8);
  EXPECT_EQ(m.TopIndex(), 8 - fit + 1);
  m.SetSelectedItem(0);
  EXPECT_EQ(m.TopIndex(), 0);
}

TEST(SideBar, StripsAccelerators) {
  TLkSideBarModel m;
  EXPECT_EQ(m.DisplayCaption("&File && more"), "File  more");
  m.StripAccChar = false;
  EXPECT_EQ(m.DisplayCaption("&File"), "&File");
}

TEST(ListSort, EmptyLastAndAsciiFolding) {
  EXPECT_LT(CompareColumnTexts("apple", "Banana"), 0);
  EXPECT_EQ(CompareColumnTexts("ABC", "abc"), 0);
  EXPECT_GT(CompareColumnTexts("", "z"), 0);
  EXPECT_LT(CompareColumnTexts("z", ""), 0);
  EXPECT_EQ(CompareColumnTexts("", ""), 0);
  EXPECT_LT(CompareColumnTexts("ab", "abc"), 0);
  // Only ASCII letters fold: 0xE9 and 0xC9 stay different.
  EXPECT_NE(CompareColumnTexts("\xE9", "\xC9"), 0);
}

TEST(ListSort, LastColumnFit) {
  const std::vector<int> w{100, 100, 100};
  EXPECT_EQ(FittedLastColumnWidth(w, 400, true, 16), 200);
  EXPECT_EQ(FittedLastColumnWidth(w, 295, true, 16), 95);
  EXPECT_EQ(FittedLastColumnWidth(w, 205, true, 16), 5);
  EXPECT_EQ(FittedLastColumnWidth(w, 201, true, 16), 5);
  EXPECT_EQ(FittedLastColumnWidth(w, 200, true, 16), 100);
  EXPECT_EQ(FittedLastColumnWidth(w, 400, false, 16), 184);
}

TEST(ComboSearch, TypeAheadOverAliceBobBobby) {
  const std::vector<std::string> e{"Alice", "Bob", "bobby"};
  TLkListSearch s;
  EXPECT_EQ(s.TypeChar('b', e, true).Select, 1);
  EXPECT_EQ(s.TypeChar('o', e, true).Select, 1);
  EXPECT_EQ(s.TypeChar('b', e, true).Select, 1);
  EXPECT_EQ(s.TypeChar('b', e, true).Select, 2);
  const TLkSearchStep miss = s.TypeChar('x', e, true);
  EXPECT_TRUE(miss.Beep);
  EXPECT_EQ(miss.Select, -2);
  EXPECT_EQ(s.Text(), "bobb");
  s.Clear();  // the reset timer
  EXPECT_EQ(s.TypeChar('a', e, true).Select, 0);
}

TEST(ComboSearch, BackspaceAndEscape) {
  const std::vector<std::string> e{"Alice", "Bob", "bobby"};
  TLkListSearch s;
  s.TypeChar('b', e, true);
  s.TypeChar('o', e, true);
  EXPECT_EQ(s.TypeChar(8, e, true).Select, 1);  // back to "b"
  const TLkSearchStep emptied = s.TypeChar(8, e, true);
  EXPECT_EQ(emptied.Select, 0);
  EXPECT_TRUE(emptied.FireEvents);
  EXPECT_EQ(s.Text(), "");
  s.TypeChar('b', e, true);
  EXPECT_EQ(s.TypeChar(27, e, true).Select, 0);
  EXPECT_EQ(s.Text(), "");
}

TEST(ComboSearch, EditableDeleteRemovesAtLeastOneCharacter) {
  struct Case {
    const char* text;
    int start, end;
    bool allowEdit;
    bool allowed;
    const char* search;  // after the key, when allowed
  } cases[] = {
      {"bobby", 1, 1, true, true, "bbby"},    // the character at the caret
      {"bobby", 1, 3, true, true, "bby"},     // the selection
      {"bobby", 5, 5, true, true, "bobby"},   // at the end: nothing to remove
      {"bobby", 1, 3, false, false, ""},      // without editing only all of it
      {"bobby", 0, 5, false, true, ""},
      {"", 0, 0, false, true, ""},
  };
  for (const Case& c : cases) {
    TLkEditSearch s;
    s.Set("untouched");
    EXPECT_EQ(s.Delete(c.text, c.start, c.end, c.allowEdit), c.allowed) << c.text << " " << c.start;
    EXPECT_EQ(s.Text(), c.allowed ? c.search : "untouched") << c.text << " " << c.start;
  }
}

TEST(ComboSearch, EditableBackspaceWorksOnTheTypedPart) {
  struct Case {
    const char* search;
    int start, end;
    bool allowEdit;
    bool beep, emptied;
    const char* result;
  } cases[] = {
      {"", 0, 0, true, true, false, ""},
      {"bo", 2, 3, true, false, false, "b"},   // caret after the typed part: its last character
      {"bo", 5, 5, false, false, false, "b"},  // past it too, with or without editing
      {"b", 1, 3, true, false, true, ""},
      {"bob", 1, 2, true, false, false, "bb"}, // inside, with a selection: the selection
      {"bob", 2, 2, true, false, false, "bb"}, // inside, no selection: the character before
      {"bob", 2, 2, false, false, false, "bob"},  // inside, without editing: nothing
      {"bob", 0, 0, true, false, false, "bob"},
  };
  for (const Case& c : cases) {
    TLkEditSearch s;
    s.Set(c.search);
    const TLkEditBackspace r = s.Backspace(c.start, c.end, c.allowEdit);
    EXPECT_EQ(r.Beep, c.beep) << c.search << " " << c.start;
    EXPECT_EQ(r.Emptied, c.emptied) << c.search << " " << c.start;
    EXPECT_EQ(r.Result, c.result) << c.search << " " << c.start;
  }
}

TEST(ComboSearch, EditableTypingReplacesTheSelectedPart) {
  TLkEditSearch s;
  s.Set("bob");
  TLkEditTyped t = s.Type('x', 1, 3);
  EXPECT_EQ(t.Remembered, "b");
  EXPECT_EQ(t.Candidate, "bx");
  t = s.Type('y', 3, 5);  // the selection lies in the completion only
  EXPECT_EQ(t.Remembered, "bob");
  EXPECT_EQ(t.Candidate, "boby");
  s.Clear();
  t = s.Type('a', 4, 4);
  EXPECT_EQ(t.Candidate, "a");
}

}  // namespace
