#include <gtest/gtest.h>

#include <map>

#include "gate/core/endofrun.h"
#include "gate/core/gateoptions.h"
#include "gate/core/pathparts.h"
#include "base/locale.h"

namespace {

TEST(OptionCodes, Table) {
  struct Case {
    const char* text;
    bool log, messageOnly, stealth, watch;
    int action;
    size_t skipped;
  };
  const Case cases[] = {
      {"", false, false, false, false, 0, 0},
      {"1", true, false, false, true, 0, 0},
      {"1,8", true, false, false, true, 8, 0},
      {"6,9", false, false, false, true, 9, 0},
      {"9,6", false, false, false, true, 6, 0},
      {"3", false, true, false, false, 0, 0},
      {"4", false, false, true, false, 0, 0},
      {"0,2,5,11,-3,99", false, false, false, false, 0, 0},
      {"1,x,7", true, false, false, true, 7, 1},
      {"abc", false, false, false, false, 0, 1},
      {"99999999999,3", false, true, false, false, 0, 1},
      {"1,3,10", true, true, false, true, 10, 0},
  };
  for (const auto& c : cases) {
    const TGateOptions o = ParseOptionCodes(c.text);
    EXPECT_EQ(o.UseLog, c.log) << c.text;
    EXPECT_EQ(o.MessageOnly, c.messageOnly) << c.text;
    EXPECT_EQ(o.Stealth, c.stealth) << c.text;
    EXPECT_EQ(o.WatchAfterLaunch, c.watch) << c.text;
    EXPECT_EQ(o.ExitAction, c.action) << c.text;
    EXPECT_EQ(o.Skipped.size(), c.skipped) << c.text;
  }
}

TEST(Password, ExactBytesOnly) {
  struct Case {
    const char* typed;
    const char* stored;
    bool accepted;
  };
  const Case cases[] = {
      {"Secret", "Secret", true}, {"secret", "Secret", false}, {"Secret ", "Secret", false},
      {" Secret", "Secret", false}, {"", "", true},           {"x", "", false},
      {"", "Secret", false},
  };
  for (const auto& c : cases) EXPECT_EQ(PasswordAccepted(c.typed, c.stored), c.accepted) << c.typed;
}

TEST(Reboot, FlagArithmetic) {
  using O = TRebootOperation;
  EXPECT_EQ(ExitWindowsFlags(O::roLogOff, false, false), 0u);
  EXPECT_EQ(ExitWindowsFlags(O::roReboot, false, false), 2u);
  EXPECT_EQ(ExitWindowsFlags(O::roShutDown, true, false), 9u);
  EXPECT_EQ(ExitWindowsFlags(O::roShutDown, true, true), 13u);
  EXPECT_EQ(ExitWindowsFlags(O::roLogOff, false, true), 4u);
  EXPECT_EQ(ExitWindowsFlags(O::roReboot, true, false), 10u);
  EXPECT_EQ(ExitWindowsFlags(O::roSuspend, true, true), 0u);
}

TEST(Reboot, EndOfRunPlanPerCode) {
  struct Case {
    int code;
    bool nt;
    TEndOfRunCall call;
    uint32_t flags;
  };
  const Case cases[] = {
      {6, true, TEndOfRunCall::ExitWindows, 0},  {7, true, TEndOfRunCall::ExitWindows, 2},
      {8, true, TEndOfRunCall::ExitWindows, 9},  {9, true, TEndOfRunCall::ScreenSaver, 0},
      {10, true, TEndOfRunCall::LockWorkstation, 0}, {10, false, TEndOfRunCall::None, 0},
      {8, false, TEndOfRunCall::ExitWindows, 9}, {0, true, TEndOfRunCall::None, 0},
  };
  for (const auto& c : cases) {
    const TEndOfRunPlan p = PlanEndOfRun(static_cast<uint8_t>(c.code), c.nt);
    EXPECT_EQ(p.Call, c.call) << c.code;
    if (p.Call == TEndOfRunCall::ExitWindows) {
      EXPECT_EQ(ExitWindowsFlags(p.Operation, p.PowerOff, false), c.flags) << c.code;
    }
  }
}

TEST(PathParts, DriveAndStrictlyShorterParent) {
  EXPECT_EQ(ExtractDrivePart("C:\\a\\b"), "C:");
  EXPECT_EQ(ExtractDrivePart("\\\\srv\\share\\x"), "\\\\srv\\share");
  EXPECT_EQ(ExtractDrivePart("rel\\x"), "");
  EXPECT_EQ(ParentPath("C:\\a\\b.txt"), "C:\\a");
  EXPECT_EQ(ParentPath("C:\\a"), "C:");
  EXPECT_EQ(ParentPath("C:\\a\\\\b\\"), "C:\\a");
  // Whatever the input, the walk up ends.
  for (std::string p : {"C:\\a\\b\\c", "\\\\srv\\share\\a", "a\\b", "\\\\", "\\", ":", "x:", "C:\\\\\\", "abc", "a:b:c"}) {
    int steps = 0;
    while (!p.empty() && steps < 100) {
      const std::string parent = ParentPath(p);
      ASSERT_LT(parent.size(), p.size()) << p;
      p = parent;
      ++steps;
    }
    EXPECT_LT(steps, 100);
  }
}

// The long-path walk over a made-up file system (names by lower-case path).
TEST(PathParts, LongPathWalkTakesEachFoundComponentsStoredName) {
  const std::map<std::string, std::string> fs{
      {"c:\\progra~1", "Program Files"}, {"c:\\progra~1\\lockme~1.exe", "Lockmere Gate.exe"},
      {"c:\\docs", "Docs Folder"},      {"\\\\srv\\share\\a", "Alpha"},
  };
  const TLongNameLookup lookup = [&](std::string_view prefix, std::string& name) {
    const auto it = fs.find(LowerCase(std::string(prefix)));
    if (it == fs.end()) return false;
    name = it->second;
    return true;
  };
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\PROGRA~1\\LOCKME~1.EXE", "C:\\Program Files\\Lockmere Gate.exe"},
      {"C:\\progra~1\\missing\\x.txt", "C:\\Program Files\\missing\\x.txt"},
      {"C:\\nothing\\here.txt", "C:\\nothing\\here.txt"},
      {"C:\\", "C:"},
      {"C:", "C:"},
      {"C:\\docs\\", "C:\\Docs Folder\\"},  // a folder with its separator keeps it
      {"\\\\srv\\share\\a", "\\\\srv\\share\\Alpha"},
      {"\\\\srv\\share\\", "\\\\srv\\share"},
      {"a:b:", "a:\\b\\"},  // junk still ends
  };
  for (const auto& c : cases) EXPECT_EQ(LongPathWalk(c.path, lookup), c.expected) << c.path;
}

// Deep paths are walked, not recursed: 20,000 components return, each
// looked up once, none found and so all as written.
TEST(PathParts, LongPathWalkOfTwentyThousandComponentsReturns) {
  std::string path = "C:";
  for (int i = 0; i < 20000; ++i) path += "\\d" + std::to_string(i % 10);
  int lookups = 0;
  const std::string result = LongPathWalk(path, [&](std::string_view, std::string&) {
    ++lookups;
    return false;
  });
  EXPECT_EQ(result, path);
  EXPECT_EQ(lookups, 20000);
}

}  // namespace
