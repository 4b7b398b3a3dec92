// The Desktop page's file commands with TLKMain built in this program:
// copy and paste, delete, new link, backup and restore with the shell doing
// the copies (its dialogs answered from a timer), browsing by the directory
// edit, the recent folders, the start menus and the backup folder, and the
// view buttons with their stored choice.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "base/filereplace.h"
#include "base/locale.h"
#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "controls/win/mru.h"
#include "forms/win/application.h"
#include "forms/win/timer.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"

namespace {

const char* const kWork = "C:\\lkdesk";
const char* const kMruKey = "Software\\Velmora\\Lockmere\\MRU Items";

std::string Work(const std::string& name) { return std::string(kWork) + "\\" + name; }

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return f ? s.str() : std::string("<missing>");
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

BOOL CALLBACK FindShellDialog(HWND w, LPARAM lp) {
  char cls[32];
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}

// Answers the shell's dialogs of this thread (confirmations, the folder
// chooser) from a timer: `answer` gets the dialog and does what a user would.
struct DialogAnswer {
  TTimer timer{nullptr};
  std::vector<std::string> titles;
  std::function<void(HWND)> answer;
  explicit DialogAnswer(std::function<void(HWND)> fn) : answer(std::move(fn)) {
    timer.SetInterval(150);
    timer.SetOnTimer([this](TObject*) {
      HWND dlg = nullptr;
      EnumThreadWindows(GetCurrentThreadId(), FindShellDialog, reinterpret_cast<LPARAM>(&dlg));
      if (!dlg) return;
      char title[256] = "";
      GetWindowTextA(dlg, title, sizeof title);
      titles.push_back(title);
      answer(dlg);
    });
  }
};

// Presses the dialog's button with this text ("&Yes", "Cancel", ...), or the command.
void Press(HWND dlg, const std::string& text, int fallback) {
  for (HWND b = FindWindowExA(dlg, nullptr, "Button", nullptr); b; b = FindWindowExA(dlg, b, "Button", nullptr)) {
    char t[64] = "";
    GetWindowTextA(b, t, sizeof t);
    std::string s = t;
    s.erase(std::remove(s.begin(), s.end(), '&'), s.end());
    if (AnsiSameText(s, text)) {
      PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED), reinterpret_cast<LPARAM>(b));
      return;
    }
  }
  PostMessageA(dlg, WM_COMMAND, fallback, 0);
}

// The chooser: selects the folder and presses OK.
std::function<void(HWND)> Choose(const std::string& folder) {
  return [folder](HWND dlg) {
    SendMessageA(dlg, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  };
}

class DeskPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    InitInstallPaths();
  }

  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    seam_.message_box = [this](const std::string& text, const std::string& caption, UINT) {
      boxes_.push_back(caption + ": " + text);
      return IDOK;
    };
    SetUiSeam(&seam_);
    desktop_ = UserDesktopFolder();
    common_ = CommonDesktopFolder();
    CreateDirectoryA(desktop_.c_str(), nullptr);
    CreateDirectoryA(common_.c_str(), nullptr);
    lkfix::RemoveFolder(kWork);
    CreateDirectoryA(kWork, nullptr);
    CopyFileA(ModuleFileName(nullptr).c_str(), Work("tool.exe").c_str(), FALSE);
    lkfix::RemoveFolder(BackupFolder());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMruKey);
    WriteSetting(LKData::doAuthenticate, false);
    WriteSetting(LKData::IconView, 0);
  }

  void TearDown() override {
    if (main_) TCustomForm::Free(main_);
    main_ = nullptr;
    for (const std::string& p : made_) DeleteFileA(p.c_str());
    lkfix::RemoveFolder(BackupFolder());
    lkfix::RemoveFolder(kWork);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMruKey);
    WriteSetting(LKData::IconView, 0);
    SetUiSeam(nullptr);
    lock_.reset();
  }

  std::string AddLink(const std::string& folder, const std::string& name, const std::string& args = "") {
    const std::string path = folder + "\\" + name + ".lnk";
    TShellLink l;
    l.Target = Work("tool.exe");
    l.Arguments = args;
    l.Description = name + " description";
    EXPECT_EQ(WriteShellLink(l, path), S_OK) << path;
    made_.push_back(path);
    return path;
  }

  TDesktopPage* Start() {
    main_ = new TLKMain(Application);
    main_->Show();
    return main_->DesktopPage;
  }
  TDesktopPage* Restart() {
    TCustomForm::Free(main_);
    main_ = nullptr;
    return Start();
  }
  TDesktopPage* Page() { return main_->DesktopPage; }

  TListItem* Row(const std::string& caption) {
    TLkListView* list = Page()->DesktopLista;
    for (int i = 0; i < list->Count(); ++i)
      if (list->Items(i)->Caption() == caption) return list->Items(i);
    return nullptr;
  }
  void SelectOnly(std::initializer_list<const char*> captions) {
    Page()->DesktopLista->HandleNeeded();
    Page()->DesktopLista->ClearSelection();
    for (const char* c : captions) {
      TListItem* r = Row(c);
      ASSERT_NE(r, nullptr) << c;
      r->SetSelected(true);
    }
  }
  // Shows a user's desktop as the combo box does.
  void PickUser(int index) {
    Page()->Combo_Userlist->SetItemIndex(index);
    Page()->Combo_UserlistChange(Page()->Combo_Userlist);
  }
  int CommonEntry() const { return 0; }
  std::string Status() { return main_->StatusText(); }

  std::optional<lkfix::TPrefixLock> lock_;
  TUiSeam seam_;
  std::vector<std::string> boxes_;
  std::vector<std::string> made_;
  std::string desktop_, common_;
  TLKMain* main_ = nullptr;
};

