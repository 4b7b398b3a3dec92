// The glyph speed button: a windowless push button with a glyph and a
// caption, five looks (Up, Disabled, Down, Exclusive, Inactive) each with its
// own image, radio-style groups, a flat look, transparency, an attached
// drop-down menu and auto-repeat. The rules it follows (layout, images per
// state, frames, presses and groups) are controls/core/speedbuttonrules.h;
// this file draws them and takes the mouse.
//
// The state images are made on first use and kept in image lists of one
// image size each, shared by every button of the program (TGlyphCache).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "controls/core/speedbuttonrules.h"
#include "forms/win/controls.h"
#include "forms/win/graphics.h"
#include "forms/win/menus.h"

class TTimer;

// The notice a grouped button sends its siblings when it goes down or its
// group settings change.
constexpr int kNoticeButtonPressed = 0x4C4B01;

// An image list whose slots are reused: a deleted image leaves a free slot
// that the next image added takes.
class TGlyphList : public TImageList {
 public:
  TGlyphList(int width, int height);
  // Into the first free slot (or a new one); the index, or -1.
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  // Frees the slot; the picture stays until a new one takes the slot.
  void Delete(int index);
  int UsedCount() const { return used_; }

 private:
  int FreeSlot();
  int Place(int slot, HBITMAP image, HBITMAP mask);
  std::vector<bool> slots_;
  int used_ = 0;
};

// The program's image lists, one per image size.
class TGlyphCache {
 public:
  ~TGlyphCache();
  // The list of that size (the last one made of it), made when missing.
  TGlyphList* GetList(int width, int height);
  // A list that holds no image any more is freed.
  void ReturnList(TGlyphList* list);
  bool Empty() const { return lists_.empty(); }
  int Count() const { return static_cast<int>(lists_.size()); }

 private:
  std::vector<TGlyphList*> lists_;
};
// The one cache (null while no glyph exists).
TGlyphCache* GlyphCache();

// The glyph of one button: the source strip, its images per state, and the
// drawing of glyph, caption and drop-down mark.
class TLkButtonGlyph : public TObject {
 public:
  TLkButtonGlyph();
  ~TLkButtonGlyph() override;

  TBitmap* Glyph() { return &original_; }
  void SetGlyph(const TBitmap* bitmap);  // a copy is kept; null empties it
  int NumGlyphs() const { return num_glyphs_; }
  void SetNumGlyphs(int n);
  TColor TransparentColor() const { return transparent_color_; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);
  // The repaint request to the button.
  TNotifyEvent OnChange;

  // Drops every made image (after a change of picture or colours).
  void Invalidate();
  // The image index of a state, made when missing; -1 without a picture.
  int CreateButtonGlyph(TButtonState state);
  // The image list the indices belong to (null before the first image).
  TGlyphList* GlyphList() const { return list_; }
  int ImageIndex(TButtonState state) const { return indexes_[static_cast<int>(state)]; }

  // Lays out and draws glyph, caption and (with drawMark) the mark inside
  // `client` shifted by `offset`; returns where the caption went.
  TRect Draw(TCanvas* canvas, const TRect& client, TPoint offset, const std::string& caption, TButtonLayout layout,
             int margin, int spacing, TButtonState state, bool drawMark);
  TGlyphLayout Layout(TCanvas* canvas, const TRect& client, const std::string& caption, TButtonLayout layout,
                      int margin, int spacing, bool drawMark);

 private:
  void OriginalChanged(TObject*);
  void DrawGlyphImage(TCanvas* canvas, TPoint at, TButtonState state);
  void DrawCaption(TCanvas* canvas, const std::string& text, TRect r, TButtonState state);
  void DrawMark(TCanvas* canvas, TLkPoint anchor, TButtonState state);
  TBitmap original_;
  TColor transparent_color_ = clFuchsia;
  int num_glyphs_ = 1;
  TAlignment alignment_ = TAlignment::taCenter;
  bool word_wrap_ = false;
  TGlyphList* list_ = nullptr;
  std::array<int, kButtonStateCount> indexes_;
  bool updating_ = false;
};

class TLkSpeedButton : public TGraphicControl {
 public:
  explicit TLkSpeedButton(TComponent* owner);
  ~TLkSpeedButton() override;

