#include <gtest/gtest.h>

#include "base/sysutils.h"
#include "shared/core/elapsed.h"

namespace {

TEST(ElapsedTime, StoredTimesGiveHMMSS) {
  struct Row {
    const char* start;
    const char* end;
    const char* elapsed;
  } rows[] = {
      {"10:00:00 - 12/10/2026", "10:01:30 - 12/10/2026", "0:01:30"},
      {"10:00 AM - 12/10/2026", "10:01 AM - 12/10/2026", "0:01:00"},  // the en-US short time has no seconds
      {"11:59 AM - 1/1/2026", "12:05 PM - 1/1/2026", "0:06:00"},
      {"12:10 AM - 1/1/2026", "1:10 AM - 1/1/2026", "1:00:00"},    // 12 AM is midnight
      {"9:15:00 PM - 1/1/2026", "21:20:05 - 1/1/2026", "0:05:05"},  // 12- and 24-hour mixed
      {"11:30 PM - 1/1/2026", "12:15 AM - 1/2/2026", "0:45:00"},   // across midnight
      {"23:00:00 - 1/1/2026", "22:59:59 - 1/2/2026", "23:59:59"},
      {"8:00:00 - x", "8:00:00 - x", "0:00:00"},
      {"7:05:09", "17:05:10", "10:00:01"},  // no date part
      {"7:05 pm - d", "7:06 Pm - d", "0:01:00"},
  };
  for (const Row& r : rows) EXPECT_EQ(ElapsedTimeText(r.start, r.end), r.elapsed) << r.start << " .. " << r.end;
}

TEST(ElapsedTime, TextsThatAreNoTimeRaise) {
  for (const char* bad : {"", " - 1/1/2026", "10 - x", "25:00:00", "10:60", "13:00 PM", "10:00:00 XM", "abc", "10:"}) {
    EXPECT_THROW(ElapsedTimeText(bad, "10:00:00"), EConvertError) << bad;
    EXPECT_THROW(ElapsedTimeText("10:00:00", bad), EConvertError) << bad;
  }
  try {
    ParseStoredTime("tea - 1/1/2026");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'tea - 1/1/2026' is not a valid time");
  }
}

}  // namespace
