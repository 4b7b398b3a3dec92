// The directory edit's rules: the button's place, glyph widths, the
// chooser's start folder and the texts that choosing, dropping and pasting
// give.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controls/core/direditrules.h"

namespace {

TEST(DirEditLayout, ButtonPlacePerBorder) {
  struct Row {
    const char* name;
    bool newShell, ctl3d, single;
    TLkRect place;
  };
  // An edit of 152 x 22 with a 22-pixel button.
  const Row rows[] = {
      {"OldShell", false, true, true, {130, 0, 152, 22}},
      {"Ctl3DSingle", true, true, true, {126, 0, 148, 18}},
      {"FlatSingle", true, false, true, {128, 2, 150, 20}},
      {"NoBorder", true, true, false, {130, 0, 152, 22}},
  };
  for (const Row& r : rows) {
    TEditButtonPlaceInput in;
    in.EditWidth = 152;
    in.EditHeight = 22;
    in.ButtonWidth = 22;
    in.NewShell = r.newShell;
    in.Ctl3D = r.ctl3d;
    in.SingleBorder = r.single;
    EXPECT_EQ(EditButtonPlace(in), r.place) << r.name;
  }
  EXPECT_EQ(EditFormattingRect(148, 18, 22), (TLkRect{0, 0, 124, 19}));
  EXPECT_EQ(EditMinimumHeight(16, 13, 1), 18);
  EXPECT_EQ(EditMinimumHeight(13, 20, 1), 18);
}

TEST(DirEditGlyph, ButtonWidthFollowsTheGlyph) {
  using G = TGlyphKind;
  EXPECT_EQ(ButtonWidthForGlyph(G::gkDefault, 16, 1, 21, 17), 22);  // 16 + 6 beats 21
  EXPECT_EQ(ButtonWidthForGlyph(G::gkDefault, 24, 2, 21, 17), 21);  // 12 + 6 does not
  EXPECT_EQ(ButtonWidthForGlyph(G::gkDefault, 0, 1, 25, 17), 25);   // no glyph
  EXPECT_EQ(ButtonWidthForGlyph(G::gkDropDown, 16, 1, 21, 17), 17);
  EXPECT_EQ(ButtonWidthForGlyph(G::gkCustom, 40, 1, 22, 17), 22);
  EXPECT_FALSE(ButtonWidthStored(G::gkDefault, 16, 1, 22, 17));
  EXPECT_TRUE(ButtonWidthStored(G::gkCustom, 16, 1, 22, 17));  // the console's 22
  EXPECT_FALSE(ButtonWidthStored(G::gkCustom, 16, 1, 21, 17));
  EXPECT_FALSE(ButtonWidthStored(G::gkDropDown, 16, 1, 17, 17));
}

TEST(DirEditGlyph, EllipsisSquares) {
  struct Row {
    int button, width, a, b, c;
  };
  const Row rows[] = {
      {21, 15, 1, 6, 11},  // gap (15 - 6) / 2 = 4, limited to 3
      {14, 8, 0, 3, 6},    // gap 1
      {16, 10, 0, 4, 8},   // gap 2
      {10, 4, -2, 1, 4},   // gap below 1 becomes 1
      {3, 1, -3, 0, 3},    // width at least 1
  };
  for (const Row& r : rows) {
    const TEllipsisGlyph g = EllipsisGlyph(r.button);
    EXPECT_EQ(g.Width, r.width) << r.button;
    EXPECT_EQ(g.Squares[0], r.a) << r.button;
    EXPECT_EQ(g.Squares[1], r.b) << r.button;
    EXPECT_EQ(g.Squares[2], r.c) << r.button;
  }
}

TEST(DirEditChooser, StartFolder) {
  const std::set<std::string> folders{"C:\\data", "\\"};
  auto exists = [&](const std::string& f) { return folders.count(f) != 0; };
  struct Row {
    const char* text;
    const char* initial;
    const char* start;
  };
  const Row rows[] = {
      {"Browse", "", "\\"},            // the console's text is no folder
      {"C:\\data", "", "C:\\data"},
      {"", "C:\\data", "C:\\data"},
      {"", "", "\\"},
      {"", "C:\\gone", "\\"},
  };
  for (const Row& r : rows) EXPECT_EQ(ChooserStartFolder(r.text, r.initial, exists), r.start) << r.text;
}

TEST(DirEditText, ChosenAndDroppedNames) {
  struct Row {
    const char* text;
    int selStart, selLength;
    const char* name;
    bool multiple;
    const char* result;
  };
  const Row rows[] = {
      {"Browse", 0, 0, "C:\\data", false, "C:\\data"},
      {"A", 1, 0, "B", true, "A;B"},           // the new folder goes to the end
      {"", 0, 0, "B", true, "B"},
      {"A;X", 1, 2, "B", true, "A;B"},         // the selection goes first
      {"Browse", 0, 6, "C:\\x", true, "C:\\x"},  // all of it selected
      {"A", 0, 0, "B", false, "B"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(TextAfterChoice(r.text, r.selStart, r.selLength, r.name, r.multiple), r.result) << r.text << "+" << r.name;

  EXPECT_EQ(TextAfterDrop("", "C:\\data\\notes.txt", true, false), "C:\\data\\");
  EXPECT_EQ(TextAfterDrop("old", "C:\\data", false, false), "C:\\data");
  // Three folders dropped in turn onto a multiple-folder edit.
  std::string text = "A";
  for (const char* f : {"B", "C", "D"}) text = TextAfterDrop(text, f, false, true);
  EXPECT_EQ(text, "A;B;C;D");
}

TEST(DirEditText, LongAndShortNamesPerFolder) {
  auto upper = [](const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return r;
  };
  EXPECT_EQ(ConvertDirList("a;b", false, upper), "A;B");
  EXPECT_EQ(ConvertDirList("a;b", true, upper), "A;B");
  EXPECT_EQ(ConvertDirList("a;;b", true, upper), "A;B");
  // A folder that converts to nothing leaves no separator behind.
  auto dropX = [](const std::string& s) { return s == "x" ? std::string() : s; };
  EXPECT_EQ(ConvertDirList("x;a;x;b", true, dropX), "a;b");
  EXPECT_EQ(ConvertDirList("", true, upper), "");
}

TEST(DirEditText, PasteLosesLineBreaks) {
  EXPECT_EQ(SingleLineText("C:\\data\r\n"), "C:\\data");
  EXPECT_EQ(SingleLineText("C:\\a\nb\rc"), "C:\\abc");
  EXPECT_EQ(SingleLineText("plain"), "plain");
}

}  // namespace