TEST_F(DeskPage, CopyOnOneDesktopAndPasteOnAnotherGiveTheSameFile) {
  const std::string source = AddLink(desktop_, "lkd Copied", "-x 1");
  TDesktopPage* p = Start();
  SelectOnly({"lkd Copied"});
  p->Copy3Click(p->Copy3);
  ASSERT_EQ(main_->State.CopyList.Count(), 1);
  EXPECT_EQ(main_->State.CopyList[0], source);
  PickUser(CommonEntry());
  made_.push_back(common_ + "\\lkd Copied.lnk");
  p->Paste1Click(p->Paste1);
  EXPECT_EQ(p->LastCopies.Copied, 1);
  EXPECT_EQ(FileBytes(common_ + "\\lkd Copied.lnk"), FileBytes(source));
  // Paste may be repeated elsewhere; the copy list stays.
  EXPECT_EQ(main_->State.CopyList.Count(), 1);
}

// A link saved by renames (the 9x line) and stopped between its moves is
// only its aside copy: it is put back and listed under its own name, and
// Restore copies it so from the backup folder. A stale copy beside a whole
// link adds no second row.
TEST_F(DeskPage, ALinkWhoseSaveStoppedHalfwayIsListedOnce) {
  const std::string halfway = AddLink(desktop_, "lkd Halfway", "-h");
  const std::string whole = AddLink(desktop_, "lkd Whole", "-w");
  made_.push_back(lk_replace::AsideName(halfway));
  made_.push_back(lk_replace::AsideName(whole));
  ASSERT_TRUE(MoveFileA(halfway.c_str(), lk_replace::AsideName(halfway).c_str()));
  ASSERT_TRUE(CopyFileA(whole.c_str(), lk_replace::AsideName(whole).c_str(), FALSE));
  TDesktopPage* p = Start();
  int halfwayRows = 0, wholeRows = 0;
  for (int i = 0; i < p->DesktopLista->Count(); ++i) {
    TListItem* row = p->DesktopLista->Items(i);
    halfwayRows += row->Caption() == "lkd Halfway";
    wholeRows += row->Caption() == "lkd Whole";
  }
  EXPECT_EQ(halfwayRows, 1);
  EXPECT_EQ(wholeRows, 1);
  EXPECT_TRUE(Exists(halfway)) << "put back by the listing";
  EXPECT_FALSE(Exists(lk_replace::AsideName(halfway)));
  ASSERT_NE(Row("lkd Halfway"), nullptr);
  EXPECT_EQ(Row("lkd Halfway")->SubItem(2), halfway);

  CreateDirectoryA(BackupFolder().c_str(), nullptr);
  const std::string backup = BackupFolder() + "\\lkd Halfway.lnk";
  ASSERT_TRUE(CopyFileA(halfway.c_str(), lk_replace::AsideName(backup).c_str(), FALSE));
  const std::string empty = Work("restored");
  CreateDirectoryA(empty.c_str(), nullptr);
  p->LkMRUFileList1MRUItemClick(nullptr, empty);
  p->RestoreClick(p->Restore);
  EXPECT_EQ(Status(), " Backup file(s) restored successfully.");
  EXPECT_EQ(FileBytes(empty + "\\lkd Halfway.lnk"), FileBytes(halfway));
}

