// Protect / revert decisions, the popup enabling table and the status texts.
#include <gtest/gtest.h>

#include "console/core/linkplan.h"
#include "shared/core/gatearg.h"
#include "console/core/popuprule.h"
#include "console/core/statustexts.h"
#include "shared/core/gatearg.h"

namespace {

const std::string kGate = "C:\\WINDOWS\\system32\\passbox.exe";

TProtectSettings Settings(int mode) {
  TProtectSettings s;
  s.Mode = mode;
  s.GatePath = kGate;
  s.GateFileName = "passbox.exe";
  s.DefaultIconLocation = [](const std::string& kind) -> std::string {
    if (kind == "Folder") return "shell32.dll,3";
    if (kind == "Drive") return "shell32.dll,8";
    if (kind == ".TXT") return "notepad.exe";
    return "";
  };
  return s;
}

TLinkFields Link(const std::string& target, const std::string& args) {
  TLinkFields l;
  l.Target = target;
  l.Arguments = args;
  l.WorkingFolder = "C:\\work";
  l.Description = "A link";
  l.IconFile = "old.ico";
  l.IconIndex = 7;
  l.ShowCommand = 3;
  l.HotKey = 0x0641;
  return l;
}

struct RoundTrip {
  std::string target, args;
  int mode;
};
void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.target << " [" << c.args << "] mode " << c.mode; }

class ProtectRevert : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ProtectRevert, RevertGivesBackTargetArgumentsAndKeepsTheRest) {
  const RoundTrip& c = GetParam();
  TLinkFields link = Link(c.target, c.args);
  ASSERT_EQ(PlanProtect(link, Settings(c.mode)), TLinkPlanResult::lpOk);
  EXPECT_EQ(link.Target, "c:\\windows\\system32\\passbox.exe");
  const TGateArgument d = DecodeGateArgument(link.Arguments);
  EXPECT_TRUE(d.HasMarker);
  EXPECT_EQ(d.Mode, c.mode);
  EXPECT_EQ(d.Target, c.target);
  EXPECT_EQ(d.Arguments, c.args);
  EXPECT_EQ(link.Description, "A link");
  EXPECT_EQ(link.WorkingFolder, "C:\\work");
  EXPECT_EQ(link.ShowCommand, 3);
  EXPECT_EQ(link.HotKey, 0x0641);

  ASSERT_EQ(PlanRevert(link, "passbox.exe"), TLinkPlanResult::lpOk);
  EXPECT_EQ(link.Target, c.target);
  EXPECT_EQ(link.Arguments, c.args);
  EXPECT_EQ(link.Description, "A link");
}

