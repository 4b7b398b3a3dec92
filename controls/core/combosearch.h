// Type-ahead over a drop-down list's entries: the characters typed so far
// select the first entry they begin, without regard to case.
#pragma once

#include <string>
#include <vector>

// The first entry from the top that begins with `text` (case-insensitive), or -1.
int FindEntryPrefix(const std::vector<std::string>& entries, const std::string& text);

// What the combo box does with one typed character.
struct TLkSearchStep {
  bool Beep = false;
  int Select = -2;          // new ItemIndex, -2 when the selection stays
  bool FireEvents = false;  // click and change
  bool PassKey = false;     // hand the key to OnKeyPress
  bool RestartTimer = false;
};

class TLkListSearch {
 public:
  const std::string& Text() const { return text_; }
  void Clear() { text_.clear(); }
  // Drop-down-list style: backspace (8), escape (27) and characters 32..255.
  TLkSearchStep TypeChar(unsigned char key, const std::vector<std::string>& entries, bool beepOnInvalid);

 private:
  TLkSearchStep Search(const std::string& text, const std::vector<std::string>& entries, bool beepOnInvalid);
  std::string text_;
};