TEST_F(DeskPage, WithoutAFolderNothingIsListedOrWritten) {
  // The root of the current drive holds a link: an empty folder must not mean it.
  SetCurrentDirectoryA("C:\\");
  const std::string rootLink = AddLink("C:", "lkd AtTheRoot");
  AddLink(desktop_, "lkd Somewhere");
  TDesktopPage* p = Start();
  SelectOnly({"lkd Somewhere"});
  p->Copy3Click(p->Copy3);
  CreateDirectoryA(BackupFolder().c_str(), nullptr);
  AddLink(BackupFolder(), "lkd Saved");
  p->Combo_Userlist->SetItemIndex(-1);
  ASSERT_EQ(p->CurrentFolder(), "");
  p->RefreshDesktop();
  EXPECT_EQ(p->DesktopLista->Count(), 0);
  p->Paste1Click(p->Paste1);
  p->RestoreClick(p->Restore);
  p->NewShortcut1Click(p->ToolButton10);
  EXPECT_FALSE(Exists("C:\\lkd Somewhere.lnk"));
  EXPECT_FALSE(Exists("C:\\lkd Saved.lnk"));
  EXPECT_FALSE(Exists("C:\\newlink.lnk"));
  DeleteFileA("C:\\lkd Somewhere.lnk");
  DeleteFileA("C:\\lkd Saved.lnk");
}

TEST_F(DeskPage, BackupThenRestoreIntoAnotherFolder) {
  const std::string a = AddLink(desktop_, "lkd First");
  const std::string b = AddLink(desktop_, "lkd Second", "two");
  TDesktopPage* p = Start();
  SelectOnly({"lkd First", "lkd Second"});
  p->BackupClick(p->Backup);
  EXPECT_EQ(Status(), " Selected file(s) backup process was successful.");
  EXPECT_EQ(FileBytes(BackupFolder() + "\\lkd First.lnk"), FileBytes(a));
  EXPECT_EQ(FileBytes(BackupFolder() + "\\lkd Second.lnk"), FileBytes(b));
  EXPECT_EQ(Screen->Cursor(), crDefault);

  PickUser(CommonEntry());
  made_.push_back(common_ + "\\lkd First.lnk");
  made_.push_back(common_ + "\\lkd Second.lnk");
  p->RestoreClick(p->Restore);
  EXPECT_EQ(Status(), " Backup file(s) restored successfully.");
  EXPECT_EQ(FileBytes(common_ + "\\lkd Second.lnk"), FileBytes(b));
  EXPECT_TRUE(Exists(BackupFolder() + "\\lkd First.lnk"));  // the backups stay
  // The folder monitor's rescan shows the restored links and leaves
  // Restore's word standing.
  auto pumpUntil = [](const std::function<bool()>& done) {
    for (int i = 0; i < 200 && !done(); ++i) {
      Application->ProcessMessages();
      Sleep(25);
    }
    return done();
  };
  EXPECT_TRUE(pumpUntil([&] { return Row("lkd Second") != nullptr; })) << "the monitor showed no restored link";
  EXPECT_EQ(Status(), " Backup file(s) restored successfully.");

  // Into a browsed folder without links: its caption follows the rows the
  // monitor's rescan finds.
  const std::string empty = Work("empty");
  CreateDirectoryA(empty.c_str(), nullptr);
  p->LkMRUFileList1MRUItemClick(nullptr, empty);
  EXPECT_EQ(p->DesktopPanel->Caption(), "No Shortcuts Found");
  p->RestoreClick(p->Restore);
  EXPECT_TRUE(pumpUntil([&] { return Row("lkd First") != nullptr; })) << "the monitor showed no restored link";
  EXPECT_EQ(p->DesktopPanel->Caption(), "Browsing Directory");
  EXPECT_EQ(Status(), " Backup file(s) restored successfully.");
  // And after Refresh, once the links are gone again.
  DeleteFileA((empty + "\\lkd First.lnk").c_str());
  DeleteFileA((empty + "\\lkd Second.lnk").c_str());
  p->RefreshButton(p->Refresh);
  EXPECT_EQ(p->DesktopLista->Count(), 0);
  EXPECT_EQ(p->DesktopPanel->Caption(), "No Shortcuts Found");

  // Without a backup folder.
  lkfix::RemoveFolder(BackupFolder());
  p->RestoreClick(p->Restore);
  EXPECT_EQ(Status(), " No backup files were found.");
}

