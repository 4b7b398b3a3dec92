// The console under Wine: TLKMain built in this program, driven through its
// components and handlers, read back through its list, status bar, the link
// files and the registry. The fixture puts links on the current user's and
// the common desktop and a stand-in gate in the system folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "console/core/linkplan.h"
#include "shared/core/gatearg.h"
#include "base/locale.h"
#include "console/win/configpage.h"
#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/logviewpage.h"
#include "console/win/usersettingspage.h"
#include "console/win/splash.h"
#include "controls/win/foldermonitor.h"
#include "forms/win/application.h"
#include "forms/win/stdctrls.h"
#include "shared/core/vigenere.h"
#include "console/core/userdata.h"
#include "base/streams.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"
#include "shared/win/settings.h"

namespace {

const char* const kFixtureDir = "C:\\lkfixture";

bool g_halted = false;
void RecordHalt() { g_halted = true; }

std::string Fixture(const std::string& name) { return std::string(kFixtureDir) + "\\" + name; }

void MakeLink(const std::string& path, const std::string& target, const std::string& args,
              const std::string& description) {
  TShellLink l;
  l.Target = target;
  l.Arguments = args;
  l.Description = description;
  l.WorkingFolder = kFixtureDir;
  l.ShowCommand = SW_SHOWMINNOACTIVE;
  l.HotKey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
  ASSERT_EQ(WriteShellLink(l, path), S_OK) << path;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + ms;
  while (GetTickCount() < end) {
    Application->ProcessMessages();
    Sleep(20);
  }
}

class Console : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    InitInstallPaths();
    CreateDirectoryA(kFixtureDir, nullptr);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    // A stand-in gate where protected links expect it, and real targets.
    CopyFileA(self, GatePath().c_str(), TRUE);
    CopyFileA(self, Fixture("tool.exe").c_str(), FALSE);
    HANDLE h = CreateFileA(Fixture("notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }

  void SetUp() override {
    // The cases share the prefix's registry and desktops: one at a time,
    // across test programs too.
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    g_halted = false;
    SetHaltHook(&RecordHalt);
    seam_.message_box = [this](const std::string& text, const std::string& caption, UINT) {
      boxes_.push_back(caption + ": " + text);
      return IDOK;
    };
    seam_.show_modal = [this](TCustomForm& form, int& result) {
      TEdit* edit = nullptr;  // the prompt's one edit
      for (int i = 0; i < form.ComponentCount() && !edit; ++i) edit = dynamic_cast<TEdit*>(form.Components(i));
      if (edit && answer_ok_) edit->SetText(typed_);
      result = answer_ok_ ? mrOk : mrCancel;
      return true;
    };
    SetUiSeam(&seam_);
    desktop_ = UserDesktopFolder();
    common_ = CommonDesktopFolder();
    CreateDirectoryA(desktop_.c_str(), nullptr);
    CreateDirectoryA(common_.c_str(), nullptr);
    WriteRegistryValue(kSettingsKey, "doAuthenticate", TLkVariant(false));
    WriteRegistryValue(kSettingsKey, "doIconSelect", TLkVariant(false));
  }

  void TearDown() override {
    if (main_) TCustomForm::Free(main_);
    main_ = nullptr;
    for (const std::string& p : made_) DeleteFileA(p.c_str());
    SetUiSeam(nullptr);
    SetHaltHook(nullptr);
    lock_.reset();
  }

  std::string AddLink(const std::string& folder, const std::string& name, const std::string& target,
                      const std::string& args, const std::string& description) {
    const std::string path = folder + "\\" + name + ".lnk";
    MakeLink(path, target, args, description);
    made_.push_back(path);
    return path;
  }

  TLKMain* Start() {
    main_ = new TLKMain(Application);
    return main_;
  }

  TListItem* Row(const std::string& caption) {
    for (int i = 0; i < main_->DesktopPage->DesktopLista->Count(); ++i)
      if (main_->DesktopPage->DesktopLista->Items(i)->Caption() == caption) return main_->DesktopPage->DesktopLista->Items(i);
    return nullptr;
  }

  void SelectOnly(std::initializer_list<const char*> captions) {
    main_->DesktopPage->DesktopLista->HandleNeeded();
    main_->DesktopPage->DesktopLista->ClearSelection();
    for (const char* c : captions) {
      TListItem* r = Row(c);
      ASSERT_NE(r, nullptr) << c;
      r->SetSelected(true);
    }
  }

  std::optional<lkfix::TPrefixLock> lock_;
  TUiSeam seam_;
  std::vector<std::string> boxes_;
  std::vector<std::string> made_;
  std::string desktop_, common_;
  bool answer_ok_ = true;
  std::string typed_;
  TLKMain* main_ = nullptr;
};

TEST_F(Console, MainWindowListsTheUsersDesktops) {
  AddLink(desktop_, "lk Tool", Fixture("tool.exe"), "-x", "The tool");
  AddLink(common_, "lk Common", Fixture("notes.txt"), "", "For everybody");
  TLKMain* m = Start();
  EXPECT_TRUE(m->StartupDone);
  EXPECT_EQ(m->Caption(), "Lockmere v1.01");
  EXPECT_EQ(m->ClientWidth(), 635);
  EXPECT_EQ(m->ClientHeight(), 470);
  ASSERT_GE(m->DesktopPage->Combo_Userlist->ItemCount(), 2);
  EXPECT_EQ(m->DesktopPage->Combo_Userlist->Items()[0], "All Users");
  EXPECT_EQ(m->StatusText(), " Viewing panel refreshed.");

  // The current user's desktop is shown first.
  TListItem* tool = Row("lk Tool");
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->SubItem(0), "The tool");
  EXPECT_EQ(tool->SubItem(1), "None");
  EXPECT_EQ(tool->SubItem(2), desktop_ + "\\lk Tool.lnk");
  EXPECT_GE(tool->ImageIndex(), 0);

  m->DesktopPage->Combo_Userlist->SetItemIndex(0);
  m->DesktopPage->Combo_UserlistChange(m->DesktopPage->Combo_Userlist);
  EXPECT_EQ(m->DesktopPage->DesktopPanel->Caption(), "All Users Desktop Shortcuts");
  TListItem* common = Row("lk Common");
  ASSERT_NE(common, nullptr);
  EXPECT_EQ(common->SubItem(0), "For everybody");
  EXPECT_EQ(Row("lk Tool"), nullptr);
}

TEST_F(Console, EveryProfileHasItsDesktop) {
  // A second user of the machine, as the profile list and the folders hold it.
  const std::string profiles = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  const std::string key = profiles + "\\S-1-5-21-1000-1000-1000-1042";
  WriteRegistryValue(key, "ProfileImagePath", TLkVariant("C:\\users\\lkguest"));
  struct Remove {
    std::string key;
    ~Remove() { DeleteRegistryKey(key); }
  } remove{key};
  CreateDirectoryA("C:\\users\\lkguest", nullptr);
  CreateDirectoryA("C:\\users\\lkguest\\Desktop", nullptr);
  AddLink("C:\\users\\lkguest\\Desktop", "lk Guest Tool", Fixture("tool.exe"), "", "The guest's");
  TLKMain* m = Start();
  int guest = -1;
  for (int i = 0; i < m->DesktopPage->Combo_Userlist->ItemCount(); ++i)
    if (m->DesktopPage->Combo_Userlist->Items()[i] == "lkguest") guest = i;
  ASSERT_GE(guest, 0);
  m->DesktopPage->Combo_Userlist->SetItemIndex(guest);
  m->DesktopPage->Combo_UserlistChange(m->DesktopPage->Combo_Userlist);
  EXPECT_EQ(m->DesktopPage->DesktopPanel->Caption(), "lkguest Desktop Shortcuts");
  ASSERT_NE(Row("lk Guest Tool"), nullptr);
  EXPECT_EQ(Row("lk Guest Tool")->SubItem(0), "The guest's");
  EXPECT_EQ(m->DesktopPage->FolderMonitor->FolderName(), "C:\\users\\lkguest\\Desktop");
}

struct LinkCase {
  const char* name;
  const char* target;  // in the fixture folder
  const char* args;
  int mode;
};
void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class ConsoleLinks : public Console, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(ConsoleLinks, RewritesToTheGateAndBack) {
  const LinkCase& c = GetParam();
  const std::string path = AddLink(desktop_, c.name, Fixture(c.target), c.args, "Kept description");
  TShellLink before;
  ASSERT_EQ(ReadShellLink(path, before), S_OK);
  TLKMain* m = Start();
  SelectOnly({c.name});
  m->DesktopPage->Protection(c.mode == 0 ? m->DesktopPage->User1 : m->DesktopPage->Peruser);
  EXPECT_EQ(m->StatusText(), " Protection implemented.");

  TShellLink p;
  ASSERT_EQ(ReadShellLink(path, p), S_OK);
  EXPECT_TRUE(IsProtectedTarget(p.Target, "passbox.exe")) << p.Target;
  const TGateArgument d = DecodeGateArgument(p.Arguments);
  ASSERT_TRUE(d.HasMarker);
  EXPECT_EQ(d.Mode, c.mode);
  EXPECT_TRUE(AnsiSameText(d.Target, before.Target)) << d.Target;
  EXPECT_EQ(d.Arguments, c.args);
  EXPECT_EQ(p.Description, before.Description);
  EXPECT_EQ(p.WorkingFolder, before.WorkingFolder);
  EXPECT_EQ(p.ShowCommand, before.ShowCommand);
  EXPECT_EQ(p.HotKey, before.HotKey);

  // The folder monitor turns the row "Protected" without a manual refresh.
  for (int i = 0; i < 60 && !(Row(c.name) && Row(c.name)->SubItem(1) == "Protected"); ++i) Pump(100);
  ASSERT_NE(Row(c.name), nullptr);
  EXPECT_EQ(Row(c.name)->SubItem(1), "Protected");

  SelectOnly({c.name});
  m->DesktopPage->Removeprotection1Click(m->DesktopPage->Removeprotection1);
  EXPECT_EQ(m->StatusText(), " Protection removed.");
  TShellLink r;
  ASSERT_EQ(ReadShellLink(path, r), S_OK);
  EXPECT_EQ(r.Target, before.Target);
  EXPECT_EQ(r.Arguments, before.Arguments);
  EXPECT_EQ(r.Description, before.Description);
  EXPECT_EQ(r.WorkingFolder, before.WorkingFolder);
  EXPECT_EQ(r.ShowCommand, before.ShowCommand);
  EXPECT_EQ(r.HotKey, before.HotKey);
}

INSTANTIATE_TEST_SUITE_P(Links, ConsoleLinks,
                         ::testing::Values(LinkCase{"lk NoArgs", "tool.exe", "", 0},
                                           LinkCase{"lk Args", "tool.exe", "-a b", 1},
                                           LinkCase{"lk Semicolons", "notes.txt", "x;y;z", 0}),
                         [](const auto& info) { return std::string(info.param.name).substr(3); });

// Leaves protected links and what they must decode to under
// C:\lkfixture\export for the outside checkers (lnkinfo, lkdev).
TEST_F(Console, ExportProtectedLinks) {
  const std::string out = Fixture("export");
  CreateDirectoryA(out.c_str(), nullptr);
  const struct {
    const char* name;
    const char* target;
    const char* args;
    int mode;
  } cases[] = {{"lk ExpNoArgs", "tool.exe", "", 0}, {"lk ExpArgs", "tool.exe", "-a b", 1},
               {"lk ExpSemi", "notes.txt", "x;y;z", 1}};
  for (const auto& c : cases) AddLink(desktop_, c.name, Fixture(c.target), c.args, "Exported");
  TLKMain* m = Start();
  for (const auto& c : cases) {
    SelectOnly({c.name});
    m->DesktopPage->Protection(c.mode == 0 ? m->DesktopPage->User1 : m->DesktopPage->Peruser);
    ASSERT_EQ(m->StatusText(), " Protection implemented.");
    const std::string path = desktop_ + "\\" + c.name + ".lnk";
    const std::string base = out + "\\" + std::string(c.name).substr(3);
    ASSERT_TRUE(CopyFileA(path.c_str(), (base + ".lnk").c_str(), FALSE));
    TShellLink l;
    ASSERT_EQ(ReadShellLink(path, l), S_OK);
    const TGateArgument d = DecodeGateArgument(l.Arguments);
    FILE* f = std::fopen((base + ".expect").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "%s\n%s\n%d\n", d.Target.c_str(), c.args, c.mode);
    std::fclose(f);
    FILE* t = std::fopen((base + ".token").c_str(), "wb");
    std::fprintf(t, "%s", l.Arguments.c_str());
    std::fclose(t);
  }
}

// The colour of pixel (x, y) of image `index` of a list, drawn on white.
TColor ImagePixel(TImageList* list, int index, int x, int y) {
  TBitmap bmp;
  bmp.SetSize(list->Width(), list->Height());
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect(TRect(0, 0, list->Width(), list->Height()));
  list->Draw(bmp.Canvas(), 0, 0, index);
  return bmp.Canvas()->Pixel(x, y);
}

TEST_F(Console, ColourOverlayOnlyOnProtectedLargeIcons) {
  AddLink(desktop_, "lk Plain", Fixture("tool.exe"), "", "");
  AddLink(desktop_, "lk Guarded", Fixture("tool.exe"), "", "");
  WriteRegistryValue(kSettingsKey, "Malla", TLkVariant("RED"));
  TLKMain* m = Start();
  SelectOnly({"lk Guarded"});
  m->DesktopPage->ProtectSelected(0);
  m->DesktopPage->RefreshDesktop();
  WriteRegistryValue(kSettingsKey, "Malla", TLkVariant("BLUE"));
  TListItem* plain = Row("lk Plain");
  TListItem* guarded = Row("lk Guarded");
  ASSERT_TRUE(plain && guarded);
  ASSERT_NE(plain->ImageIndex(), guarded->ImageIndex());
  // The disc sits at (24, 24) of the 32-pixel icon.
  EXPECT_EQ(ImagePixel(m->DesktopPage->IcoLista, guarded->ImageIndex(), 24, 24), clRed);
  EXPECT_NE(ImagePixel(m->DesktopPage->IcoLista, plain->ImageIndex(), 24, 24), clRed);
  // The small icons carry no colour overlay.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(ImagePixel(m->DesktopPage->IcoListaPeq, guarded->ImageIndex(), x, y),
                ImagePixel(m->DesktopPage->IcoListaPeq, plain->ImageIndex(), x, y));
}

