// The recent-name list: order, trimming, loading what a registry lists,
// numbered captions and shortened paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/core/mrurules.h"

namespace {

std::vector<std::string> Names(std::initializer_list<const char*> l) { return {l.begin(), l.end()}; }

TEST(MRUEntries, NewestFirstAndTheOldestDrops) {
  TMRUEntries e;
  for (const char* n : {"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e"}) e.Add(n);
  EXPECT_EQ(e.Items(), Names({"C:\\e", "C:\\d", "C:\\c", "C:\\b", "C:\\a"}));
  e.Add("C:\\f");  // a sixth with Maximum 5
  EXPECT_EQ(e.Items(), Names({"C:\\f", "C:\\e", "C:\\d", "C:\\c", "C:\\b"}));
  // The same folder in other letter case only moves to the top.
  e.Add("c:\\C");
  EXPECT_EQ(e.Items(), Names({"C:\\c", "C:\\f", "C:\\e", "C:\\d", "C:\\b"}));
  EXPECT_FALSE(e.SetMaximum(7));
  EXPECT_TRUE(e.SetMaximum(2));
  EXPECT_EQ(e.Items(), Names({"C:\\c", "C:\\f"}));
}

TEST(MRUEntries, AddingAtTheBottom) {
  TMRUEntries e;
  e.AddToTop = false;
  e.SetMaximum(3);
  for (const char* n : {"a", "b", "c", "d"}) e.Add(n);
  EXPECT_EQ(e.Items(), Names({"b", "c", "d"}));  // the first (far) one dropped
  e.Add("B");
  EXPECT_EQ(e.Items(), Names({"c", "d", "b"}));
  e.SetMaximum(1);
  EXPECT_EQ(e.Items(), Names({"b"}));
}

TEST(MRUEntries, LoadsInNumberOrderAndTrims) {
  // A registry lists values sorted by name.
  std::vector<std::pair<std::string, std::string>> stored;
  for (const char* n : {"F0", "F1", "F10", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"})
    stored.emplace_back(n, std::string("dir") + (n + 1));
  TMRUEntries e;
  e.Load(stored);
  EXPECT_EQ(e.Items(), Names({"dir0", "dir1", "dir2", "dir3", "dir4"}));
  // Values named otherwise load in the order listed.
  e.Load({{"Zeta", "z"}, {"F1", "one"}, {"alpha", "a"}});
  EXPECT_EQ(e.Items(), Names({"z", "one", "a"}));
  EXPECT_EQ(e.SaveValues(), (std::vector<std::pair<std::string, std::string>>{{"F0", "z"}, {"F1", "one"}, {"F2", "a"}}));
}

TEST(MRUCaptions, AcceleratorPrefixes) {
  const std::pair<int, const char*> rows[] = {{0, "&1 "}, {8, "&9 "}, {9, "&0 "}, {10, "&A "},
                                              {35, "&Z "}, {36, ""},   {40, ""}};
  for (auto [index, prefix] : rows) EXPECT_EQ(MRUPrefix(index), prefix) << index;
}

TEST(MRUCaptions, PerDisplayKind) {
  auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 6; };
  using D = TMRUDisplay;
  struct Row {
    D display;
    int index;
    const char* entry;
    int maxWidth;
    const char* caption;
  };
  const Row rows[] = {
      {D::mdFullPath, 0, "C:\\Tools", 200, "&1 C:\\Tools"},
      {D::mdFullPath, 1, "C:\\R&D", 0, "&2 C:\\R&&D"},  // an "&" of the name is shown, not an accelerator
      {D::mdFullPath, 2, "C:\\one\\two\\three\\four", 90, "&3 C:\\...\\four"},
      {D::mdFileNameExt, 0, "C:\\docs\\a&b.txt", 200, "a&&b.txt"},
      {D::mdFileNameOnly, 0, "C:\\docs\\notes.txt", 200, "notes"},
      {D::mdCustom, 3, "C:\\x", 10, "&4 C:\\x"},
  };
  for (const Row& r : rows) EXPECT_EQ(MRUCaption(r.display, r.index, r.entry, r.maxWidth, width), r.caption) << r.entry;
}

TEST(MRUCaptions, PathsShortenFromTheLeft) {
  auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 6; };
  const std::string path = "C:\\Documents\\Projects\\Lockmere\\backup";  // 37 characters
  struct Row {
    int chars;
    const char* shown;
  };
  const Row rows[] = {
      {37, "C:\\Documents\\Projects\\Lockmere\\backup"},
      {36, "C:\\...\\Projects\\Lockmere\\backup"},
      {25, "C:\\...\\Lockmere\\backup"},
      {13, "C:\\...\\backup"},
      {10, "...\\backup"},
      {8, "backup"},
      {5, "ba..."},
      {0, "..."},
  };
  for (const Row& r : rows) EXPECT_EQ(MinimizePath(path, r.chars * 6, width), r.shown) << r.chars;
  EXPECT_EQ(MinimizePath("\\\\srv\\share\\aa\\bb\\c", 18 * 6, width), "\\\\srv\\share\\...\\c");
}

}  // namespace
