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

// The editable styles: the search text is the part of the edit text the user
// typed (the rest is the selected completion). Positions are the edit
// selection's start and end; the caret is at its start.
struct TLkEditBackspace {
  bool Beep = false;     // the search text was already empty
  bool Emptied = false;  // the removal emptied it
  std::string Result;    // the search text after the removal
};

struct TLkEditTyped {
  std::string Remembered;  // the search text without its selected part
  std::string Candidate;   // the character inserted at the caret
};

class TLkEditSearch {
 public:
  const std::string& Text() const { return text_; }
  void Clear() { text_.clear(); }
  void Set(std::string text) { text_ = std::move(text); }

  // Delete: the search text becomes the edit text without the selection
  // (at least the character at the caret). False when the key must be
  // suppressed: without editing, only a selection of the whole text goes.
  bool Delete(const std::string& editText, int selStart, int selEnd, bool allowEdit);
  // Backspace: what it removes from the search text (stored as the new
  // search text unless it was empty).
  TLkEditBackspace Backspace(int selStart, int selEnd, bool allowEdit);
  // A printable character typed over the selection.
  TLkEditTyped Type(char ch, int selStart, int selEnd) const;

 private:
  std::string text_;
};