TEST_F(Console, SkipsAndFailuresAreCounted) {
  const std::string plain = AddLink(desktop_, "lk Plain", Fixture("tool.exe"), "", "");
  AddLink(desktop_, "lk Long", Fixture("tool.exe"), std::string(800, 'a'), "");
  TLKMain* m = Start();
  SelectOnly({"lk Plain", "lk Long"});
  const TBatchOutcome o = m->DesktopPage->ProtectSelected(0);
  EXPECT_EQ(o.Done, 1);
  EXPECT_EQ(o.Failed, 1);  // its Gate argument would not fit
  EXPECT_EQ(m->StatusText(), " Protection failed for 1 of 2 link(s).");
  // Protecting again, on the row's old scan, skips the already protected one.
  SelectOnly({"lk Plain"});
  const TBatchOutcome again = m->DesktopPage->ProtectSelected(1);
  EXPECT_EQ(again.Skipped, 1);
  EXPECT_EQ(again.Done, 0);
  TShellLink l;
  ASSERT_EQ(ReadShellLink(plain, l), S_OK);
  EXPECT_EQ(DecodeGateArgument(l.Arguments).Mode, 0);
  // Reverting a link that is not protected is skipped, not a failure.
  SelectOnly({"lk Long"});
  EXPECT_EQ(m->DesktopPage->RevertSelected().Skipped, 1);
  EXPECT_EQ(m->StatusText(), " Protection removed.");
}

