// TStatusBar over the common status bar: panels of fixed widths (the last
// one runs on to the right edge) or one simple text.
#pragma once

#include <string>
#include <vector>

#include "forms/win/controls.h"

struct TStatusPanel {
  std::string Text;
  int Width = 50;
};

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner);

  int PanelCount() const { return static_cast<int>(panels_.size()); }
  void AddPanel(int width, const std::string& text = "");
  const std::string& PanelText(int index) const { return panels_.at(index).Text; }
  void SetPanelText(int index, const std::string& text);
  bool SimplePanel() const { return simple_panel_; }
  void SetSimplePanel(bool on);
  const std::string& SimpleText() const { return simple_text_; }
  void SetSimpleText(const std::string& text);
  bool SizeGrip() const { return size_grip_; }
  void SetSizeGrip(bool on) { size_grip_ = on; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void SendParts();
  std::vector<TStatusPanel> panels_;
  bool simple_panel_ = false;
  std::string simple_text_;
  bool size_grip_ = false;
};
