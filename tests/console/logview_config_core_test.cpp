// The Log View's row rules and the Configuration page's decisions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "console/core/configrules.h"
#include "console/core/logrows.h"
#include "console/core/usersettings.h"
#include "shared/core/errors.h"
#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"

namespace {

struct RowCase {
  const char* name;
  std::string bytes;
  TLogPathView view;
  bool nt;
  TLogRow expected;
};
void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class LogRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(LogRow, SaysWhatTheRecordHolds) {
  const RowCase& c = GetParam();
  EXPECT_EQ(LogRowFor(c.bytes, c.view, c.nt ? kFlagNodeCount : kFlagNodeCount - 1), c.expected);
}

const std::string kUser = "alice\r\nC:\\Program Files\\Tools\\calc.exe\r\n";
constexpr auto kName = TLogPathView::lpFileName;
constexpr auto kFull = TLogPathView::lpFullPath;

INSTANTIATE_TEST_SUITE_P(
    Records, LogRow,
    ::testing::Values(
        RowCase{"NotWatched", kUser + "2:05 PM - 9/12/2026\r\n", kName, true,
                {"alice", "calc.exe", "2:05 PM - 9/12/2026", "n/a", "-"}},
        RowCase{"WatchedNoAction", kUser + "2:05 PM - 9/12/2026\r\n3:17 PM - 9/12/2026\r\n", kName, true,
                {"alice", "calc.exe", "2:05 PM - 9/12/2026", "1:12:00", "-"}},
        RowCase{"WithAction", kUser + "2:05 PM - 9/12/2026\r\n2:06 PM - 9/12/2026\r\n7\r\n", kName, true,
                {"alice", "calc.exe", "2:05 PM - 9/12/2026", "0:01:00", "Reboot"}},
        RowCase{"EachActionByItsNode", kUser + "1:00 - x\r\n1:00 - x\r\n10\r\n", kName, true,
                {"alice", "calc.exe", "1:00 - x", "0:00:00", "Lock Workstation"}},
        RowCase{"FullPath", kUser + "2:05 PM - 9/12/2026\r\n", kFull, true,
                {"alice", "C:\\Program Files\\Tools\\calc.exe", "2:05 PM - 9/12/2026", "n/a", "-"}},
        RowCase{"TwentyFourHourWithSeconds", kUser + "14:05:10 - 09.12.2026\r\n16:20:40 - 09.12.2026\r\n6\r\n",
                kName, true, {"alice", "calc.exe", "14:05:10 - 09.12.2026", "2:15:30", "Log Off"}},
        RowCase{"PastMidnight", kUser + "11:50 PM - 9/12/2026\r\n12:10 AM - 9/13/2026\r\n", kName, true,
                {"alice", "calc.exe", "11:50 PM - 9/12/2026", "0:20:00", "-"}},
        // What the reader cannot take apart says "n/a"; the rest of the row stays.
        RowCase{"EndTimeOfAnotherLocale", kUser + "14.05 - 9.12.2026\r\n14.20 - 9.12.2026\r\n8\r\n", kName, true,
                {"alice", "calc.exe", "14.05 - 9.12.2026", "n/a", "Shutdown"}},
        RowCase{"EmptyEndTime", kUser + "2:05 PM - 9/12/2026\r\n\r\n9\r\n", kName, true,
                {"alice", "calc.exe", "2:05 PM - 9/12/2026", "n/a", "ScreenSaver"}},
        RowCase{"UnknownCodeAsItsNumber", kUser + "1:00 - x\r\n1:05 - x\r\n11\r\n", kName, true,
                {"alice", "calc.exe", "1:00 - x", "0:05:00", "11"}},
        RowCase{"LockWorkstationOff9x", kUser + "1:00 - x\r\n1:05 - x\r\n10\r\n", kName, false,
                {"alice", "calc.exe", "1:00 - x", "0:05:00", "10"}},
        RowCase{"CodeThatIsNoNumber", kUser + "1:00 - x\r\n1:05 - x\r\nseven\r\n", kName, true,
                {"alice", "calc.exe", "1:00 - x", "0:05:00", "n/a"}},
        RowCase{"EmptyRecord", "", kName, true, {"n/a", "n/a", "n/a", "n/a", "n/a"}},
        RowCase{"UserOnly", "bob\r\n", kName, true, {"bob", "n/a", "n/a", "n/a", "n/a"}},
        RowCase{"NoStartTime", "bob\r\nC:\\a.exe\r\n", kName, true, {"bob", "a.exe", "n/a", "n/a", "n/a"}},
        RowCase{"LinesPastTheFifthIgnored", kUser + "1:00 - x\r\n1:01 - x\r\n6\r\nextra\r\nmore\r\n", kName, true,
                {"alice", "calc.exe", "1:00 - x", "0:01:00", "Log Off"}},
        // The container's text lines end at CR LF, a lone CR or a lone LF alike.
        RowCase{"LoneLineEnds", "carol\nD:\\x\\y.bat\r1:00 - x\n1:02 - x", kName, true,
                {"carol", "y.bat", "1:00 - x", "0:02:00", "-"}},
        RowCase{"NoLastLineBreak", "dave\r\nC:\\z.exe\r\n1:00 - x", kName, true,
                {"dave", "z.exe", "1:00 - x", "n/a", "-"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogRecordOrder, NumericOrderOfTheNamesHeld) {
  // The container keeps its names sorted as text; after deletions there are gaps.
  const std::vector<std::string> names{"1", "10", "11", "2", "20", "3", "9"};
  std::vector<std::string> shown;
  for (int i : LogRecordOrder(names)) shown.push_back(names[static_cast<std::size_t>(i)]);
  EXPECT_EQ(shown, (std::vector<std::string>{"1", "2", "3", "9", "10", "11", "20"}));
}

TEST(LogRecordOrder, OtherNamesComeLastInTheirOrder) {
  const std::vector<std::string> names{"b", "07", "a", "3", "", "12345678901234567890"};
  std::vector<std::string> shown;
  for (int i : LogRecordOrder(names)) shown.push_back(names[static_cast<std::size_t>(i)]);
  EXPECT_EQ(shown, (std::vector<std::string>{"3", "07", "b", "a", "", "12345678901234567890"}));
}

// The installation's empty log is an empty log; a log that a user made
// larger than any log is refused before it is read, as a damaged one is.
TEST(LoadLogFile, EmptyIsAnEmptyLogAndOversizedIsRefusedUnread) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("lk-loadlog-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  const std::string empty = (folder / "empty.bin").string(), big = (folder / "big.bin").string();
  std::ofstream(empty, std::ios::binary).close();
  std::ofstream(big, std::ios::binary).close();
  std::filesystem::resize_file(big, kLogSizeLimit + 1);  // sparse: nothing to read but zeros

  TLkStreams log(nullptr);
  TMemoryStream held;
  log.AddStream("1", held);
  LoadLogFile(log, empty);
  EXPECT_EQ(log.StreamList().Count(), 0);
  try {
    LoadLogFile(log, big);
    ADD_FAILURE() << "an oversized log was read";
  } catch (const ECorruptFile& e) {
    EXPECT_EQ(e.Message(), "The log file is too large to read.");  // not the container's "File is corrupt."
  }
  std::filesystem::remove_all(folder);
}

// After Delete the refresh's text stands, unless the log is still there.
TEST(LogDelete, TheRefreshSpeaksLastUnlessTheLogStayed) {
  const struct {
    TLogDeletion deletion;
    bool refreshed;
    const char* shown;
  } cases[] = {
      {TLogDeletion::ldNotAsked, false, kStatusLogNotFound}, {TLogDeletion::ldDeclined, true, kStatusLogRefreshed},
      {TLogDeletion::ldDeleted, false, kStatusLogNotFound},  {TLogDeletion::ldDeleted, true, kStatusLogRefreshed},
      {TLogDeletion::ldFailed, true, kStatusLogNotDeleted},  {TLogDeletion::ldFailed, false, kStatusLogNotDeleted},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(LogDeleteStatusText(c.deletion, c.refreshed), c.shown)
        << static_cast<int>(c.deletion) << " " << c.refreshed;
}

TEST(ConfigRules, ColourSquaresByTag) {
  const char* expected[] = {"BLUE", "CYAN", "RED", "GREEN", "YELLOW", "BLACK"};
  for (int tag = 0; tag < 6; ++tag) EXPECT_EQ(OverlayColourOfTag(tag), expected[tag]);
  EXPECT_EQ(OverlayColourOfTag(-1), "");
  EXPECT_EQ(OverlayColourOfTag(6), "");
}

TEST(ConfigRules, StoredColourReadBack) {
  EXPECT_EQ(KnownOverlayColour("GREEN"), "GREEN");
  EXPECT_EQ(KnownOverlayColour("yellow"), "YELLOW");
  EXPECT_EQ(KnownOverlayColour(""), "RED");
  EXPECT_EQ(KnownOverlayColour("PURPLE"), "RED");
}

TEST(ConfigRules, StoredPositionsClamped) {
  const struct {
    int value, count, expected;
  } cases[] = {{0, 5, 0}, {4, 5, 4}, {5, 5, 0}, {-1, 5, 0}, {1000, 2, 0}, {0, 0, 0}, {3, 0, 0}};
  for (const auto& c : cases) EXPECT_EQ(ClampChoice(c.value, c.count), c.expected) << c.value << " of " << c.count;
}

TEST(ConfigRules, SkinChosenByNameFirst) {
  const std::vector<std::string> skins{"Default", "Aqua", "Steel"};
  const struct {
    const char* name;
    int select, expected;
  } cases[] = {
      {"Steel", 1, 2},    // the folder order changed: the name wins
      {"steel", 0, 2},    // folder names ignore letter case
      {"Default", 2, 0},  //
      {"Gone", 1, 1},     // a name no longer listed: the stored position
      {"Gone", 7, 0},     // ... clamped
      {"", 2, 2},         // no name stored
      {"", -3, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseSkin(skins, c.name, c.select), c.expected) << c.name << " " << c.select;
}

TEST(ConfigRules, PasswordGroup) {
  const struct {
    bool auth, contextAuth;
    const char* typed;
    TPasswordGroup expected;
  } cases[] = {
      {false, false, "", TPasswordGroup::pgSave},  // stores the empty password
      {true, false, "", TPasswordGroup::pgNeedPassword},
      {false, true, "", TPasswordGroup::pgNeedPassword},
      {true, true, "secret", TPasswordGroup::pgSave},
      {true, false, "x9", TPasswordGroup::pgUnstorable},    // '9' is the second key byte
      {true, false, "abc3", TPasswordGroup::pgUnstorable},  // '3' the fourth
      {true, false, "abcd2", TPasswordGroup::pgUnstorable}, // the key repeats: '2' again at the fifth
      {false, false, "2", TPasswordGroup::pgUnstorable},    // not storable even when not asked for
      {true, false, "3592", TPasswordGroup::pgSave},        // the key's bytes, none in its own place
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecidePasswordGroup(c.auth, c.contextAuth, c.typed), c.expected) << "\"" << c.typed << "\"";
}

}  // namespace