// The Gate argument may fill the link's arguments field (1023 characters;
// Gate arguments are 4k + 1 long): 1021 is written and reads back whole, 1025
// is refused and counted, and that link stays as it was.
TEST_F(Console, GateArgumentsUpToTheArgumentFieldAreWritten) {
  // Fixture("tool.exe") is 21 characters: 740 argument characters give 1021.
  const std::string fits = AddLink(desktop_, "lk Fits", Fixture("tool.exe"), std::string(740, 'f'), "");
  const std::string over = AddLink(desktop_, "lk Over", Fixture("tool.exe"), std::string(741, 'o'), "");
  TLKMain* m = Start();
  SelectOnly({"lk Fits", "lk Over"});
  const TBatchOutcome o = m->DesktopPage->ProtectSelected(0);
  EXPECT_EQ(o.Done, 1);
  EXPECT_EQ(o.Failed, 1);
  TShellLink l;
  ASSERT_EQ(ReadShellLink(fits, l), S_OK);
  EXPECT_EQ(l.Arguments.size(), 1021u);
  EXPECT_EQ(DecodeGateArgument(l.Arguments).Arguments, std::string(740, 'f'));
  FreeShellLinkIdList(l);
  TShellLink untouched;
  ASSERT_EQ(ReadShellLink(over, untouched), S_OK);
  EXPECT_EQ(untouched.Arguments, std::string(741, 'o'));
  FreeShellLinkIdList(untouched);
  // And back: the 740 characters are restored.
  SelectOnly({"lk Fits"});
  EXPECT_EQ(m->DesktopPage->RevertSelected().Done, 1);
  TShellLink back;
  ASSERT_EQ(ReadShellLink(fits, back), S_OK);
  EXPECT_EQ(back.Arguments, std::string(740, 'f'));
  FreeShellLinkIdList(back);
}

