// The link label: shows an address in link colours, changes colour while
// pressed, hovered and after its first use, and opens its URL (or, when that
// is empty, its caption) through the shell when clicked.
#pragma once

#include <string>

#include "controls/win/lkctrls.h"

// Cursor numbers of the hand cursors ("LK_HANDPOINT" ... "LK_DRAGHAND"),
// loaded into the screen's table when the program starts.
constexpr TCursor crLkHandPoint = 15000;
constexpr TCursor crLkSmallHandPoint = 15001;
constexpr TCursor crLkGrabHand = 15002;
constexpr TCursor crLkGrabHandArrow = 15003;
constexpr TCursor crLkDragHand = 15004;
void RegisterUrlCursors();

// The shell's "open" of `text` (nothing for an empty text); the result is not looked at.
void OpenWithShell(const std::string& text);

class TLkUrlLabel : public TLkLabel {
 public:
  explicit TLkUrlLabel(TComponent* owner);

  const std::string& URL() const { return url_; }
  void SetURL(const std::string& url) { url_ = url; }
  TColor UnvisitedColor() const { return unvisited_; }
  void SetUnvisitedColor(TColor c);
  TColor ActivatedColor() const { return activated_; }
  void SetActivatedColor(TColor c) { activated_ = c; }
  TColor VisitedColor() const { return visited_color_; }
  void SetVisitedColor(TColor c);
  TColor HoveredColor() const { return hovered_; }
  void SetHoveredColor(TColor c);
  bool CanHover() const { return can_hover_; }
  void SetCanHover(bool on);
  bool Visited() const { return visited_; }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void FontChanged() override;

 private:
  void SetUnderline(bool on);
  std::string url_;
  TColor unvisited_ = 0xFF0000;
  TColor activated_ = 0x0000FF;
  TColor visited_color_ = 0x800000;
  TColor hovered_ = 0xFFFFFF;
  bool can_hover_ = false;
  bool visited_ = false;
  bool pressed_ = false;
};