TEST_F(DeskPage, ACancelledShellCopyShowsNoSuccess) {
  AddLink(desktop_, "lkd Twice");
  TDesktopPage* p = Start();
  SelectOnly({"lkd Twice"});
  p->BackupClick(p->Backup);
  ASSERT_EQ(Status(), " Selected file(s) backup process was successful.");
  // Again: the shell asks before replacing the backup, and is told Cancel.
  DialogAnswer cancel([](HWND dlg) { Press(dlg, "Cancel", IDCANCEL); });
  SelectOnly({"lkd Twice"});
  p->BackupClick(p->Backup);
  EXPECT_FALSE(cancel.titles.empty()) << "the shell asked nothing";
  EXPECT_EQ(Status(), " Backup failed for 1 of 1 file(s).");
  EXPECT_EQ(Screen->Cursor(), crDefault);
  // Pasting onto a link of that name elsewhere, cancelled likewise.
  p->Copy3Click(p->Copy3);
  AddLink(common_, "lkd Twice");
  PickUser(CommonEntry());
  p->Paste1Click(p->Paste1);
  EXPECT_EQ(Status(), " Paste failed for 1 of 1 file(s).");
}

TEST_F(DeskPage, DeleteAsksAndTheFileGoes) {
  const std::string kept = AddLink(desktop_, "lkd Kept");
  const std::string gone = AddLink(desktop_, "lkd Gone");
  TDesktopPage* p = Start();
  {
    DialogAnswer no([](HWND dlg) { Press(dlg, "No", IDNO); });
    SelectOnly({"lkd Kept"});
    p->Delete1Click(p->Delete1);
    EXPECT_FALSE(no.titles.empty());
  }
  EXPECT_TRUE(Exists(kept));
  DialogAnswer yes([](HWND dlg) { Press(dlg, "Yes", IDYES); });
  SelectOnly({"lkd Gone"});
  p->Delete1Click(p->Delete1);
  EXPECT_FALSE(yes.titles.empty()) << "the shell did not ask";
  EXPECT_FALSE(Exists(gone));
  EXPECT_TRUE(Exists(kept));
}

TEST_F(DeskPage, NewLinkTakesAFreeNameAndLeavesNoEmptyFile) {
  // Wine has no new-link command for ".lnk": a stand-in records the file it gets.
  const std::string record = Work("newlink-calls.txt");
  WriteRegistryValue(".LNK\\ShellNew", "Command", TLkVariant("cmd.exe /c echo %1>>" + record), HKEY_CLASSES_ROOT);
  struct Unregister {
    ~Unregister() { DeleteRegistryKey(".LNK\\ShellNew", HKEY_CLASSES_ROOT); }
  } unregister;
  TDesktopPage* p = Start();
  PickUser(CommonEntry());
  made_.push_back(common_ + "\\newlink.lnk");
  made_.push_back(common_ + "\\newlink (2).lnk");
  p->Form()->SetStatusText(" before");
  p->NewShortcut1Click(p->ToolButton10);
  p->NewShortcut1Click(p->ToolButton10);
  EXPECT_EQ(p->Form()->StatusText(), " before");  // the command's own window says the rest
  // The two commands run side by side: either may write its line first.
  auto bothWritten = [&] {
    const std::string calls = FileBytes(record);
    return calls.find(common_ + "\\newlink.lnk") != std::string::npos && calls.find("(2)") != std::string::npos;
  };
  for (int i = 0; i < 100 && !bothWritten(); ++i) Sleep(50);
  const std::string calls = FileBytes(record);
  EXPECT_NE(calls.find(common_ + "\\newlink.lnk"), std::string::npos) << calls;
  EXPECT_NE(calls.find(common_ + "\\newlink (2).lnk"), std::string::npos) << calls;
  // A command that cannot start: no empty file stays.
  WriteRegistryValue(".LNK\\ShellNew", "Command", TLkVariant("C:\\lkdesk\\missing.exe %1"), HKEY_CLASSES_ROOT);
  p->NewShortcut1Click(p->ToolButton10);
  EXPECT_FALSE(Exists(common_ + "\\newlink (3).lnk"));
  EXPECT_EQ(p->Form()->StatusText(), " No new-shortcut command is available.");
  // No command at all, as under Wine: said, not silently nothing.
  DeleteRegistryKey(".LNK\\ShellNew", HKEY_CLASSES_ROOT);
  p->Form()->SetStatusText(" before");
  p->NewShortcut1Click(p->ToolButton10);
  EXPECT_EQ(p->Form()->StatusText(), " No new-shortcut command is available.");
  EXPECT_FALSE(Exists(common_ + "\\newlink (3).lnk"));
}