TEST_F(Console, AFolderRefreshWaitsForProtectToFinish) {
  AddLink(desktop_, "lk One", Fixture("tool.exe"), "", "");
  AddLink(desktop_, "lk Two", Fixture("tool.exe"), "-t", "");
  TLKMain* m = Start();
  int rowsWhileBusy = -1;
  m->DesktopPage->AfterLinkWrite = [&](const std::string&) {
    // A change report in the middle: the rows the command works from stay.
    m->SetStatusText(" marker");
    m->DesktopPage->FolderMonitorChange(nullptr);
    if (rowsWhileBusy < 0) rowsWhileBusy = m->DesktopPage->DesktopLista->Count();
    EXPECT_EQ(m->StatusText(), " marker");
  };
  SelectOnly({"lk One", "lk Two"});
  const TBatchOutcome o = m->DesktopPage->ProtectSelected(1);
  m->DesktopPage->AfterLinkWrite = nullptr;
  EXPECT_EQ(o.Done, 2);
  EXPECT_GT(rowsWhileBusy, 0);
  // The refresh ran afterwards: both rows are shown protected at once.
  EXPECT_EQ(Row("lk One")->SubItem(1), "Protected");
  EXPECT_EQ(Row("lk Two")->SubItem(1), "Protected");
  EXPECT_EQ(m->StatusText(), " Protection implemented.");
}

TEST_F(Console, PopupEnabling) {
  AddLink(desktop_, "lk A", Fixture("tool.exe"), "", "");
  AddLink(desktop_, "lk B", Fixture("tool.exe"), "", "");
  TLKMain* m = Start();
  SelectOnly({"lk A"});
  m->DesktopPage->ProtectSelected(0);
  m->DesktopPage->RefreshDesktop();
  SelectOnly({"lk A", "lk B"});
  m->DesktopPage->PopupMenu1Popup(m->DesktopPage->PopupMenu1);
  EXPECT_FALSE(m->DesktopPage->Protectwithpassword->Enabled());
  EXPECT_FALSE(m->DesktopPage->Removeprotection1->Enabled());
  EXPECT_TRUE(m->DesktopPage->Delete1->Enabled());
  EXPECT_FALSE(m->DesktopPage->Paste1->Enabled());
  EXPECT_TRUE(m->DesktopPage->Peruser->Enabled());
  SelectOnly({"lk A"});
  m->DesktopPage->PopupMenu1Popup(m->DesktopPage->PopupMenu1);
  EXPECT_FALSE(m->DesktopPage->Protectwithpassword->Enabled());
  EXPECT_TRUE(m->DesktopPage->Removeprotection1->Enabled());
  m->DesktopPage->DesktopLista->ClearSelection();
  m->DesktopPage->PopupMenu1Popup(m->DesktopPage->PopupMenu1);
  EXPECT_FALSE(m->DesktopPage->Execute1->Enabled());
  EXPECT_FALSE(m->DesktopPage->Backup->Enabled());
}

