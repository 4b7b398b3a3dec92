#include "controls/core/combosearch.h"

#include <algorithm>

#include "base/locale.h"

int FindEntryPrefix(const std::vector<std::string>& entries, const std::string& text) {
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].size() >= text.size() && AnsiSameText(std::string_view(entries[i]).substr(0, text.size()), text))
      return static_cast<int>(i);
  return -1;
}

TLkSearchStep TLkListSearch::Search(const std::string& text, const std::vector<std::string>& entries,
                                    bool beepOnInvalid) {
  TLkSearchStep step;
  const int found = FindEntryPrefix(entries, text);
  if (found < 0) {
    step.Beep = beepOnInvalid;  // the search text stays what it was
    return step;
  }
  step.Select = found;
  text_ = text;
  step.FireEvents = true;
  step.PassKey = true;
  return step;
}

TLkSearchStep TLkListSearch::TypeChar(unsigned char key, const std::vector<std::string>& entries,
                                      bool beepOnInvalid) {
  TLkSearchStep step;
  if (key == 8) {
    if (text_.empty()) {
      step = Search("", entries, beepOnInvalid);
      step.Beep = true;
      return step;
    }
    std::string shorter = text_.substr(0, text_.size() - 1);
    if (shorter.empty()) {
      text_.clear();
      step.Select = entries.empty() ? -2 : 0;
      step.FireEvents = step.PassKey = true;
      return step;
    }
    return Search(shorter, entries, beepOnInvalid);
  }
  if (key == 27) {
    text_.clear();
    step.Select = entries.empty() ? -2 : 0;
    step.FireEvents = true;
    return step;
  }
  if (key >= 32) {
    step = Search(text_ + static_cast<char>(key), entries, beepOnInvalid);
    step.RestartTimer = true;
  }
  return step;
}

namespace {
int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }
}  // namespace

bool TLkEditSearch::Delete(const std::string& editText, int selStart, int selEnd, bool allowEdit) {
  const int n = static_cast<int>(editText.size());
  const int start = Clamp(selStart, 0, n), end = Clamp(selEnd, start, n);
  if (!allowEdit && !(start == 0 && end == n)) return false;
  text_ = editText;
  text_.erase(start, std::max(end, std::min(start + 1, n)) - start);
  return true;
}

TLkEditBackspace TLkEditSearch::Backspace(int selStart, int selEnd, bool allowEdit) {
  TLkEditBackspace r;
  if (text_.empty()) {
    r.Beep = true;
    return r;
  }
  const int n = static_cast<int>(text_.size());
  std::string t = text_;
  if (selStart >= n) {
    t.pop_back();
  } else if (allowEdit) {
    const int start = Clamp(selStart, 0, n), end = Clamp(selEnd, start, n);
    if (end > start)
      t.erase(start, end - start);
    else if (start > 0)
      t.erase(start - 1, 1);
  }
  r.Result = t;
  r.Emptied = t.empty();
  text_ = t;
  return r;
}

TLkEditTyped TLkEditSearch::Type(char ch, int selStart, int selEnd) const {
  TLkEditTyped r;
  const int n = static_cast<int>(text_.size());
  const int start = Clamp(selStart, 0, n), end = Clamp(selEnd, start, n);
  r.Remembered = text_;
  r.Remembered.erase(start, end - start);
  r.Candidate = r.Remembered;
  r.Candidate.insert(r.Candidate.begin() + start, ch);
  return r;
}
