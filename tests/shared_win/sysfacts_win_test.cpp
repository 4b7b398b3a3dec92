#include <gtest/gtest.h>

#include "base/locale.h"
#include "base/sysutils.h"
#include "shared/core/errors.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "tests/shared_win/winfixture.h"
#include "shared/win/settings.h"

namespace {


std::string Probe() { return "\"" + lkfix::ProgramFolder() + "svc_probe.exe\""; }

// Sets or (nothing) removes the stored InstallPath for the body's duration.
struct StoredInstallPath {
  explicit StoredInstallPath(const std::optional<TLkVariant>& v) {
    DeleteRegistryKey(kSettingsKey);
    if (v) WriteRegistryValue(kSettingsKey, "InstallPath", *v);
  }
  ~StoredInstallPath() { DeleteRegistryKey(kSettingsKey); }
};

// All cases in one test: they share the one registry value.
TEST(InstallPathsWin, TableFromTheStoredValue) {
  const lkfix::TPrefixLock lock;
  ASSERT_TRUE(lock.Held());
  const std::string program = lkfix::ProgramFolder();
  struct Case {
    const char* what;
    std::optional<TLkVariant> stored;
    std::string folder;
  } cases[] = {
      {"no value", std::nullopt, program},
      {"without separator", TLkVariant("C:\\lksvc-install\\lm"), "C:\\lksvc-install\\lm\\"},
      {"with separator", TLkVariant("C:\\lksvc-install\\lm\\"), "C:\\lksvc-install\\lm\\"},
      {"other type", TLkVariant(int32_t(7)), program},
  };
  for (const Case& c : cases) {
    StoredInstallPath stored(c.stored);
    const TInstallPaths p = ReadInstallPaths(true);
    EXPECT_EQ(p.InstallFolder, c.folder) << c.what;
    EXPECT_EQ(p.SkinsFolder, c.folder + "skins\\") << c.what;
    EXPECT_EQ(p.BackupFolder, c.folder + "backup") << c.what;
    // A program fixes the same paths at its start.
    const lkfix::TRunResult run = lkfix::RunProgram(Probe() + " facts");
    EXPECT_EQ(lkfix::ValueOf(run.Output, "install"), c.folder) << c.what << "\n" << run.Output;
    EXPECT_EQ(lkfix::ValueOf(run.Output, "userdata"), c.folder + "lmdata.bin") << c.what;
    EXPECT_EQ(lkfix::ValueOf(run.Output, "log"), c.folder + "lmlog.bin") << c.what;
  }
}

TEST(InstallPathsWin, SystemFolderGateAndCommonEntry) {
  const std::string system = GetSystemFolder();
  EXPECT_TRUE(SameText(system, "C:\\windows\\system32")) << system;
  EXPECT_EQ(SystemFolder(), system + "\\");
  EXPECT_EQ(GatePath(), system + "\\passbox.exe");
  EXPECT_EQ(ContextPath(), system + "\\context.exe");
  EXPECT_EQ(CommonEntryName(), "All Users");
  EXPECT_TRUE(RunningOnNT());
}

TEST(InstallPathsWin, SpecialFoldersAndUser) {
  EXPECT_EQ(CommonDesktopFolder(), "C:\\users\\Public\\Desktop");
  const std::string user = CurrentUserName();
  ASSERT_FALSE(user.empty());
  EXPECT_TRUE(SameText(UserDesktopFolder(), "C:\\users\\" + user + "\\Desktop")) << UserDesktopFolder();
  EXPECT_NE(UserStartMenuFolder().find("Start Menu"), std::string::npos) << UserStartMenuFolder();
  EXPECT_NE(CommonStartMenuFolder().find("Start Menu"), std::string::npos) << CommonStartMenuFolder();
  EXPECT_EQ(SpecialFolderPath(0x7777), "");  // no such folder
  EXPECT_TRUE(SameText(ModuleFileName(nullptr), lkfix::ProgramFolder() + "shared_win_tests.exe"));
}

// One probe copy per Windows version; Wine reports the version per program name.
TEST(SystemFactsWin, VersionKindUnderEachWindowsVersion) {
  struct Row {
    const char* version;
    const char* platform;
    int kind;
    const char* common;
  } rows[] = {
      {"win95", "1", 1, "Default"},   {"win98", "1", 4, "Default"},   {"winme", "1", 5, "Default"},
      {"nt40", "2", 7, "All Users"},  {"win2k", "2", 8, "All Users"}, {"winxp", "2", 8, "All Users"},
      {"", "2", 0, "All Users"},  // Wine's default, 6.1
  };
  for (const Row& r : rows) {
    const std::string exe = std::string("svc_probe_") + (*r.version ? r.version : "default") + ".exe";
    const std::string path = lkfix::CopyProgram("svc_probe.exe", exe);
    lkfix::SetProgramVersion(exe, r.version);
    const lkfix::TRunResult run = lkfix::RunProgram("\"" + path + "\" facts");
    lkfix::SetProgramVersion(exe, "");
    DeleteFileA(path.c_str());
    SCOPED_TRACE(std::string(r.version) + "\n" + run.Output);
    EXPECT_EQ(lkfix::ValueOf(run.Output, "platform"), r.platform);
    EXPECT_EQ(lkfix::ValueOf(run.Output, "kind"), IntToStr(r.kind));
    std::string flags(8, '0');
    if (r.kind) flags[r.kind - 1] = '1';
    EXPECT_EQ(lkfix::ValueOf(run.Output, "flags"), flags);
    EXPECT_EQ(lkfix::ValueOf(run.Output, "common"), r.common);
    EXPECT_EQ(lkfix::ValueOf(run.Output, "kernel"), "0x000A0000");
  }
}

TEST(SystemFactsWin, KernelVersionFromKernel32) {
  ASSERT_TRUE(HasVersionInfo("kernel32.dll"));
  const TLkFileVersionInfo info = LoadFileVersionInfo("kernel32.dll");
  EXPECT_EQ(info.FixedFileInfo().ProductVersionMS, KernelVersion());
  EXPECT_NE(KernelVersion(), 0u);
  EXPECT_FALSE(info.Languages().empty());
  // A file without version information.
  const std::string plain = lkfix::ScratchFolder("versioninfo") + "\\plain.txt";
  lkfix::WriteTextFile(plain, "no resources here");
  EXPECT_FALSE(HasVersionInfo(plain));
  EXPECT_THROW(LoadFileVersionInfo(plain), ELkFileVersionInfoError);
  try {
    LoadFileVersionInfo(plain);
  } catch (const ELkFileVersionInfoError& e) {
    EXPECT_EQ(e.Message(), "File contains no version information");
  }
}

TEST(SingleInstanceWin, SecondProcessIsRefusedWhileTheFirstLives) {
  const std::string event = "LkSvcReleaseClaim";
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
  {
    lkfix::TRunningProgram first(Probe() + " claim " + event);
    ASSERT_EQ(first.ReadLine(), "claim=1");
    EXPECT_EQ(lkfix::ValueOf(lkfix::RunProgram(Probe() + " claim").Output, "claim"), "0");
    EXPECT_EQ(lkfix::ValueOf(lkfix::RunProgram(Probe() + " claim").Output, "claim"), "0");
    SetEvent(release);
    ASSERT_TRUE(first.Wait());
  }
  EXPECT_EQ(lkfix::ValueOf(lkfix::RunProgram(Probe() + " claim").Output, "claim"), "1");
  CloseHandle(release);
}

TEST(AdministratorWin, RealTokenOfTheWineUser) {
  EXPECT_TRUE(UserIsAdministrator());
  EXPECT_EQ(lkfix::ValueOf(lkfix::RunProgram(Probe() + " facts").Output, "admin"), "1");
}

TEST(CreateEmptyFileWin, NewFileOnlyAndExistingUntouched) {
  const std::string path = lkfix::ScratchFolder("emptyfile") + "\\new.lnk";
  CreateEmptyFile(path);
  EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, true);
  EXPECT_EQ(lkfix::ReadTextFile(path), "");
  lkfix::WriteTextFile(path, "keep");
  try {
    CreateEmptyFile(path);
    FAIL() << "an existing file was accepted";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<uint32_t>(ERROR_FILE_EXISTS));
  }
  EXPECT_EQ(lkfix::ReadTextFile(path), "keep");
}

TEST(SystemLocaleWin, TablesComeFromTheSystem) {
  const TCharLocale& l = CharLocale();
  EXPECT_TRUE(l.ctype['A'] & C1_UPPER_BIT);
  EXPECT_TRUE(l.ctype['z'] & C1_LOWER_BIT);
  EXPECT_TRUE(l.ctype['5'] & C1_DIGIT_BIT);
  EXPECT_EQ(AnsiUpperCase("stra\xDF" " \xE9t\xE9"), "STRA\xDF" " \xC9T\xC9");
  EXPECT_EQ(AnsiLowerCase("\xC0LA"), "\xE0la");
  EXPECT_EQ(AnsiCompareText("Desktop", "DESKTOP"), 0);
  EXPECT_LT(AnsiCompareText("abc", "ABD"), 0);
  EXPECT_NE(AnsiCompareStr("abc", "ABC"), 0);
}

}  // namespace