struct AuthCase {
  const char* name;
  bool answer;
  const char* typed;
  bool breakStartup;
  bool halted;
};
void PrintTo(const AuthCase& c, std::ostream* os) { *os << c.name; }

class ConsoleAuth : public Console, public ::testing::WithParamInterface<AuthCase> {};

TEST_P(ConsoleAuth, PasswordDecidesTheStart) {
  const AuthCase& c = GetParam();
  WriteRegistryValue(kSettingsKey, "doAuthenticate", TLkVariant(true));
  WriteRegistryValue(kSettingsKey, "Authenticate", TLkVariant(TLkVigenereCipher::DecryptText("s3cret", "2953")));
  const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  const std::string saved = ReadRegistryValue(HKEY_CURRENT_USER, shellFolders, "Desktop", TLkVariant("")).AsString();
  if (c.breakStartup) {
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, shellFolders, 0, KEY_SET_VALUE, &key);
    RegDeleteValueA(key, "Desktop");
    RegCloseKey(key);
  }
  answer_ok_ = c.answer;
  typed_ = c.typed;
  TLKMain* m = Start();
  if (c.breakStartup) WriteRegistryValue(shellFolders, "Desktop", TLkVariant(saved), HKEY_CURRENT_USER);
  WriteRegistryValue(kSettingsKey, "doAuthenticate", TLkVariant(false));
  EXPECT_EQ(g_halted, c.halted);
  EXPECT_EQ(m->StartupDone, !c.halted);
  // The failed step is reported once the password was accepted.
  EXPECT_EQ(!boxes_.empty(), c.breakStartup && !c.halted);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConsoleAuth,
                         ::testing::Values(AuthCase{"Right", true, "s3cret", false, false},
                                           AuthCase{"Wrong", true, "S3cret", false, true},
                                           AuthCase{"Cancelled", false, "", false, true},
                                           AuthCase{"RightAfterFailedStep", true, "s3cret", true, false},
                                           AuthCase{"WrongAfterFailedStep", true, "nope", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Console, InstallPathIsWrittenWhenMissing) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "InstallPath");
    RegCloseKey(key);
  }
  Start();
  EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath", TLkVariant("")).AsString(),
            InstallFolder());
}

TEST_F(Console, SideBarSwitchesPages) {
  TLKMain* m = Start();
  m->OutBarra->SetSelectedItem(1);
  m->OutBarraItemClick(m->OutBarra);
  EXPECT_TRUE(m->ConfigPage->SettingsPanel->Visible());
  EXPECT_TRUE(m->ConfigPage->PanelConfig->Visible());
  EXPECT_FALSE(m->DesktopPage->DesktopPanel->Visible());
  EXPECT_EQ(m->HelpContext(), 5);
  m->OutBarra->SetSelectedItem(3);
  m->OutBarraItemClick(m->OutBarra);
  EXPECT_TRUE(m->LogViewPage->LogPanel->Visible());
  EXPECT_EQ(m->HelpContext(), 7);
  m->OutBarra->SetSelectedItem(0);
  m->OutBarraItemClick(m->OutBarra);
  EXPECT_TRUE(m->DesktopPage->DesktopPanel->Visible());
  EXPECT_FALSE(m->LogViewPage->LogPanel->Visible());
}

TEST_F(Console, ToolButtonsShowTheirHintsAsTips) {
  TLKMain* m = Start();
  m->DesktopPage->ToolBar1->HandleNeeded();
  const std::pair<TToolButton*, const char*> hints[] = {
      {m->DesktopPage->ToolButton1, "Large icons"}, {m->DesktopPage->ToolButton3, "Small icons"}, {m->DesktopPage->ToolButton5, "List"},
      {m->DesktopPage->Refresh, "Refresh"}, {m->DesktopPage->ToolButton10, "New..."}};
  for (auto [button, hint] : hints) EXPECT_EQ(m->DesktopPage->ToolBar1->ToolTipText(button), hint);
  EXPECT_TRUE(m->DesktopPage->ToolBar1->ShowHint());
  EXPECT_TRUE(m->DesktopPage->Combo_Userlist->ShowHint());  // it sits on the bar
}

TEST_F(Console, SideBarHoldsTheMenuAndAClickSwitches) {
  TLKMain* m = Start();
  const std::vector<TLkSideGroupData> list = m->OutBarra->List();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Caption, "Menu Bar");
  const std::pair<const char*, int> expected[] = {{"Shorcut View", 0}, {"Configuration", 1}, {"User Settings", 2},
                                                  {"View Log", 5},     {"About...", 3},      {"Exit", 4}};
  ASSERT_EQ(list[0].Items.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(list[0].Items[i].Caption, expected[i].first);
    EXPECT_EQ(list[0].Items[i].ImageIndex, expected[i].second);
    EXPECT_EQ(list[0].Items[i].Action, nullptr);
  }
  EXPECT_EQ(m->OutBarra->SelectedButton(), 0);
  EXPECT_EQ(m->OutBarra->SelectedItem(), 0);
  // A click on the "View Log" row, as the mouse gives it.
  m->Show();
  m->OutBarra->Repaint();
  const TLkRect& r = m->OutBarra->Item(0, 3).ImageRect;
  m->OutBarra->ClickAt(r.Left + 2, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(m->OutBarra->SelectedItem(), 3);
  EXPECT_TRUE(m->LogViewPage->LogPanel->Visible());
  EXPECT_TRUE(m->LogViewPage->PanelLog->Visible());
}