INSTANTIATE_TEST_SUITE_P(Links, ProtectRevert,
                         ::testing::Values(RoundTrip{"C:\\Apps\\tool.exe", "", 0},
                                           RoundTrip{"C:\\Apps\\tool.exe", "-a -b", 1},
                                           RoundTrip{"C:\\Apps\\tool.exe", "x;y;z", 0},
                                           RoundTrip{"C:\\Docs\\note.txt", "", 1},
                                           RoundTrip{"C:\\", "", 0}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(Protect, IconKeptPerTargetKind) {
  struct Case {
    std::string target, file;
    int index;
  } cases[] = {
      {"C:\\Apps\\tool.exe", "C:\\Apps\\tool.exe", 0}, {"C:\\Apps\\saver.SCR", "C:\\Apps\\saver.SCR", 0},
      {"C:\\Docs\\note.txt", "notepad.exe", 0},        {"C:\\", "shell32.dll", 8},
      {"C:\\Docs", "shell32.dll", 3},                  {"C:\\x.unknown", "", 0},
  };
  for (const Case& c : cases) {
    TLinkFields link = Link(c.target, "");
    ASSERT_EQ(PlanProtect(link, Settings(0)), TLinkPlanResult::lpOk) << c.target;
    EXPECT_EQ(link.IconFile, c.file) << c.target;
    EXPECT_EQ(link.IconIndex, c.index) << c.target;
  }
}

TEST(Protect, GateIconWhenIconSelectIsOn) {
  TLinkFields link = Link("C:\\Apps\\tool.exe", "");
  TProtectSettings s = Settings(1);
  s.IconSelect = true;
  s.IconSelectIndex = 3;
  ASSERT_EQ(PlanProtect(link, s), TLinkPlanResult::lpOk);
  EXPECT_EQ(link.IconFile, "c:\\windows\\system32\\passbox.exe");
  EXPECT_EQ(link.IconIndex, 3);
}

TEST(Protect, RefusesWhatCouldNotComeBack) {
  TLinkFields semi = Link("C:\\a;b\\tool.exe", "");
  const TLinkFields before = semi;
  EXPECT_EQ(PlanProtect(semi, Settings(0)), TLinkPlanResult::lpTargetHasSemicolon);
  EXPECT_EQ(semi.Target, before.Target);

  TLinkFields longArgs = Link("C:\\Apps\\tool.exe", std::string(800, 'x'));
  EXPECT_EQ(PlanProtect(longArgs, Settings(0)), TLinkPlanResult::lpArgumentTooLong);
  EXPECT_EQ(longArgs.Arguments, std::string(800, 'x'));

  TLinkFields protectedLink = Link("C:\\WINDOWS\\SYSTEM32\\PASSBOX.EXE", "whatever");
  EXPECT_EQ(PlanProtect(protectedLink, Settings(0)), TLinkPlanResult::lpAlreadyProtected);
}

// A link's arguments field holds 1023 characters: the Gate argument may use
// all of it. Gate arguments are 4k + 1 long, so 1021 is the longest.
TEST(Protect, GateArgumentUpToTheArgumentField) {
  // "C:\Apps\tool.exe" + ";" + n, plus the 3-character marker, Base64, "1".
  TLinkFields fits = Link("C:\\Apps\\tool.exe", std::string(745, 'x'));
  ASSERT_EQ(PlanProtect(fits, Settings(0)), TLinkPlanResult::lpOk);
  EXPECT_EQ(fits.Arguments.size(), 1021u);
  EXPECT_EQ(DecodeGateArgument(fits.Arguments).Arguments, std::string(745, 'x'));

  TLinkFields over = Link("C:\\Apps\\tool.exe", std::string(746, 'x'));
  EXPECT_EQ(PlanProtect(over, Settings(0)), TLinkPlanResult::lpArgumentTooLong);
  EXPECT_EQ(over.Target, "C:\\Apps\\tool.exe");
  EXPECT_EQ(over.Arguments, std::string(746, 'x'));
}

// Revert writes back what the Gate argument holds: a target a link can hold
// (259 characters) and arguments up to the field's 1023.
TEST(Revert, RestoredTextsUpToWhatALinkHolds) {
  struct Case {
    std::size_t targetLength, argumentsLength;
    TLinkPlanResult expected;
  };
  const Case cases[] = {
      {16, 1023, TLinkPlanResult::lpOk},
      {16, 1024, TLinkPlanResult::lpArgumentTooLong},
      {259, 0, TLinkPlanResult::lpOk},
      {260, 0, TLinkPlanResult::lpArgumentTooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.targetLength) + " / " + std::to_string(c.argumentsLength));
    const std::string target = "C:\\" + std::string(c.targetLength - 9, 'd') + "\\t.exe";
    ASSERT_EQ(target.size(), c.targetLength);
    const std::string args(c.argumentsLength, 'a');
    const std::string token = WrapToken(ScrambleText(JoinGateText(target, args)), 0);
    TLinkFields link = Link(kGate, token);
    EXPECT_EQ(PlanRevert(link, "passbox.exe"), c.expected);
    if (c.expected == TLinkPlanResult::lpOk) {
      EXPECT_EQ(link.Target, target);
      EXPECT_EQ(link.Arguments, args);
    } else {
      EXPECT_EQ(link.Target, kGate);  // left as it was
      EXPECT_EQ(link.Arguments, token);
    }
  }
}

TEST(Revert, OnlyProtectedLinksWithAMarker) {
  TLinkFields plain = Link("C:\\Apps\\tool.exe", "-a");
  EXPECT_EQ(PlanRevert(plain, "passbox.exe"), TLinkPlanResult::lpNotProtected);
  // The gate as target, but arguments that are no Gate argument.
  TLinkFields foreign = Link(kGate, "/some /switch");
  EXPECT_EQ(PlanRevert(foreign, "passbox.exe"), TLinkPlanResult::lpNoModeMarker);
  EXPECT_EQ(foreign.Arguments, "/some /switch");
  TLinkFields empty = Link(kGate, "");
  EXPECT_EQ(PlanRevert(empty, "passbox.exe"), TLinkPlanResult::lpNoModeMarker);
}

TEST(Revert, IconFromTheRestoredTarget) {
  TLinkFields exe = Link("C:\\Apps\\tool.exe", "");
  PlanProtect(exe, Settings(0));
  ASSERT_EQ(PlanRevert(exe, "passbox.exe"), TLinkPlanResult::lpOk);
  EXPECT_EQ(exe.IconFile, "C:\\Apps\\tool.exe");
  TLinkFields txt = Link("C:\\Docs\\note.txt", "");
  PlanProtect(txt, Settings(0));
  ASSERT_EQ(PlanRevert(txt, "passbox.exe"), TLinkPlanResult::lpOk);
  EXPECT_EQ(txt.IconFile, "");
  EXPECT_EQ(txt.IconIndex, 0);
}

TEST(ReadBack, ComparesEveryKeptField) {
  const TLinkFields w = Link("C:\\Apps\\tool.exe", "-a");
  TLinkFields r = w;
  r.Target = "C:\\APPS\\TOOL.EXE";
  EXPECT_TRUE(LinkReadsBackAs(w, r, nullptr));
  r.Arguments = "-a -b";
  EXPECT_FALSE(LinkReadsBackAs(w, r, nullptr));
  r = w;
  r.HotKey = 0;
  EXPECT_FALSE(LinkReadsBackAs(w, r, nullptr));
  r = w;
  EXPECT_FALSE(LinkReadsBackAs(w, r, [](const std::string&, const std::string&) { return false; }));
}

// Peruser, Restore, Backup, Paste, Delete/Execute/Copy/Properties, Protect, Revert.
struct PopupCase {
  const char* name;
  int users;
  bool backupExists;
  bool inBackup;
  int copies;
  std::vector<std::string> selected;
  bool peruser, restore, backup, paste, rowCommands, protect, revert;
};

TEST(Popup, EnablingTable) {
  const std::string gate = "c:\\windows\\system32\\passbox.exe";
  const std::string app = "C:\\Apps\\tool.exe";
  const PopupCase cases[] = {
      {"nothing selected", 3, true, false, 0, {}, true, true, false, false, false, false, false},
      {"one user only", 1, false, false, 2, {app}, false, false, true, true, true, true, false},
      {"protected only", 2, true, false, 0, {gate, gate}, true, true, true, false, true, false, true},
      {"mixed selection", 2, true, false, 0, {app, gate}, true, true, true, false, true, false, false},
      {"showing the backup", 2, true, true, 1, {app}, true, false, false, true, true, true, false},
      {"no backup folder", 2, false, false, 0, {app}, true, false, true, false, true, true, false},
  };
  for (const PopupCase& c : cases) {
    TPopupContext ctx;
    ctx.UserCount = c.users;
    ctx.BackupFolder = "C:\\Lockmere\\backup";
    ctx.CurrentFolder = c.inBackup ? ctx.BackupFolder : "C:\\users\\Public\\Desktop";
    ctx.BackupFolderExists = c.backupExists;
    ctx.CopyCount = c.copies;
    ctx.SelectedTargets = c.selected;
    ctx.GateFileName = "passbox.exe";
    const TPopupEnabling e = PopupEnabling(ctx);
    EXPECT_EQ(e.Peruser, c.peruser) << c.name;
    EXPECT_EQ(e.Restore, c.restore) << c.name;
    EXPECT_EQ(e.Backup, c.backup) << c.name;
    EXPECT_EQ(e.Paste, c.paste) << c.name;
    EXPECT_EQ(e.Delete, c.rowCommands) << c.name;
    EXPECT_EQ(e.Execute, c.rowCommands) << c.name;
    EXPECT_EQ(e.Copy, c.rowCommands) << c.name;
    EXPECT_EQ(e.Properties, c.rowCommands) << c.name;
    EXPECT_EQ(e.Protect, c.protect) << c.name;
    EXPECT_EQ(e.Revert, c.revert) << c.name;
  }
}

TEST(Popup, BackupFolderComparisonIsExact) {
  TPopupContext ctx;
  ctx.BackupFolder = "C:\\Lockmere\\backup";
  ctx.CurrentFolder = "C:\\LOCKMERE\\BACKUP";
  ctx.BackupFolderExists = true;
  EXPECT_TRUE(PopupEnabling(ctx).Restore);
}

TEST(Status, SuccessOnlyWithoutFailures) {
  EXPECT_EQ(ProtectStatusText({3, 1, 0}), " Protection implemented.");
  EXPECT_EQ(RevertStatusText({2, 0, 0}), " Protection removed.");
  EXPECT_EQ(ProtectStatusText({2, 0, 1}), " Protection failed for 1 of 3 link(s).");
  EXPECT_EQ(RevertStatusText({0, 1, 2}), " Revert failed for 2 of 3 link(s).");
}

}  // namespace
