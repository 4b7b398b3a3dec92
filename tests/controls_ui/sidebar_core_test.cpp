// The side bar's group-change slide: which band of the old picture moves,
// which way, and that its last frame is the picture of the new group; a
// selected item is never scrolled out of sight.
#include <gtest/gtest.h>

#include "controls/core/sidebarmodel.h"

namespace {

constexpr int kWidth = 100, kHeight = 300;

TLkSideBarModel Groups(int count, int open) {
  TLkSideBarModel m;
  for (int g = 0; g < count; ++g) {
    m.Groups.emplace_back().Caption = "Group " + std::to_string(g);
    m.Groups.back().Items.resize(3);
  }
  m.SetSelectedButton(open);
  return m;
}

TEST(SideBarSlide, EveryGroupChangeMovesTheBandTheRightWayOntoTheNewPicture) {
  const TLkSideMetrics metrics;
  for (int count = 2; count <= 4; ++count) {
    for (int from = 0; from < count; ++from) {
      for (int to = 0; to < count; ++to) {
        if (to == from) continue;
        SCOPED_TRACE(testing::Message() << count << " groups, " << from << " -> " << to);
        TLkSideBarModel before = Groups(count, from);
        const TLkSideLayout painted = before.Layout(kWidth, kHeight, metrics);
        const TLkSideSlide slide = before.Slide(painted, to);
        TLkSideBarModel after = Groups(count, to);
        const TLkSideLayout target = after.Layout(kWidth, kHeight, metrics);

        ASSERT_EQ(slide.Distance, painted.ItemAreaOuter.Height());
        EXPECT_EQ(slide.Up, to > from);
        // Each frame moves the band by exactly its offset, up or down.
        const std::vector<int> offsets = slide.Offsets();
        ASSERT_FALSE(offsets.empty());
        EXPECT_EQ(offsets.back(), slide.Distance);
        int last = 0;
        for (int d : offsets) {
          EXPECT_GT(d, last);
          EXPECT_LE(d - last, 5);
          last = d;
          const TLkSideSlide::Frame f = slide.At(d);
          EXPECT_EQ(f.ToTop - f.From.Top, slide.Up ? -d : d);
          EXPECT_EQ(f.Uncovered.Height(), d);
          if (slide.Up) {
            // The band slides under the button above it: what is left of it
            // and what it uncovers fill its old rows.
            EXPECT_EQ(f.ToTop, slide.Band.Top);
            EXPECT_EQ(f.From.Height() + f.Uncovered.Height(), slide.Band.Height());
          } else {
            // The whole band moves down over the old item area, never past it.
            EXPECT_EQ(f.From, slide.Band);
            EXPECT_LE(f.ToTop + f.From.Height(), painted.ItemAreaOuter.Bottom);
            EXPECT_EQ(f.Uncovered.Top, slide.Band.Top);
          }
        }
        // The last frame is the new picture: the moved buttons sit where the
        // new layout puts them and the uncovered part is the new item area.
        const TLkSideSlide::Frame end = slide.At(slide.Distance);
        EXPECT_EQ(end.Uncovered, target.ItemAreaOuter);
        for (int g = 0; g < count; ++g) {
          const TLkRect& old_button = before.Groups[g].ButtonRect;
          const bool moves = old_button.Top >= slide.Band.Top && old_button.Bottom <= slide.Band.Bottom;
          const int shift = moves ? (slide.Up ? -slide.Distance : slide.Distance) : 0;
          EXPECT_EQ(old_button.Top + shift, after.Groups[g].ButtonRect.Top) << "button " << g;
        }
      }
    }
  }
}

TEST(SideBarSlide, NothingSlidesWithoutAnOpenGroupOrAnotherTarget) {
  const TLkSideMetrics metrics;
  struct Case {
    const char* name;
    int open, to;
  };
  const Case cases[] = {{"same group", 1, 1}, {"beyond the last group", 1, 3}, {"negative target", 1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TLkSideBarModel m = Groups(3, c.open);
    const TLkSideLayout painted = m.Layout(kWidth, kHeight, metrics);
    const TLkSideSlide slide = m.Slide(painted, c.to);
    EXPECT_EQ(slide.Distance, 0);
    EXPECT_TRUE(slide.Offsets().empty());
  }
  TLkSideBarModel empty;
  EXPECT_EQ(empty.Slide(empty.Layout(kWidth, kHeight, metrics), 0).Distance, 0);
  // A group added after the paint has no button in the picture.
  TLkSideBarModel grown = Groups(2, 0);
  const TLkSideLayout painted = grown.Layout(kWidth, kHeight, metrics);
  grown.Groups.emplace_back().Caption = "New";
  EXPECT_EQ(grown.Slide(painted, 2).Distance, 0);
}

// However few items fit, or before any layout counted them, the selected
// item becomes at most the top one (it used to land above the top).
TEST(SideBarSelection, TheSelectedItemIsNeverScrolledAboveTheTop) {
  struct Case {
    const char* name;
    int height;  // 0: never laid out
    int select, top;
  };
  const Case cases[] = {
      {"before any layout", 0, 2, 2},
      {"no item fits", 40, 2, 2},
      {"every item fits", kHeight, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TLkSideBarModel m = Groups(1, 0);
    if (c.height) m.Layout(kWidth, c.height, TLkSideMetrics{});
    ASSERT_TRUE(m.SetSelectedItem(c.select));
    EXPECT_EQ(m.TopIndex(), c.top);
  }
}

}  // namespace