TEST_F(Console, F5RefreshesTheShownListOnly) {
  TLKMain* m = Start();
  m->SetStatusText(" something else");
  WORD key = VK_F5;
  m->OutBarra->SetSelectedItem(1);
  m->OutBarraItemClick(m->OutBarra);
  m->FormKeyDown(m, key, 0);
  EXPECT_EQ(m->StatusText(), " something else");  // the Configuration page is shown
  m->OutBarra->SetSelectedItem(0);
  m->OutBarraItemClick(m->OutBarra);
  // Through the message loop: the form sees the key before the list does.
  m->Show();
  PostMessageA(m->DesktopPage->DesktopLista->Handle(), WM_KEYDOWN, VK_F5, 1);
  Pump(300);
  EXPECT_EQ(m->StatusText(), " Viewing panel refreshed.");
}

TEST_F(Console, UnexpectedErrorsEndInTheConsolesBox) {
  TLKMain* m = Start();
  Application->OnException(m, Exception("Link file is locked"));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "Unexpected Error: Error Message: \"Link file is locked\"\r\n");
}

TEST_F(Console, SplashHandsOverThenServesAsTheAboutBox) {
  auto* splash = new TLKPlash(Application);
  EXPECT_EQ(splash->FormStyle(), TFormStyle::fsStayOnTop);
  splash->Show();
  RECT client;
  GetClientRect(splash->Handle(), &client);
  EXPECT_EQ(client.right, 330);  // sized to its picture
  EXPECT_EQ(client.bottom, 220);
  for (int i = 0; i < 100 && !(LKMain && splash->IsAboutBox()); ++i) Pump(50);
  ASSERT_NE(LKMain, nullptr);
  main_ = LKMain;
  ASSERT_TRUE(splash->IsAboutBox());
  EXPECT_FALSE(splash->Visible());
  EXPECT_FALSE(splash->LkTimerList1->Active());
  EXPECT_EQ(splash->FormStyle(), TFormStyle::fsNormal);
  // Shown from the side bar, a click on its picture closes it; then the bar
  // names the page shown again, and F1 opens that page's topic.
  int shown = 0;
  seam_.show_modal = [&](TCustomForm&, int& result) {
    ++shown;
    EXPECT_EQ(main_->HelpContext(), 1);
    splash->Show();
    splash->Image1Click(splash->Image1);
    EXPECT_EQ(splash->ModalResult(), mrOk);
    EXPECT_FALSE(splash->Visible());
    result = mrOk;
    return true;
  };
  main_->OutBarra->SetSelectedItem(4);
  main_->OutBarraItemClick(main_->OutBarra);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(main_->OutBarra->SelectedItem(), 0);
  EXPECT_EQ(main_->HelpContext(), 4);
  TCustomForm::Free(main_);
  main_ = nullptr;
  TCustomForm::Free(splash);
}

// The splash's help file is a link label: its hand cursor, underlined in
// white, and a click opens the help at topic 1.
TEST_F(Console, SplashHelpLinkIsALinkLabelThatOpensTopicOne) {
  std::vector<std::string> help;
  seam_.help = [&help](const std::string&, UINT command, ULONG_PTR data) {
    help.push_back(std::to_string(command) + ":" + std::to_string(data));
    return true;
  };
  seam_.shell_execute = [](const std::string&, const std::string&, const std::string&, const std::string&,
                           int) -> intptr_t { return 42; };
  auto* splash = new TLKPlash(Application);
  TLkUrlLabel* link = splash->helpFile;
  EXPECT_EQ(link->Caption(), "Help file");
  EXPECT_EQ(link->Cursor(), crLkHandPoint);
  EXPECT_EQ(link->Font()->Color(), clWhite);
  EXPECT_TRUE(link->Font()->Style() & fsUnderline);
  link->DispatchMouseDown(TMouseButton::mbLeft, 0, 5, 5, false);
  link->DispatchMouseUp(TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_EQ(help, std::vector<std::string>{std::to_string(HELP_CONTEXT) + ":1"});
  EXPECT_TRUE(link->Visited());
  TCustomForm::Free(splash);
}

TEST_F(Console, ExitAsksAboutUnsavedConfigurationFirst) {
  TLKMain* m = Start();
  m->State.ConfigChanged = m->State.UserSettingsChanged = true;
  seam_.message_box = [this](const std::string& text, const std::string& caption, UINT) {
    boxes_.push_back(caption + ": " + text);
    return IDNO;
  };
  m->OutBarra->SetSelectedItem(5);
  m->OutBarraItemClick(m->OutBarra);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "Warning!: \"Configuration\" changes are not saved. Do you want to exit anyway?");
  EXPECT_TRUE(m->ConfigPage->SettingsPanel->Visible());
  EXPECT_EQ(m->OutBarra->SelectedItem(), 1);
  m->State.ConfigChanged = m->State.UserSettingsChanged = false;
}

