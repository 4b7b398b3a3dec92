#include "controls/core/combosearch.h"

#include "forms/base/locale.h"

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
