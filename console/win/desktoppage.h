// The Desktop Shortcuts page: the links of a user's desktop or of a browsed
// folder with their protection, the protect and revert commands, the file
// commands (copy, paste, delete, new, execute, properties, backup, restore),
// browsing by the directory edit and its menu, and the view buttons.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "console/core/filecommands.h"
#include "console/core/linkplan.h"
#include "console/core/statustexts.h"
#include "console/win/consolepage.h"
#include "controls/win/diredit.h"
#include "controls/win/framedcombo.h"
#include "controls/win/framedlistview.h"
#include "controls/win/mru.h"
#include "forms/win/menus.h"

class TLkFolderMonitor;

class TDesktopPage : public TConsolePage {
 public:
  explicit TDesktopPage(TLKMain* form);

  TLkCaptionPanel* DesktopPanel;
  TPanel* PanelDesktop;
  TToolBar* ToolBar1;
  TToolButton* ToolButton1;  // large icons
  TToolButton* ToolButton3;  // small icons
  TToolButton* ToolButton5;  // list
  TToolButton* Refresh;
  TToolButton* ToolButton10;  // new link
  TDirectoryEdit* DirectoryEdit1;
  TPopupMenu* PopupMenu2;  // the directory edit's menu
  TMenuItem* StartMenuCurrent;
  TMenuItem* StartMenuAll;
  TMenuItem* Backupdir1;
  TLkMRUFileList* LkMRUFileList1;
  TLkListView* DesktopLista;
  TImageList* IcoLista;
  TImageList* IcoListaPeq;
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

  // The page's face.
  void StartUp() override;
  void Closing() override;
  void RefreshKey() override { RefreshDesktop(); }

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
  void LoadViewStyles();
  void SaveViewStyles();
  // The file commands.
  void Copy3Click(TObject* sender);
  void Paste1Click(TObject* sender);
  void Delete1Click(TObject* sender);
  void NewShortcut1Click(TObject* sender);
  void Execute1Click(TObject* sender);
  void DesktopListaDblClick(TObject* sender);
  void PropertiesClick(TObject* sender);
  void BackupClick(TObject* sender);
  void RestoreClick(TObject* sender);
  // Browsing.
  void DirectoryEdit1AfterDialog(TObject* sender, std::string& name, bool& action);
  void LkMRUFileList1MRUItemClick(TObject* sender, const std::string& name);
  void PopupMenu2Popup(TObject* sender);
  void StartMenuCurrentClick(TObject* sender);
  void StartMenuAllClick(TObject* sender);
  void Backupdir1Click(TObject* sender);
  void ViewStyleButton(TObject* sender);
  std::string CurrentFolder();
  // Protect or revert on the selected rows.
  TBatchOutcome ProtectSelected(int mode);
  TBatchOutcome RevertSelected();

  // The browsed folder (the Refresh button's Tag 1 shows it): the folder
  // scanned, whatever has been typed into the directory edit since.
  std::string BrowsedFolder;
  // What the last paste, backup or restore copied.
  TCopyOutcome LastCopies;
  // Called after each link write of protect or revert (a test seam).
  std::function<void(const std::string& path)> AfterLinkWrite;

 private:
  void BuildPage();
  void SelectStartUser();
  // Clears the rows and both image lists and lists the folder's links.
  void Rescan(const std::string& folder);
  // Rescans the folder shown, the browsed folder's caption with it.
  void RescanShown();
  // The shared steps of every way of browsing a folder.
  void ShowBrowsedFolder(const std::string& folder);
  // Copies each source to its destination through the shell, in order,
  // until one fails or is cancelled.
  TCopyOutcome CopyFiles(const std::vector<std::pair<std::string, std::string>>& copies);
  // The link paths of the selected rows, last row first.
  std::vector<std::string> SelectedPaths();
  // Protect and revert: each selected link read, planned, written and read
  // back, last row first. The plan is made once the batch is running.
  using TLinkPlan = std::function<TLinkPlanResult(TLinkFields&)>;
  TBatchOutcome RewriteSelected(const std::function<TLinkPlan()>& makePlan,
                                std::string (*statusText)(const TBatchOutcome&));
  // Image index per icon file and protection within one scan: the shell's
  // icon lookup is by far the dearest step of a listing, and many links
  // share a target.
  std::map<std::string, int> icon_cache_;
  bool busy_ = false;  // protect or revert running
  bool refresh_pending_ = false;
};
