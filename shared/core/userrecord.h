// The user record: one stream of the user-data file per user entry, three
// text lines ended by CR LF: password, message (its line breaks stored as
// the byte 0xFF) and the option codes as comma text. The console writes it
// and shows it, the gate reads it; both go through this codec.
#pragma once

#include <string>
#include <string_view>

struct TUserRecord {
  std::string Password;
  std::string StoredMessage;  // as stored: one line, 0xFF for each line break
  std::string OptionText;     // e.g. "1,3,6"; empty for none
  int LineCount = 0;          // lines the stream held (at most 3 are used)

  // The message with its breaks as CR LF, and the reverse.
  std::string MessageText() const;
  void SetMessageText(std::string_view text);
};

inline constexpr char kStoredLineBreak = '\xFF';

std::string MessageFromStored(std::string_view stored);  // 0xFF -> CR LF
// CR LF, a lone CR and a lone LF -> 0xFF. A byte 0xFF of the text itself
// would come back as a line break: callers refuse such a text first.
std::string MessageToStored(std::string_view text);
bool HoldsStoredLineBreak(std::string_view text);

// The stream bytes: the three lines, each followed by CR LF.
std::string EncodeUserRecord(const TUserRecord& record);
// Lines split at CR LF, LF or CR; missing lines stay empty.
TUserRecord DecodeUserRecord(std::string_view bytes);