  TAlignment Alignment() const { return glyph_.Alignment(); }
  void SetAlignment(TAlignment a) { glyph_.SetAlignment(a); }
  bool AllowAllUp() const { return model_.AllowAllUp; }
  void SetAllowAllUp(bool on);
  bool AllowTimer() const { return allow_timer_; }
  void SetAllowTimer(bool on);
  int GroupIndex() const { return model_.GroupIndex; }
  void SetGroupIndex(int index);
  bool Down() const { return model_.Down; }
  void SetDown(bool on);
  TPopupMenu* DropDownMenu() const { return drop_down_menu_; }
  void SetDropDownMenu(TPopupMenu* menu);
  TLkDropDownMenuPos MenuPosition() const { return menu_position_; }
  void SetMenuPosition(TLkDropDownMenuPos pos) { menu_position_ = pos; }
  bool Flat() const { return flat_; }
  void SetFlat(bool on);
  TBitmap* Glyph() { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap* bitmap) { glyph_.SetGlyph(bitmap); }
  bool GrayedInactive() const { return grayed_inactive_; }
  void SetGrayedInactive(bool on);
  unsigned InitPause() const { return init_pause_; }
  void SetInitPause(unsigned ms) { init_pause_ = ms; }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout layout);
  int Margin() const { return margin_; }
  void SetMargin(int margin);  // below -1 is refused
  bool MarkDropDown() const { return mark_drop_down_; }
  void SetMarkDropDown(bool on);
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int result) { modal_result_ = result; }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int n);  // cut to 1..5
  unsigned RepeatInterval() const { return repeat_interval_; }
  void SetRepeatInterval(unsigned ms) { repeat_interval_ = ms; }
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle style);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  bool WordWrap() const { return glyph_.WordWrap(); }
  void SetWordWrap(bool on) { glyph_.SetWordWrap(on); }

  TButtonState State() const { return model_.State; }
  bool MouseInControl() const { return model_.MouseIn; }
  bool Dragging() const { return model_.Dragging; }
  TLkButtonGlyph* ButtonGlyph() { return &glyph_; }
  // The repeat timer while one exists (made on the first repeating press).
  TTimer* RepeatTimer() const { return repeat_timer_; }
  void Click() override;

 protected:
  void MouseEnter() override;
  void MouseLeave() override;
  void Paint() override;
  // Draws glyph, caption and mark; returns the caption's rectangle.
  virtual TRect PaintGlyph(TCanvas* canvas, const TRect& client, TButtonState state, bool drawMark);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void EnabledChanged() override;
  void VisibleChanged() override;
  void FontChanged() override;
  void TextChanged() override;
  void ControlNotice(const TControlNotice& notice) override;
  bool DialogChar(char key) override;
  void SysColorChanged() override;

 private:
  void GlyphChanged(TObject*);
  void SendGroupNotice();
  void EndPress(int x, int y);
  bool ShowDropDown();
  void RepeatTick(TObject*);
  void StopRepeat();
  void UpdateTracking();
  void SetMouseIn(bool in);
  void MakeCurrentLook();
  bool Designing() const { return ComponentState() & csDesigning; }

  TLkButtonGlyph glyph_;
  TSpeedButtonModel model_;
  bool allow_timer_ = false;
  bool flat_ = false;
  bool grayed_inactive_ = true;
  bool mark_drop_down_ = true;
  bool transparent_ = false;
  bool menu_tracking_ = false;
  unsigned init_pause_ = 500;
  unsigned repeat_interval_ = 100;
  int margin_ = -1;
  int spacing_ = 1;
  int modal_result_ = 0;
  TButtonLayout layout_ = TButtonLayout::blGlyphTop;
  TButtonStyle style_ = TButtonStyle::bsAutoDetect;
  TLkDropDownMenuPos menu_position_ = TLkDropDownMenuPos::dmpBottom;
  TPopupMenu* drop_down_menu_ = nullptr;
  TTimer* repeat_timer_ = nullptr;
  TBitmap face_;  // the off-screen picture
};

// The 8 x 8 face/highlight checkerboard of latched buttons as a pattern.
TBitmap* CheckerPattern();
