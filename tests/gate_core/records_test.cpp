#include <gtest/gtest.h>

#include "shared/core/logrecord.h"
#include "shared/core/userrecord.h"

namespace {

TEST(UserRecord, MessageBreaksTravelAsFF) {
  TUserRecord r;
  r.Password = "pw";
  r.SetMessageText("first\r\n<uname>");
  r.OptionText = "1,3,6";
  const std::string bytes = EncodeUserRecord(r);
  EXPECT_EQ(bytes, "pw\r\nfirst\xFF<uname>\r\n1,3,6\r\n");
  const TUserRecord back = DecodeUserRecord(bytes);
  EXPECT_EQ(back.Password, "pw");
  EXPECT_EQ(back.MessageText(), "first\r\n<uname>");
  EXPECT_EQ(back.OptionText, "1,3,6");
  EXPECT_EQ(back.LineCount, 3);
}

// The gate splits lines at CR LF, a lone CR and a lone LF: each of them in a
// message is one stored break, or the message would spill into the options.
TEST(UserRecord, EveryKindOfLineBreakIsStoredAsFF) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\r\nb", "a\xFF" "b"}, {"a\nb", "a\xFF" "b"}, {"a\rb", "a\xFF" "b"},
      {"a\n\r\nb", "a\xFF\xFF" "b"}, {"\r\n", "\xFF"}, {"a\r\rb", "a\xFF\xFF" "b"},
  };
  for (auto [typed, stored] : cases) {
    EXPECT_EQ(MessageToStored(typed), stored) << typed;
    TUserRecord r;
    r.SetMessageText(typed);
    r.OptionText = "1,8";
    const TUserRecord back = DecodeUserRecord(EncodeUserRecord(r));
    EXPECT_EQ(back.OptionText, "1,8") << typed;
    EXPECT_EQ(back.StoredMessage, stored) << typed;
  }
  EXPECT_TRUE(HoldsStoredLineBreak("caf\xFF"));
  EXPECT_FALSE(HoldsStoredLineBreak("plain\r\n"));
}

TEST(UserRecord, ShortRecordsLeaveTheRestEmpty) {
  const TUserRecord one = DecodeUserRecord("only\r\n");
  EXPECT_EQ(one.Password, "only");
  EXPECT_EQ(one.StoredMessage, "");
  EXPECT_EQ(one.OptionText, "");
  EXPECT_EQ(one.LineCount, 1);
  EXPECT_EQ(DecodeUserRecord("").LineCount, 0);
  EXPECT_EQ(DecodeUserRecord("a\nb").OptionText, "");
  EXPECT_EQ(DecodeUserRecord("a\nb").StoredMessage, "b");
  // Blanks are part of a password.
  EXPECT_EQ(DecodeUserRecord(" p w \r\n").Password, " p w ");
}

TEST(LogRecord, ThreeFourAndFiveLines) {
  TLogRecord r{"ann", "C:\\Program Files\\App\\app.exe", "2:05 PM - 12/10/2026", std::nullopt, std::nullopt};
  EXPECT_EQ(EncodeLogRecord(r), "ann\r\nC:\\Program Files\\App\\app.exe\r\n2:05 PM - 12/10/2026\r\n");
  r.EndTime = "2:07 PM - 12/10/2026";
  EXPECT_EQ(r.Lines().size(), 4u);
  r.Action = "7";
  EXPECT_EQ(r.Lines().size(), 5u);
  EXPECT_EQ(DecodeLogRecord(EncodeLogRecord(r)), r);
  r.EndTime.reset();  // an action never stands without an end time
  EXPECT_EQ(r.Lines().size(), 3u);
}

TEST(LogRecord, NextNameIsLargestPlusOne) {
  struct Case {
    std::vector<std::string> names;
    const char* next;
  };
  const Case cases[] = {
      {{}, "1"},
      {{"1", "2", "3"}, "4"},
      {{"1", "3"}, "4"},           // after a deletion the count would collide with "3"
      {{"10", "2", "9"}, "11"},    // sorted as text, numbered as numbers
      {{"x", "", "-4", "2a"}, "1"},
      {{"007"}, "8"},
  };
  for (const auto& c : cases) EXPECT_EQ(NextLogRecordName(c.names), c.next);
}

}  // namespace
