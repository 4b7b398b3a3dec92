#include "shared/core/userrecord.h"

#include "base/stringlist.h"

std::string MessageFromStored(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  for (char c : stored) {
    if (c == kStoredLineBreak)
      out += "\r\n";
    else
      out.push_back(c);
  }
  return out;
}

std::string MessageToStored(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // Every line break the gate's reader would split at (CR LF, a lone CR, a
  // lone LF) is one stored break, so the record keeps its three lines.
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out.push_back(kStoredLineBreak);
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool HoldsStoredLineBreak(std::string_view text) { return text.find(kStoredLineBreak) != std::string_view::npos; }

std::string TUserRecord::MessageText() const { return MessageFromStored(StoredMessage); }
void TUserRecord::SetMessageText(std::string_view text) { StoredMessage = MessageToStored(text); }

std::string EncodeUserRecord(const TUserRecord& record) {
  return record.Password + "\r\n" + record.StoredMessage + "\r\n" + record.OptionText + "\r\n";
}

TUserRecord DecodeUserRecord(std::string_view bytes) {
  TStringList lines;
  lines.SetText(std::string(bytes));
  TUserRecord r;
  r.LineCount = lines.Count();
  if (lines.Count() > 0) r.Password = lines[0];
  if (lines.Count() > 1) r.StoredMessage = lines[1];
  if (lines.Count() > 2) r.OptionText = lines[2];
  return r;
}
