// TLkHtLabel: a label whose caption may hold bold, italic, underline and
// colour tags, drawn line by line through the tagged-text engine.
#pragma once

#include "forms/win/stdctrls.h"
#include "gate/core/taggedtext.h"

class TLkHtLabel : public TCustomLabel {
 public:
  explicit TLkHtLabel(TComponent* owner);

 protected:
  void Paint() override;
  void AdjustSize() override;  // AutoSize: lines x height, widest tagged line
};

// The engine's canvas over a forms canvas.
class TTaggedCanvasAdapter : public ITaggedCanvas {
 public:
  explicit TTaggedCanvasAdapter(TCanvas& canvas) : c_(canvas) {}
  uint8_t FontStyle() override;
  void SetFontStyle(uint8_t style) override;
  TColor FontColor() override;
  void SetFontColor(TColor colour) override;
  void SetBrushColor(TColor colour) override;
  void FillRect(int left, int top, int right, int bottom) override;
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void TextOut(int x, int y, std::string_view text) override;

 private:
  TCanvas& c_;
};