// The MRU key as `reg query` lists it: the lines with a value.
std::vector<std::string> RegQueryMru() {
  const lkfix::TRunResult r = lkfix::RunProgram("reg query \"HKLM\\Software\\Velmora\\Lockmere\\MRU Items\"");
  std::vector<std::string> lines;
  std::istringstream in(r.Output);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const std::size_t f = line.find_first_not_of(' ');
    if (f != std::string::npos && line.compare(f, 1, "F") == 0 && line.find("REG_") != std::string::npos)
      lines.push_back(line.substr(f));
  }
  return lines;
}

std::string Collapse(std::string s) {  // "F0    REG_SZ    C:\x" -> "F0 REG_SZ C:\x"
  std::string out;
  for (char c : s)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  return out;
}

TEST_F(DeskPage, BrowsingByTheEditKeepsRecentFoldersNewestFirst) {
  const std::string f1 = Work("one"), f2 = Work("two"), f3 = Work("three");
  for (const auto& f : {f1, f2, f3}) CreateDirectoryA(f.c_str(), nullptr);
  AddLink(f2, "lkd In Two");
  TDesktopPage* p = Start();
  EXPECT_EQ(p->DirectoryEdit1->Text(), "Browse");
  EXPECT_EQ(p->DirectoryEdit1->Hint(), "Click to Browse for directory");
  for (const auto& f : {f1, f2, f3}) {
    DialogAnswer choose(Choose(f));
    p->DirectoryEdit1->DoClick();
    ASSERT_EQ(choose.titles.size(), 1u);
    EXPECT_TRUE(AnsiSameText(p->CurrentFolder(), f)) << p->CurrentFolder();
    EXPECT_EQ(p->DesktopPanel->Caption(), f == f2 ? "Browsing Directory" : "No Shortcuts Found");
    if (f == f2) {
      EXPECT_NE(Row("lkd In Two"), nullptr);
    }
  }
  EXPECT_TRUE(AnsiSameText(p->DirectoryEdit1->Hint(), f3));
  p->LkMRUFileList1->Save();
  const std::vector<std::string> lines = RegQueryMru();
  ASSERT_EQ(lines.size(), 3u) << "reg query listed other lines";
  EXPECT_TRUE(AnsiSameText(Collapse(lines[0]), "F0 REG_SZ " + f3)) << lines[0];
  EXPECT_TRUE(AnsiSameText(Collapse(lines[1]), "F1 REG_SZ " + f2)) << lines[1];
  EXPECT_TRUE(AnsiSameText(Collapse(lines[2]), "F2 REG_SZ " + f1)) << lines[2];

  // After a restart they head the edit's menu, numbered.
  p = Restart();
  TMenuItem* root = p->PopupMenu2->Items();
  ASSERT_GE(root->Count(), 3);
  EXPECT_TRUE(AnsiSameText(root->Items(0)->Caption(), "&1 " + f3)) << root->Items(0)->Caption();
  EXPECT_TRUE(AnsiSameText(root->Items(1)->Caption(), "&2 " + f2));
  EXPECT_TRUE(AnsiSameText(root->Items(2)->Caption(), "&3 " + f1));
  EXPECT_EQ(root->Items(3)->Caption(), "-");
  EXPECT_EQ(root->Items(4)->Caption(), "Start Menu: Current User");
  // A click browses that folder and leaves the list as it is.
  root->Items(1)->Click();
  EXPECT_TRUE(AnsiSameText(p->DirectoryEdit1->Text(), f2));
  EXPECT_EQ(p->DesktopPanel->Caption(), "Browsing Directory");
  EXPECT_EQ(p->LkMRUFileList1->Entries().Count(), 3);

  // Three more: the sixth drops the oldest; a known folder in other letter
  // case only moves to the top.
  for (const char* n : {"four", "five", "six"}) {
    CreateDirectoryA(Work(n).c_str(), nullptr);
    DialogAnswer choose(Choose(Work(n)));
    p->DirectoryEdit1->DoClick();
  }
  std::string upper = AnsiUpperCase(f2);
  bool action = true;
  p->DirectoryEdit1AfterDialog(p->DirectoryEdit1, upper, action);
  const auto& entries = p->LkMRUFileList1->Entries().Items();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_TRUE(AnsiSameText(entries[0], f2));
  EXPECT_EQ(std::find_if(entries.begin(), entries.end(), [&](const std::string& e) { return AnsiSameText(e, f1); }),
            entries.end());

  // Choosing a user ends browsing.
  PickUser(CommonEntry());
  EXPECT_EQ(p->DesktopPanel->Caption(), main_->State.UserNames[CommonEntry()] + " Desktop Shortcuts");
  EXPECT_EQ(p->CurrentFolder(), main_->State.UserDesktopFolders[CommonEntry()]);
}

