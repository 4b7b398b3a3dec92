// The browse-for-folder dialog driven from a timer: the test finds the
// dialog window and posts its answer.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "controls/win/browsefolder.h"
#include "controls/win/filecopy.h"
#include "base/locale.h"
#include "forms/win/application.h"
#include "forms/win/timer.h"
#include "tests/controls/win_support.h"

#include <commctrl.h>

namespace {

BOOL CALLBACK FindDialogProc(HWND w, LPARAM lp) {
  char cls[32];
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}

HWND FindBrowseDialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Posts `command` to the dialog once it is up (and, first, clicks Help).
struct Answer {
  TTimer timer{nullptr};
  HWND seen = nullptr;
  int waited = 0;
  bool hadHelp = false;
  bool clickHelp = false;
  std::function<bool()> ready = [] { return true; };  // the dialog has settled
  Answer(WPARAM command) {
    timer.SetInterval(200);
    timer.SetOnTimer([this, command](TObject*) {
      HWND dlg = FindBrowseDialog();
      if (!dlg || (!ready() && ++waited < 25)) return;  // give up waiting after 5 s
      if (waited >= 25) {
        HWND tree = FindWindowExA(dlg, nullptr, "SysTreeView32", nullptr);
        char text[MAX_PATH] = "";
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = tree ? reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) : nullptr;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (item.hItem) SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ADD_FAILURE() << "tree " << tree << " items " << (tree ? SendMessageA(tree, TVM_GETCOUNT, 0, 0) : -1)
                      << " selected '" << text << "'";
      }
      seen = dlg;
      hadHelp = FindWindowExA(dlg, nullptr, "Button", "&Help") != nullptr;
      if (clickHelp) {
        clickHelp = false;
        if (HWND help = FindWindowExA(dlg, nullptr, "Button", "&Help"))
          PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(help), BN_CLICKED), reinterpret_cast<LPARAM>(help));
        return;
      }
      PostMessageA(dlg, WM_COMMAND, command, 0);
      timer.SetEnabled(false);
    });
  }
};

int g_helpAsked = 0;

// A folder kept between runs, away from the scratch folders that other tests
// make and remove meanwhile: the shell lists the parent while it selects.
std::string StableFolder(const std::string& name) {
  CreateDirectoryA("C:\\lkctl-browse", nullptr);
  const std::string path = "C:\\lkctl-browse\\" + name;
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

TEST(BrowseFolder, OkReturnsThePreselectedFolder) {
  const std::string folder = StableFolder("ok");
  TBrowseFolderDlg dlg(nullptr);
  dlg.FolderName = folder;
  dlg.DialogText = "Pick one";
  dlg.HelpContext = 7;
  int initialized = 0, changed = 0;
  dlg.OnInitialized = [&](TObject*) {
    ++initialized;
    EXPECT_NE(dlg.Handle(), nullptr);
  };
  dlg.OnSelChanged = [&](TObject*) { ++changed; };
  TUiSeam seam;
  seam.help = [](const std::string&, UINT command, ULONG_PTR data) {
    if (command == HELP_CONTEXT) g_helpAsked = static_cast<int>(data);
    return true;
  };
  SetUiSeam(&seam);
  Answer answer(IDOK);
  answer.clickHelp = true;
  // The shell fills the tree after the dialog is up; answer once it shows our folder.
  answer.ready = [&] { return AnsiLowerCase(dlg.SelectedPath()) == AnsiLowerCase(folder); };
  ASSERT_TRUE(dlg.Execute());
  SetUiSeam(nullptr);
  EXPECT_NE(answer.seen, nullptr);
  EXPECT_EQ(AnsiLowerCase(dlg.FolderName), AnsiLowerCase(folder));
  EXPECT_EQ(dlg.SelectedPath(), dlg.FolderName);
  EXPECT_EQ(initialized, 1);
  EXPECT_GE(changed, 1);
  EXPECT_TRUE(answer.hadHelp);
  EXPECT_EQ(g_helpAsked, 7);
  EXPECT_EQ(dlg.Handle(), nullptr);  // forgotten once the dialog is gone
}

TEST(BrowseFolder, TreeRootedAtTheDrives) {
  const std::string folder = StableFolder("drives");
  TBrowseFolderDlg dlg(nullptr);
  dlg.DesktopRoot = false;
  dlg.Position = TDialogPosition::dpDefault;
  dlg.FolderName = folder;
  Answer answer(IDOK);
  answer.ready = [&] { return AnsiLowerCase(dlg.SelectedPath()) == AnsiLowerCase(folder); };
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(AnsiLowerCase(dlg.FolderName), AnsiLowerCase(folder));
}

TEST(BrowseFolder, MissingFolderOpensWithoutPreselection) {
  TBrowseFolderDlg dlg(nullptr);
  dlg.FolderName = StableFolder("cancel") + "\\missing";
  Answer answer(IDCANCEL);
  EXPECT_FALSE(dlg.Execute());
  EXPECT_NE(AnsiLowerCase(dlg.SelectedPath()), AnsiLowerCase(dlg.FolderName));
  EXPECT_EQ(dlg.FolderName, "C:\\lkctl-browse\\cancel\\missing");
}

TEST(BrowseFolder, CancelLeavesTheFolderAsItWas) {
  std::string folder = StableFolder("cancel");
  Answer answer(IDCANCEL);
  EXPECT_FALSE(BrowseFolder(folder, "Pick one", 0));
  EXPECT_NE(answer.seen, nullptr);
  EXPECT_EQ(folder, "C:\\lkctl-browse\\cancel");
  // Without a help context there is no Help button.
  EXPECT_FALSE(answer.hadHelp);
}

}  // namespace