// The User Settings page, on a user-data file the case writes itself.
class UserSettings : public Console {
 protected:
  void SetUp() override {
    Console::SetUp();
    DeleteFileA(UserDataPath().c_str());
  }
  void TearDown() override {
    Console::TearDown();
    DeleteFileA(UserDataPath().c_str());
  }
  void WriteRows(const std::vector<std::pair<std::string, std::string>>& passwords) {
    std::vector<TUserRow> rows;
    for (const auto& [name, password] : passwords) {
      TUserRow r{name, {}};
      r.Record.Password = password;
      r.Record.OptionText = "1";
      rows.push_back(r);
    }
    TLkStreams c(nullptr);
    SaveUserRows(c, UserDataPath(), rows);
  }
  std::map<std::string, TUserRecord> ReadRows() {
    std::map<std::string, TUserRecord> rows;
    TLkStreams c(nullptr);
    c.SetKey(kDataFileKey);
    c.LoadFromFile(UserDataPath());
    for (int i = 0; i < c.Count(); ++i)
      rows[c.StreamList()[i]] =
          DecodeUserRecord(static_cast<const TMemoryStream*>(c.StreamList().Objects(i))->AsString());
    return rows;
  }
  TUserSettingsPage* Page() { return main_->UserSettingsPage; }
  TLKMain* StartOnPage() {
    TLKMain* m = Start();
    m->OutBarra->SetSelectedItem(2);
    m->OutBarraItemClick(m->OutBarra);
    return m;
  }
  // The row as a click leaves it: selected and the list's focused row.
  void Choose(int row) {
    Page()->UserPassLista->HandleNeeded();
    Page()->UserPassLista->SetItemIndex(row);
  }
  // A cell as the list shows it.
  std::string Cell(int row, int column) {
    char text[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Page()->UserPassLista->Handle(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  int ShownRows() {
    return static_cast<int>(SendMessageA(Page()->UserPassLista->Handle(), LVM_GETITEMCOUNT, 0, 0));
  }
  void CtrlS() {
    WORD key = 'S';
    main_->FormKeyDown(main_, key, ssCtrl);
  }
};

TEST_F(UserSettings, EveryUserHasARowAndLoadingMarksNothing) {
  WriteRows({{"All Users", "common"}});
  TLKMain* m = StartOnPage();
  TUserSettingsPage* p = Page();
  p->UserPassLista->HandleNeeded();
  ASSERT_EQ(ShownRows(), m->State.UserNames.Count());
  for (int i = 0; i < ShownRows(); ++i) EXPECT_EQ(Cell(i, 0), m->State.UserNames[i]);
  EXPECT_EQ(Cell(0, 1), "common");
  Choose(0);
  EXPECT_EQ(p->EditGlobal->Text(), "common");
  EXPECT_EQ(p->TreeFlags->GetItemState(1), 2);
  EXPECT_EQ(p->PasswordPanel->Caption(), "User Settings: All Users");
  EXPECT_FALSE(m->State.UserSettingsChanged) << "loading a row is no edit";
  p->EditGlobal->SetText("changed");
  EXPECT_TRUE(m->State.UserSettingsChanged) << "an edit is";
}

TEST_F(UserSettings, OneOptionPerGroup) {
  TLKMain* m = StartOnPage();
  TLkCheckTree* t = Page()->TreeFlags;
  Choose(0);
  t->SetItemState(6, TLkCheckState(2));  // Log Off
  EXPECT_TRUE(m->State.UserSettingsChanged);
  t->SetItemState(7, TLkCheckState(2));  // Reboot clears Log Off
  EXPECT_EQ(t->GetItemState(6), 1);
  EXPECT_EQ(t->GetItemState(7), 2);
  t->SetItemState(1, TLkCheckState(2));  // another group keeps its own
  EXPECT_EQ(t->GetItemState(7), 2);
  t->SetItemState(7, TLkCheckState(1));  // unchecked: the group is empty
  for (int code : {6, 7, 8, 9, 10}) EXPECT_EQ(t->GetItemState(code), 1) << code;
  for (int head : {0, 2, 5}) EXPECT_EQ(t->GetItemState(head), 0) << head;
  EXPECT_FALSE(Page()->UpdatingFlags);
  CtrlS();
  EXPECT_EQ(ReadRows()["All Users"].OptionText, "1");
}

// Rows with codes the tree has no box for: they are left out, and the flag
// and the heads come back as they were.
TEST_F(UserSettings, BadOptionCodesAreLeftOut) {
  TUserRow bad{"All Users", {}};
  bad.Record.OptionText = "x,11,-1,3,0";
  TLkStreams c(nullptr);
  SaveUserRows(c, UserDataPath(), {bad});
  StartOnPage();
  Choose(0);
  TLkCheckTree* t = Page()->TreeFlags;
  EXPECT_FALSE(Page()->UpdatingFlags);
  for (int head : {0, 2, 5}) EXPECT_EQ(t->GetItemState(head), 0) << head;
  EXPECT_EQ(t->GetItemState(3), 2);
  t->SetItemState(4, TLkCheckState(2));  // the group rule still runs
  EXPECT_EQ(t->GetItemState(3), 1);
}

// What is typed belongs to the row the editors show: moving to another row
// with the arrow keys keeps it there, unsaved, and Ctrl+S changes no other
// user's record.
TEST_F(UserSettings, ArrowKeysThenCtrlSChangeNoOtherRecord) {
  TLKMain* probe = Start();
  ASSERT_GE(probe->State.UserNames.Count(), 2);
  const std::string first = probe->State.UserNames[0], second = probe->State.UserNames[1];
  TCustomForm::Free(main_);
  main_ = nullptr;
  WriteRows({{first, "first-pw"}, {second, "second-pw"}});
  TLKMain* m = StartOnPage();
  TUserSettingsPage* p = Page();
  Choose(0);
  p->EditGlobal->SetText("first-new");
  m->Show();
  p->UserPassLista->SetFocus();
  PostMessageA(p->UserPassLista->Handle(), WM_KEYDOWN, VK_DOWN, 1);
  PostMessageA(p->UserPassLista->Handle(), WM_KEYUP, VK_DOWN, 0xC0000001);
  Pump(300);
  ASSERT_EQ(p->HeldRow(), 1) << "the arrow key moved to the second row";
  EXPECT_EQ(p->EditGlobal->Text(), "second-pw");
  EXPECT_EQ(Cell(0, 1), "first-new") << "the first row keeps what was typed";
  EXPECT_TRUE(m->State.UserSettingsChanged) << "and it is not saved yet";
  CtrlS();
  EXPECT_EQ(m->StatusText(), " User settings saved.");
  const auto rows = ReadRows();
  EXPECT_EQ(rows.at(first).Password, "first-new");
  EXPECT_EQ(rows.at(second).Password, "second-pw");
  EXPECT_FALSE(m->State.UserSettingsChanged);
}

// After "Corrupted data!" the page has no rows: a save would erase every
// user's record, so it is refused and the file stays as it is.
TEST_F(UserSettings, ADamagedFileIsNeverOverwritten) {
  const std::string damaged = "&this is no container";
  ReplaceFileAtomically(UserDataPath(), damaged.data(), damaged.size());
  TLKMain* m = StartOnPage();
  ASSERT_FALSE(boxes_.empty());
  EXPECT_NE(boxes_[0].find("Corrupted data!"), std::string::npos) << boxes_[0];
  Page()->UserPassLista->HandleNeeded();
  EXPECT_EQ(ShownRows(), 0);
  CtrlS();
  EXPECT_NE(m->StatusText().find("not saved"), std::string::npos) << m->StatusText();
  EXPECT_EQ(ReadFileBytes(UserDataPath()), damaged);
}

TEST_F(UserSettings, TagCommandsAndTheMessageLines) {
  TLKMain* m = StartOnPage();
  TUserSettingsPage* p = Page();
  Choose(0);
  p->MemoGlobal->HandleNeeded();
  p->MemoGlobal->SetText("Hello world");
  p->MemoGlobal->SetSelStart(6);
  p->MemoGlobal->SetSelLength(5);
  p->Bold1Click(p->Bold1);
  EXPECT_EQ(p->MemoGlobal->Text(), "Hello <b>world</b>");
  p->MemoGlobal->SetSelStart(0);
  p->MemoGlobal->SetSelLength(0);
  p->UserName1Click(p->UserName1);
  EXPECT_EQ(p->MemoGlobal->Text(), "<uname>Hello <b>world</b>");
  p->RemoveTags1Click(p->RemoveTags1);
  EXPECT_EQ(p->MemoGlobal->Text(), "Hello world");
  // The byte that stands for a line break in the file cannot be kept.
  p->MemoGlobal->SetText("caf\xFF");
  EXPECT_EQ(p->MemoGlobal->Text(), "caf");
  EXPECT_NE(m->StatusText().find("\xFF"), std::string::npos);
  // A pasted bare line feed is a line break like any other.
  p->MemoGlobal->SetText("one\ntwo");
  CtrlS();
  EXPECT_EQ(ReadRows()["All Users"].StoredMessage, "one\xFFtwo");
  EXPECT_EQ(ReadRows()["All Users"].OptionText, "");
}

// Whether a right click on `edit` opens a menu; one that opens is closed again.
bool g_menu_seen = false;
void CALLBACK CloseAnOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  if (menu && IsWindowVisible(menu)) {
    g_menu_seen = true;
    EndMenu();
  }
}
bool OpensAMenu(TWinControl* edit) {
  g_menu_seen = false;
  const UINT_PTR probe = SetTimer(nullptr, 0, 100, CloseAnOpenMenu);
  RECT r;
  GetWindowRect(edit->Handle(), &r);
  PostMessageA(edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit->Handle()), MAKELPARAM(r.left + 4, r.top + 4));
  Pump(500);
  KillTimer(nullptr, probe);
  return g_menu_seen;
}

TEST_F(UserSettings, ThePasswordEditorOffersNoMenu) {
  TLKMain* m = StartOnPage();
  m->Show();
  auto* plain = new TEdit(Page());
  plain->SetParent(Page()->PasswordPanel);
  ASSERT_TRUE(OpensAMenu(plain)) << "an edit of its own shows the system's menu";
  EXPECT_FALSE(OpensAMenu(Page()->EditGlobal));
  EXPECT_TRUE(OpensAMenu(Page()->MemoGlobal)) << "the message editor has its tag menu";
}

}  // namespace