TEST_F(DeskPage, TheChooserOpensOnTheFolderTheEditShows) {
  const std::string f = Work("typed");
  CreateDirectoryA(f.c_str(), nullptr);
  AddLink(f, "lkd Typed");
  TDesktopPage* p = Start();
  p->DirectoryEdit1->SetText(f);
  DialogAnswer ok([](HWND dlg) {
    Sleep(300);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
  });
  p->DirectoryEdit1->DoClick();
  ASSERT_EQ(ok.titles.size(), 1u);
  EXPECT_TRUE(AnsiSameText(p->CurrentFolder(), f)) << p->CurrentFolder();
  EXPECT_NE(Row("lkd Typed"), nullptr);
}

TEST_F(DeskPage, StartMenusAndTheBackupFolderAreBrowsed) {
  const std::string mine = UserStartMenuFolder(), all = CommonStartMenuFolder();
  ASSERT_FALSE(mine.empty());
  ASSERT_FALSE(all.empty());
  CreateDirectoryA(mine.c_str(), nullptr);
  CreateDirectoryA(all.c_str(), nullptr);
  AddLink(mine, "lkd My Start");
  AddLink(all, "lkd Everybody's Start");
  TDesktopPage* p = Start();
  p->StartMenuCurrentClick(p->StartMenuCurrent);
  EXPECT_NE(Row("lkd My Start"), nullptr);
  EXPECT_EQ(p->DesktopPanel->Caption(), "Browsing Directory");
  EXPECT_EQ(p->DirectoryEdit1->Text(), mine);
  p->StartMenuAllClick(p->StartMenuAll);
  EXPECT_NE(Row("lkd Everybody's Start"), nullptr);
  EXPECT_EQ(Row("lkd My Start"), nullptr);
  // "Backup dir" shows only once the folder exists.
  p->PopupMenu2Popup(p->PopupMenu2);
  EXPECT_FALSE(p->Backupdir1->Visible());
  CreateDirectoryA(BackupFolder().c_str(), nullptr);
  AddLink(BackupFolder(), "lkd Backed Up");
  p->PopupMenu2Popup(p->PopupMenu2);
  EXPECT_TRUE(p->Backupdir1->Visible());
  p->Backupdir1Click(p->Backupdir1);
  EXPECT_NE(Row("lkd Backed Up"), nullptr);
  EXPECT_EQ(p->CurrentFolder(), BackupFolder());
}

TEST_F(DeskPage, ViewButtonsAndTheStoredView) {
  TDesktopPage* p = Start();
  struct Row {
    TToolButton* button;
    TViewStyle view;
  };
  // "Small icons" (Tag 2) shows the list, "List" (Tag 3) the report.
  const Row rows[] = {{p->ToolButton3, TViewStyle::vsList}, {p->ToolButton5, TViewStyle::vsReport},
                      {p->ToolButton1, TViewStyle::vsIcon}};
  for (const Row& r : rows) {
    r.button->SetDown(true);
    r.button->Click();
    EXPECT_EQ(p->DesktopLista->ViewStyle(), r.view) << r.button->Hint();
  }
  p->ToolButton5->SetDown(true);
  p->ToolButton5->Click();
  p = Restart();  // the old window wrote "IconView" as it went
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0, value = 0, size = sizeof value;
  RegQueryValueExA(key, "IconView", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 2u);
  EXPECT_TRUE(p->ToolButton5->Down());
  EXPECT_EQ(p->DesktopLista->ViewStyle(), TViewStyle::vsReport);
  // A stored 7 is no button: large icons.
  TCustomForm::Free(main_);
  main_ = nullptr;
  WriteSetting(LKData::IconView, 7);
  p = Start();
  EXPECT_TRUE(p->ToolButton1->Down());
  EXPECT_EQ(p->DesktopLista->ViewStyle(), TViewStyle::vsIcon);
}

}  // namespace
