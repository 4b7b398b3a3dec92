// The console's main window: the side bar that switches the four pages, the
// status bar, the keyboard commands, the exit warnings and the start-up
// sequence; and the Desktop Shortcuts page that lists, protects and reverts
// links. The other pages are present as their captioned panels and tool bars.
#pragma once

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "console/core/linkplan.h"
#include "console/core/statustexts.h"
#include "controls/win/captionpanel.h"
#include "controls/win/framedcombo.h"
#include "controls/win/framedlistview.h"
#include "controls/win/sidebar.h"
#include "base/stringlist.h"
#include "forms/win/comctl_statusbar.h"
#include "forms/win/comctl_toolbar.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "shared/core/vigenere.h"

class TLkFolderMonitor;
class TLKPlash;

// Unit-wide state shared by the console's pages.
extern bool ConfigChanged;
extern bool UserSettingsChanged;
extern std::string OverlayColorName;

class TLKMain : public TForm {
 public:
  explicit TLKMain(TComponent* owner);
  ~TLKMain() override;

  // Components of the form.
  TLkSideBar* OutBarra;
  TLkCaptionPanel* DesktopPanel;
  TLkCaptionPanel* SettingsPanel;
  TLkCaptionPanel* PasswordPanel;
  TLkCaptionPanel* LogPanel;
  TPanel* PanelDesktop;
  TPanel* PanelConfig;
  TPanel* PanelSettings;
  TPanel* PanelLog;
  TToolBar* ToolBar1;
  TToolButton* ToolButton1;  // large icons
  TToolButton* ToolButton3;  // small icons
  TToolButton* ToolButton5;  // list
  TToolButton* Refresh;
  TToolButton* ToolButton10;  // new link
  TStatusBar* Status;
  TLkListView* DesktopLista;
  TImageList* IcoLista;
  TImageList* IcoListaPeq;
  TImageList* IconosMain;
  TImageList* IconosMenus;
  TLkComboBox* Combo_Userlist;
  TPopupMenu* PopupMenu1;
  TMenuItem* Protectwithpassword;
  TMenuItem* User1;
  TMenuItem* Peruser;
  TMenuItem* Removeprotection1;
  TMenuItem* Copy3;
  TMenuItem* Paste1;
  TMenuItem* SelectAll1;
  TMenuItem* Backup;
  TMenuItem* Restore;
  TMenuItem* Delete1;
  TMenuItem* Execute1;
  TMenuItem* Properties;
  TLkFolderMonitor* FolderMonitor = nullptr;
  TLkVigenereCipher* Cipher;

  // Window-wide lists (created by FormCreate, freed by FormDestroy).
  TStringList* UserNames = nullptr;
  TStringList* UserDesktopFolders = nullptr;
  TStringList* CopyList = nullptr;

  // Settings read at start (the Configuration page's values this page needs).
  bool CheckAuth = false;
  std::string EditAuth;  // the decoded program password

  // Handlers.
  void FormCreate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormDestroy(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void OutBarraItemClick(TObject* sender);
  void ApplicationEvents1Exception(TObject* sender, const std::exception& e);

  // Desktop Shortcuts page.
  void ScanFolder(const std::string& folder);
  void RefreshDesktop();
  int AddFileIcons(const std::string& file, TLkListView* view, bool isProtected);
  void Protection(TObject* sender);
  void Removeprotection1Click(TObject* sender);
  void PopupMenu1Popup(TObject* sender);
  void SelectAll1Click(TObject* sender);
  void RefreshButton(TObject* sender);
  void Combo_UserlistChange(TObject* sender);
  void FolderMonitorChange(TObject* sender);
  std::string CurrentFolder();
  // Protect or revert in a mode (-1: revert) on the selected rows.
  TBatchOutcome ProtectSelected(int mode);
  TBatchOutcome RevertSelected();

  // Steps of the start-up that belong to the other pages.
  void DeleteLockWorkstationOption();  // the flags tree's node 10, off the NT line
  void LoadUserData();
  void LoadConfiguration();
  void LoadViewStyles();
  void SaveViewStyles();
  void LoadLogView();
  void LogViewRefresh();
  void UpdateUserList();

  // The program password prompt; true when the typed text matches.
  bool Authenticate();
  std::string StatusText() const { return Status->PanelText(0); }
  void SetStatusText(const std::string& text) { Status->SetPanelText(0, text); }
  // The browsed folder (the Refresh button's Tag 1 shows it).
  std::string BrowsedFolder;
  // Called after each link write of protect or revert (a test seam).
  std::function<void(const std::string& path)> AfterLinkWrite;
  // The first start-up step that failed (shown once the password was given).
  std::exception_ptr StartupError;
  // True once FormCreate ran to its end with the password accepted.
  bool StartupDone = false;

 private:
  void BuildForm();
  void ShowPage(int item);
  void ExitCommand();
  // Protect and revert: each selected link read, planned, written and read
  // back, last row first. The plan is made once the batch is running.
  using TLinkPlan = std::function<TLinkPlanResult(TLinkFields&)>;
  TBatchOutcome RewriteSelected(const std::function<TLinkPlan()>& makePlan,
                                std::string (*statusText)(const TBatchOutcome&));
  // Image index per icon file and protection within one scan: the shell's
  // icon lookup is by far the dearest step of a listing, and many links
  // share a target.
  std::map<std::string, int> icon_cache_;
  bool busy_ = false;          // protect or revert running
  bool refresh_pending_ = false;
};

// The main window once created (null before).
extern TLKMain* LKMain;

// The bare main-form swap and the halt of a failed authentication; a test
// replaces the halt.
using THaltHook = void (*)();
void SetHaltHook(THaltHook hook);
void HaltProgram();
