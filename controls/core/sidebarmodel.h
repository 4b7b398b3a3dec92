// The side bar's groups, items, selection, scrolling and layout, without any
// drawing: the window class lays out through this model, paints what it
// placed and hit-tests against the same rectangles.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/core/geometry.h"

enum class TLkSideFrameStyle { fsRaised, fsLowered, fsButton, fsNone, fsRowRaised, fsRowLowered, fsRowButton };
enum class TLkScrollBtnStyle { sbButton, sbSlider };

// Hit kinds: 0 nothing, 1 group button, 2 item image (or row), 3 scroll
// button (index 1 up, 0 down), 4 item caption.
enum : int { shNone = 0, shButton = 1, shImage = 2, shScroll = 3, shText = 4 };
struct TLkSideHit {
  int Kind = shNone;
  int Index = -1;
  bool operator==(const TLkSideHit&) const = default;
};

struct TLkSideItemModel {
  int ImageIndex = -1;
  std::string Caption;
  bool Enabled = true;
  bool Visible = true;
  int Tag = 0;
  TLkRect ImageRect;  // set by the last layout
  TLkRect TextRect;
};

struct TLkSideGroupModel {
  std::string Caption;
  TLkRect ButtonRect;
  std::vector<TLkSideItemModel> Items;
};

// What the layout needs to know about fonts and images.
struct TLkSideMetrics {
  int ButtonTextHeight = 13;  // "Wg" in the button font
  int TextHeight = 13;        // "Wg" in the item font
  int ImageWidth = 32;        // 32 x 32 without images
  int ImageHeight = 32;
  int ScrollBarWidth = 16;    // the system's vertical scroll-bar width
  // Height of a caption word-wrapped and centred in `width` (WordWrap only).
  std::function<int(const std::string& text, int width)> WrappedTextHeight;
};

// One item placed by the layout, in drawing order.
struct TLkSidePlacedItem {
  int Index = -1;
  TLkRect Frame;      // the image frame (or the row in row styles)
  TLkRect ImageAt;    // where the image goes (left, top)
  TLkRect Text;       // the caption's rectangle
  std::string Text_;  // the caption as drawn
};

struct TLkSideLayout {
  TLkRect Client;          // control inset by one pixel
  TLkRect ItemArea;        // inside the item area's frame
  TLkRect ItemAreaOuter;   // the area before its frame (one pixel wider left and right)
  int ButtonHeight = 0;
  std::vector<TLkSidePlacedItem> Items;
  bool HasOpenGroup = false;
};

// The group-change slide, in the coordinates of the picture before the
// change. Towards a later group the band from the top of the old item area
// down to the bottom of the new group's button moves up (sliding under the
// old group's button) until the old item area is gone; towards an earlier
// group the buttons after the new group down to the old group's button move
// down until they reach the button after the old group. What the band
// uncovers is the new item area, painted empty.
struct TLkSideSlide {
  TLkRect Band;      // the moving part of the old picture
  int Distance = 0;  // how far it moves: the old item area's height (0: no slide)
  bool Up = false;   // towards a later group

  struct Frame {
    TLkRect From;       // the band's rows still shown, in the old picture
    int ToTop = 0;      // where they go
    TLkRect Uncovered;  // painted as an empty item area
  };
  Frame At(int offset) const;
  // Offsets of the frames: every `step` pixels, the last at Distance.
  std::vector<int> Offsets(int step = 5) const;
};

class TLkSideBarModel {
 public:
  std::vector<TLkSideGroupModel> Groups;

  int SelectedButton() const { return selectedButton_; }
  int SelectedItem() const { return selectedItem_; }
  int TopIndex() const { return topIndex_; }
  int FitCount() const { return fitCount_; }
  const TLkRect& ScrollUpRect() const { return scrollUp_; }
  const TLkRect& ScrollDownRect() const { return scrollDown_; }

  // Options that change the layout.
  int Spacing = 10;
  int TopSpacing = 4;
  bool WordWrap = false;
  bool StripAccChar = true;
  bool AllowEditing = false;
  TLkSideFrameStyle FrameStyle = TLkSideFrameStyle::fsButton;
  TLkScrollBtnStyle ScrollBtnStyle = TLkScrollBtnStyle::sbButton;

  // Setters answer whether anything changed (the caller then repaints and
  // fires its change event). While loading the value is only stored.
  bool SetSelectedButton(int value, bool loading = false);
  bool SetSelectedItem(int value, bool loading = false);
  // Opens group 0 when there are groups and none is open.
  void OpenFirstGroup();
  void ClearGroups();
  // Scroll buttons: -1 up, +1 down; the top index never goes below 0.
  void ScrollBy(int delta);
  void SetTopIndex(int value) { topIndex_ = value < 0 ? 0 : value; }

  bool IsRowStyle() const;
  std::string DisplayCaption(const std::string& caption) const;

  // Places the buttons, the open group's items and the scroll buttons in a
  // control of the given size; stores the rectangles for hit tests.
  // `itemsShown` false leaves the item area empty (while animating).
  TLkSideLayout Layout(int width, int height, const TLkSideMetrics& m, bool itemsShown = true);

  TLkSideHit HitTest(int x, int y) const;

  // The slide from the open group to group `to`, from the layout the
  // picture was painted with.
  TLkSideSlide Slide(const TLkSideLayout& painted, int to) const;

 private:
  int selectedButton_ = -1;
  int selectedItem_ = -1;
  int topIndex_ = 0;
  int fitCount_ = 0;
  TLkRect scrollUp_, scrollDown_;
};
