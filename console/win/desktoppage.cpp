// The Desktop Shortcuts page: scan, icons, protect, revert, the popup, the
// file commands, browsing and the view buttons.
#include <windows.h>
#include <shellapi.h>

#include <map>

#include "console/win/desktoppage.h"

#include "console/core/configrules.h"
#include "console/core/pictureindex.h"
#include "console/core/popuprule.h"
#include "console/win/lkmainform.h"
#include "controls/win/filecopy.h"
#include "controls/win/foldermonitor.h"
#include "controls/win/menupainter.h"
#include "base/fileops.h"
#include "base/filereplace.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "forms/win/application.h"
#include "shared/core/gatearg.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"
#include "shared/win/shellops.h"
#include "shared/win/users.h"

namespace {
TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& caption, TShortCut shortcut = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  if (shortcut) item->SetShortCut(shortcut);
  parent->Add(item);
  return item;
}

const TConsolePageFace kDesktopFace{"DesktopPanel", "Desktop Shortcuts", "PanelDesktop", "ToolBar1", 4};

TLinkFields FieldsOf(const TShellLink& l) {
  TLinkFields f;
  f.Target = l.Target;
  f.Arguments = l.Arguments;
  f.WorkingFolder = l.WorkingFolder;
  f.Description = l.Description;
  f.IconFile = l.IconFile;
  f.IconIndex = l.IconIndex;
  f.ShowCommand = l.ShowCommand;
  f.HotKey = l.HotKey;
  return f;
}

void PutFields(const TLinkFields& f, TShellLink& l) {
  l.Target = f.Target;
  l.Arguments = f.Arguments;
  l.IconFile = f.IconFile;
  l.IconIndex = f.IconIndex;
}

std::string ShortPath(const std::string& path) {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

// The target comes back in its short form.
bool SameTarget(const std::string& written, const std::string& readBack) {
  return AnsiSameText(written, readBack) || AnsiSameText(ShortPath(written), ShortPath(readBack));
}

// Whether every file of a type shows the type's one icon: neither a
// DefaultIcon of "%1" nor an icon handler makes the icon the file's own.
bool TypeIconIsShared(const std::string& ext) {
  static std::map<std::string, bool> known;
  auto it = known.find(ext);
  if (it != known.end()) return it->second;
  const std::string cls = ReadRegistryValue(HKEY_CLASSES_ROOT, ext, "", TLkVariant("")).AsString();
  bool shared = !RegistryKeyExists(ext + "\\shellex\\IconHandler", HKEY_CLASSES_ROOT);
  if (shared && !cls.empty()) {
    const std::string icon = ReadRegistryValue(HKEY_CLASSES_ROOT, cls + "\\DefaultIcon", "", TLkVariant("")).AsString();
    shared = icon.find("%1") == std::string::npos &&
             !RegistryKeyExists(cls + "\\shellex\\IconHandler", HKEY_CLASSES_ROOT);
  }
  return known[ext] = shared;
}

// The icon cache's key: the file, or its type when the type's icon is shared.
std::string IconKey(const std::string& file, bool isProtected) {
  const std::string ext = AnsiLowerCase(ExtractFileExt(file));
  const bool own = ext.empty() || ext == ".exe" || ext == ".ico" || ext == ".scr" || ext == ".cur" ||
                   ext == ".ani" || ext == ".lnk" || ext == ".dll";
  const std::string base = own || !TypeIconIsShared(ext) ? AnsiLowerCase(file) : "type:" + ext;
  return base + (isProtected ? "|p" : "|n");
}

// The ordinary files of a folder that `pattern` finds, in the file system's order.
std::vector<std::string> OrdinaryFileNames(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY)) continue;
    names.push_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

// The link files of a folder, as the listing finds them: ordinary files
// ending in ".lnk", then the link of each aside copy ("x.lnk.old~") whose
// link is missing: its save stopped between its renames (the 9x line). That
// copy is put back here, so the scan and Restore's copies alike find the
// link under its name (one that cannot be moved is read where it lies). An
// aside copy beside its link is stale and adds nothing.
std::vector<std::string> LinkFileNames(const std::string& folder) {
  const std::vector<std::string> links = OrdinaryFileNames(folder, "*.lnk");
  std::vector<std::string> names = lk_replace::NamesWithStoppedReplaces(
      links, OrdinaryFileNames(folder, lk_replace::AsideName("*.lnk").c_str()));
  for (std::size_t i = links.size(); i < names.size(); ++i) lk_fileops::ReplacedFileToRead(folder + "\\" + names[i]);
  return names;
}

TViewStyle ViewStyleOf(TLinkView view) {
  switch (view) {
    case TLinkView::lvSmallIcon: return TViewStyle::vsSmallIcon;
    case TLinkView::lvList: return TViewStyle::vsList;
    case TLinkView::lvReport: return TViewStyle::vsReport;
    default: return TViewStyle::vsIcon;
  }
}

}  // namespace

TDesktopPage::TDesktopPage(TLKMain* form) : TConsolePage(form, kDesktopFace) {
  DesktopPanel = Panel;
  PanelDesktop = ToolPanel;
  ToolBar1 = ToolBar;
  BuildPage();
}

void TDesktopPage::BuildPage() {
  IcoLista = new TImageList(this, 32, 32);
  IcoListaPeq = new TImageList(this, 16, 16);

  // The link list.
  DesktopLista = new TLkListView(this);
  DesktopLista->SetName("DesktopLista");
  DesktopLista->SetParent(DesktopPanel);
  DesktopLista->SetAlign(TAlign::alClient);
  DesktopLista->SetBorderStyle(TListBorderStyle::bsNone);
  DesktopLista->SetMultiSelect(true);
  DesktopLista->SetHideSelection(false);
  DesktopLista->AddColumn("Item", 192);
  DesktopLista->AddColumn("Description", 220);
  DesktopLista->AddColumn("Protection", 99);
  DesktopLista->SetLargeImages(IcoLista);
  DesktopLista->SetSmallImages(IcoListaPeq);
  DesktopLista->SetAutoArrange(true);
  DesktopLista->SetAlphaSortAll(true);
  DesktopLista->SetFillLastColumn(false);
  DesktopLista->SetFlatScrollBars(true);
  DesktopLista->SetReadOnly(true);

  // The page's tool bar.
  ToolButton1 = NewButton("ToolButton1", "Large icons", mnLargeIcons, TToolButtonStyle::tbsCheck);
  ToolButton1->SetGrouped(true);
  ToolButton1->SetTag(0);
  ToolButton3 = NewButton("ToolButton3", "Small icons", mnSmallIcons, TToolButtonStyle::tbsCheck);
  ToolButton3->SetGrouped(true);
  ToolButton3->SetTag(2);
  ToolButton5 = NewButton("ToolButton5", "List", mnReport, TToolButtonStyle::tbsCheck);
  ToolButton5->SetGrouped(true);
  ToolButton5->SetTag(3);
  ToolButton1->SetDown(true);
  NewSeparator();
  Refresh = NewButton("Refresh", "Refresh", mnRefresh);
  Refresh->OnClick = TNotifyEvent(this, &TDesktopPage::RefreshButton);
  NewSeparator();
  ToolButton10 = NewButton("ToolButton10", "New...", mnNewLink);
  NewSeparator();
  Combo_Userlist = new TLkComboBox(this);
  Combo_Userlist->SetName("Combo_Userlist");
  Combo_Userlist->SetStyle(TComboBoxStyle::csDropDownList);
  Combo_Userlist->SetHint("User's desktop directory");
  Combo_Userlist->SetWidth(150);
  Combo_Userlist->SetFrameVisible(true);
  Combo_Userlist->SetFrameFlat(true);
  Combo_Userlist->SetFrameStyle(TFrameStyle::fsGroove);
  Combo_Userlist->SetFrameFlatStyle(TFrameStyle::fsGroove);
  Combo_Userlist->SetFrameFocusStyle(TFrameStyle::fsGroove);
  Combo_Userlist->OnChange = TNotifyEvent(this, &TDesktopPage::Combo_UserlistChange);
  ToolBar1->AddControl(Combo_Userlist);
  for (auto* b : {ToolButton1, ToolButton3, ToolButton5})
    b->OnClick = TNotifyEvent(this, &TDesktopPage::ViewStyleButton);
  ToolButton10->OnClick = TNotifyEvent(this, &TDesktopPage::NewShortcut1Click);
  NewSeparator();

  // The directory edit and its menu; the recent folders head the menu.
  PopupMenu2 = new TPopupMenu(this);
  PopupMenu2->SetName("PopupMenu2");
  TMenuItem* root2 = PopupMenu2->Items();
  NewItem(this, root2, "-");
  StartMenuCurrent = NewItem(this, root2, "Start Menu: Current User");
  StartMenuCurrent->OnClick = TNotifyEvent(this, &TDesktopPage::StartMenuCurrentClick);
  StartMenuAll = NewItem(this, root2, "Start Menu: All Users");
  StartMenuAll->OnClick = TNotifyEvent(this, &TDesktopPage::StartMenuAllClick);
  NewItem(this, root2, "-");
  Backupdir1 = NewItem(this, root2, "Backup dir");
  Backupdir1->OnClick = TNotifyEvent(this, &TDesktopPage::Backupdir1Click);
  Backupdir1->SetVisible(false);
  PopupMenu2->OnPopup = TNotifyEvent(this, &TDesktopPage::PopupMenu2Popup);

  DirectoryEdit1 = new TDirectoryEdit(this);
  DirectoryEdit1->SetName("DirectoryEdit1");
  DirectoryEdit1->SetWidth(130);  // what the tool bar has left
  DirectoryEdit1->SetText("Browse");
  DirectoryEdit1->SetHint("Click to Browse for directory");
  DirectoryEdit1->SetDialogKind(TDirDialogKind::dkWin32);
  DirectoryEdit1->SetButtonWidth(22);
  DirectoryEdit1->SetPopupMenu(PopupMenu2);
  DirectoryEdit1->OnAfterDialog = TExecOpenDialogEvent(this, &TDesktopPage::DirectoryEdit1AfterDialog);
  ToolBar1->AddControl(DirectoryEdit1);

  // The menu first: each property below reloads the stored list into it.
  LkMRUFileList1 = new TLkMRUFileList(this);
  LkMRUFileList1->SetName("LkMRUFileList1");
  LkMRUFileList1->SetPopupMenu(PopupMenu2);
  LkMRUFileList1->SetRemoveOnClick(false);
  LkMRUFileList1->SetUseSubmenu(true);
  LkMRUFileList1->OnMRUItemClick = TMRUClickEvent(this, &TDesktopPage::LkMRUFileList1MRUItemClick);
  LkMRUFileList1->SetAutoSaveName("\\Software\\Velmora\\Lockmere");
  LkMRUFileList1->SetAutoSaveKey("MRU Items");
  LkMRUFileList1->SetAutoSaveRootKey(TRootKey::rkLocalMachine);

  // The link list's popup menu.
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetImages(Form()->IconosMenus);
  TMenuItem* root = PopupMenu1->Items();
  Protectwithpassword = NewItem(this, root, "Protect");
  User1 = NewItem(this, Protectwithpassword, "All Users (default) Settings");
  User1->SetTag(0);
  Peruser = NewItem(this, Protectwithpassword, "Per-user Settings");
  Peruser->SetTag(1);
  User1->OnClick = TNotifyEvent(this, &TDesktopPage::Protection);
  Peruser->OnClick = TNotifyEvent(this, &TDesktopPage::Protection);
  Removeprotection1 = NewItem(this, root, "Revert");
  Removeprotection1->OnClick = TNotifyEvent(this, &TDesktopPage::Removeprotection1Click);
  NewItem(this, root, "-");
  Copy3 = NewItem(this, root, "&Copy", 'C' | scCtrl);
  Paste1 = NewItem(this, root, "Paste", 'V' | scCtrl);
  SelectAll1 = NewItem(this, root, "Select All", 'A' | scCtrl);
  SelectAll1->OnClick = TNotifyEvent(this, &TDesktopPage::SelectAll1Click);
  NewItem(this, root, "-");
  Backup = NewItem(this, root, "Backup");
  Restore = NewItem(this, root, "Restore");
  NewItem(this, root, "-");
  Delete1 = NewItem(this, root, "Delete", 'D' | scCtrl);
  Execute1 = NewItem(this, root, "Execute");
  Execute1->SetDefault(true);
  Properties = NewItem(this, root, "Properties");
  // Each command's picture (the sub-items' from the menu's list too).
  const std::pair<TMenuItem*, TMenuPicture> pictures[] = {
      {Protectwithpassword, mnProtect}, {User1, mnAllUsers}, {Peruser, mnOneUser}, {Removeprotection1, mnRevert},
      {Copy3, mnCopy},       {Paste1, mnPaste},   {SelectAll1, mnSelectAll}, {Backup, mnBackup},
      {Restore, mnRestore},  {Delete1, mnDelete}, {Execute1, mnExecute},     {Properties, mnProperties}};
  for (auto [item, picture] : pictures) item->SetImageIndex(picture);
  Copy3->OnClick = TNotifyEvent(this, &TDesktopPage::Copy3Click);
  Paste1->OnClick = TNotifyEvent(this, &TDesktopPage::Paste1Click);
  Backup->OnClick = TNotifyEvent(this, &TDesktopPage::BackupClick);
  Restore->OnClick = TNotifyEvent(this, &TDesktopPage::RestoreClick);
  Delete1->OnClick = TNotifyEvent(this, &TDesktopPage::Delete1Click);
  Execute1->OnClick = TNotifyEvent(this, &TDesktopPage::Execute1Click);
  Properties->OnClick = TNotifyEvent(this, &TDesktopPage::PropertiesClick);
  DesktopLista->OnDblClick = TNotifyEvent(this, &TDesktopPage::DesktopListaDblClick);
  PopupMenu1->OnPopup = TNotifyEvent(this, &TDesktopPage::PopupMenu1Popup);
  DesktopLista->SetPopupMenu(PopupMenu1);

  FolderMonitor = new TLkFolderMonitor(this);
  FolderMonitor->SetDelayTime(1000);
  FolderMonitor->SetMonitorSubtree(false);
  FolderMonitor->OnChange = TNotifyEvent(this, &TDesktopPage::FolderMonitorChange);
}

void TDesktopPage::StartUp() {
  SelectStartUser();
  const int i = Combo_Userlist->ItemIndex();
  if (i >= 0 && i < State().UserDesktopFolders.Count()) FolderMonitor->SetFolderName(State().UserDesktopFolders[i]);
  FolderMonitor->SetActive(true);
  RefreshDesktop();
  LoadViewStyles();
}

void TDesktopPage::Closing() { SaveViewStyles(); }

// The user list, on the current user's entry (the first on the 9x line).
void TDesktopPage::SelectStartUser() {
  const TStringList& names = State().UserNames;
  if (names.Count() == 0) return;
  std::vector<std::string> items;
  for (int i = 0; i < names.Count(); ++i) items.push_back(names[i]);
  Combo_Userlist->SetItems(items);
  if (RunningOnNT()) {
    const std::string me = CurrentUserName();
    for (int i = 0; i < names.Count(); ++i)
      if (AnsiSameText(names[i], me)) Combo_Userlist->SetItemIndex(i);
  } else {
    Combo_Userlist->SetItemIndex(0);
  }
}

// The view buttons are the first three of the tool bar.
void TDesktopPage::LoadViewStyles() {
  TToolButton* const buttons[] = {ToolButton1, ToolButton3, ToolButton5};
  TToolButton* pressed = buttons[ViewButtonPosition(ReadSetting(LKData::IconView), 3)];
  pressed->SetDown(true);
  DesktopLista->SetViewStyle(ViewStyleOf(ViewOfTag(pressed->Tag())));
}

void TDesktopPage::SaveViewStyles() {
  TToolButton* const buttons[] = {ToolButton1, ToolButton3, ToolButton5};
  int position = 0;
  for (int i = 2; i >= 0; --i)
    if (buttons[i]->Down()) position = i;
  WriteSetting(LKData::IconView, position);
}

void TDesktopPage::ViewStyleButton(TObject* sender) {
  if (auto* button = dynamic_cast<TToolButton*>(sender))
    DesktopLista->SetViewStyle(ViewStyleOf(ViewOfTag(button->Tag())));
}

std::string TDesktopPage::CurrentFolder() {
  if (Refresh->Tag() == 1) return BrowsedFolder;
  const int i = Combo_Userlist->ItemIndex();
  const TStringList& folders = State().UserDesktopFolders;
  return i >= 0 && i < folders.Count() ? folders[i] : std::string();
}

void TDesktopPage::ScanFolder(const std::string& folder) {
  // No folder is no folder: not the root of the current drive.
  if (folder.empty()) return;
  const std::string& gateFile = GateFileName();
  for (const std::string& name : LinkFileNames(folder)) {
    const std::string path = folder + "\\" + name;
    TShellLink link;
    if (ReadShellLink(path, link) != S_OK || link.Target.empty()) continue;
    std::string iconFile = AnsiLowerCase(link.Target);
    std::string status = "None";
    const bool isProtected = iconFile.find(gateFile) != std::string::npos;
    if (isProtected) {
      status = "Protected";
      iconFile = DecodeGateArgument(link.Arguments).Target;
    }
    DesktopLista->BeginUpdate();
    TListItem* row = DesktopLista->AddRow(name.size() >= 4 ? name.substr(0, name.size() - 4) : name,
                                          {link.Description, status, path, link.Target}, -1);
    DesktopLista->EndUpdate();
    row->SetImageIndex(AddFileIcons(iconFile, DesktopLista, isProtected));
    FreeShellLinkIdList(link);
  }
}

int TDesktopPage::AddFileIcons(const std::string& file, TLkListView* view, bool isProtected) {
  const bool cacheable = view == DesktopLista;
  const std::string key = cacheable ? IconKey(file, isProtected) : std::string();
  if (cacheable) {
    auto hit = icon_cache_.find(key);
    if (hit != icon_cache_.end()) return hit->second;
  }
  int result = -1;
  TImageList* large = view->LargeImages();
  TImageList* small = view->SmallImages();
  HICON big = nullptr, little = nullptr;
  SHFILEINFOA info{};
  if (large && SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON)) big = info.hIcon;
  if (small && small != large && SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
    little = info.hIcon;
  if (big || little) {
    // The arrow goes on both; a missing one is stood in for and dropped.
    HICON b = big ? big : CopyIcon(little), s = little ? little : CopyIcon(big);
    AddLinkArrowOverlay(b, s);
    big = big ? b : (DestroyIcon(b), nullptr);
    little = little ? s : (DestroyIcon(s), nullptr);
  }
  if (big) {
    if (isProtected) {
      HICON overlay = LoadIconA(GetModuleHandleA(nullptr), State().OverlayColorName.c_str());
      if (overlay) MergeOverlayIcon(big, overlay, true);
    }
    TIcon icon;
    icon.SetHandle(big);
    result = large->AddIcon(&icon);
  }
  if (little) {
    // The small views show only the arrow.
    TIcon icon;
    icon.SetHandle(little);
    result = small->AddIcon(&icon);
  }
  if (cacheable && result >= 0) icon_cache_[key] = result;
  return result;
}

void TDesktopPage::RefreshDesktop() {
  RescanShown();
  SetStatusText(kStatusRefreshed);
  Form()->Repaint();
}

void TDesktopPage::RescanShown() {
  Rescan(CurrentFolder());
  // A browsed folder's caption says whether it holds links: it follows the rows.
  if (Refresh->Tag() == 1) DesktopPanel->SetCaption(BrowseCaption(DesktopLista->Count()));
}

void TDesktopPage::Rescan(const std::string& folder) {
  THourglass hourglass;
  DesktopLista->SetEnabled(false);
  IcoLista->Clear();
  IcoListaPeq->Clear();
  icon_cache_.clear();
  DesktopLista->Clear();
  // One outer update around the rows' own pairs: the list redraws once.
  DesktopLista->BeginUpdate();
  try {
    ScanFolder(folder);
  } catch (...) {
    DesktopLista->EndUpdate();
    DesktopLista->SetEnabled(true);
    throw;
  }
  DesktopLista->EndUpdate();
  DesktopLista->UpdateImageLists();
  DesktopLista->SetEnabled(true);
}

TBatchOutcome TDesktopPage::ProtectSelected(int mode) {
  return RewriteSelected(
      [this, mode] {
        TProtectSettings s;
        s.Mode = mode;
        s.GatePath = GatePath();
        s.GateFileName = GateFileName();
        // The saved choice: one not yet saved on the Configuration page
        // never reaches protected links.
        s.IconSelect = ReadSetting(LKData::doIconSelect);
        s.IconSelectIndex = ClampChoice(ReadSetting(LKData::IconSelect), kGateIconCount);
        s.DefaultIconLocation = [](const std::string& kind) { return DefaultIconLocation(kind); };
        return TLinkPlan([s](TLinkFields& f) { return PlanProtect(f, s); });
      },
      ProtectStatusText);
}

TBatchOutcome TDesktopPage::RevertSelected() {
  return RewriteSelected(
      [this] { return TLinkPlan([this](TLinkFields& f) { return PlanRevert(f, GateFileName()); }); },
      RevertStatusText);
}

TBatchOutcome TDesktopPage::RewriteSelected(const std::function<TLinkPlan()>& makePlan,
                                       std::string (*statusText)(const TBatchOutcome&)) {
  // The paths first: a shell call may pump messages and rebuild the rows.
  std::vector<std::string> paths;
  for (TListItem* row : DesktopLista->SelectedItems()) paths.push_back(row->SubItem(2));
  TBatchOutcome outcome;
  busy_ = true;
  try {
    const TLinkPlan plan = makePlan();
    for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
      TShellLink link;
      if (ReadShellLink(*it, link) != S_OK) {
        ++outcome.Failed;
        continue;
      }
      TLinkFields f = FieldsOf(link);
      const TLinkPlanResult result = plan(f);
      if (PlanSkipped(result)) {
        ++outcome.Skipped;
      } else if (result != TLinkPlanResult::lpOk) {
        ++outcome.Failed;
      } else {
        PutFields(f, link);
        TShellLink back;
        const bool written = WriteShellLink(link, *it) == S_OK;
        if (AfterLinkWrite) AfterLinkWrite(*it);
        if (written && ReadShellLink(*it, back) == S_OK &&
            LinkReadsBackAs(f, FieldsOf(back), SameTarget)) {
          ++outcome.Done;
        } else {
          ++outcome.Failed;
        }
        FreeShellLinkIdList(back);
      }
      FreeShellLinkIdList(link);
    }
  } catch (...) {
    busy_ = false;
    throw;
  }
  busy_ = false;
  SetStatusText(statusText(outcome));
  if (refresh_pending_) {
    refresh_pending_ = false;
    FolderMonitorChange(FolderMonitor);
  }
  return outcome;
}

void TDesktopPage::Protection(TObject* sender) {
  const auto* item = dynamic_cast<TComponent*>(sender);
  ProtectSelected(item ? static_cast<int>(item->Tag()) : 0);
}

void TDesktopPage::Removeprotection1Click(TObject*) { RevertSelected(); }

void TDesktopPage::PopupMenu1Popup(TObject*) {
  TPopupContext c;
  c.UserCount = Combo_Userlist->ItemCount();
  c.CurrentFolder = CurrentFolder();
  c.BackupFolder = BackupFolder();
  c.BackupFolderExists = FolderExists(c.BackupFolder);
  c.CopyCount = State().CopyList.Count();
  c.GateFileName = GateFileName();
  for (TListItem* row : DesktopLista->SelectedItems()) c.SelectedTargets.push_back(row->SubItem(3));
  const TPopupEnabling e = PopupEnabling(c);
  Peruser->SetEnabled(e.Peruser);
  Restore->SetEnabled(e.Restore);
  Backup->SetEnabled(e.Backup);
  Paste1->SetEnabled(e.Paste);
  Delete1->SetEnabled(e.Delete);
  Execute1->SetEnabled(e.Execute);
  Protectwithpassword->SetEnabled(e.Protect);
  Removeprotection1->SetEnabled(e.Revert);
  Copy3->SetEnabled(e.Copy);
  Properties->SetEnabled(e.Properties);
}

void TDesktopPage::SelectAll1Click(TObject*) { DesktopLista->SelectAll(); }

void TDesktopPage::RefreshButton(TObject*) { RefreshDesktop(); }

void TDesktopPage::Combo_UserlistChange(TObject*) {
  const int i = Combo_Userlist->ItemIndex();
  const TConsoleState& state = State();
  if (i < 0 || i >= state.UserNames.Count()) return;
  DesktopPanel->SetCaption(state.UserNames[i] + " Desktop Shortcuts");
  Refresh->SetTag(0);
  RefreshDesktop();
  if (i < state.UserDesktopFolders.Count()) FolderMonitor->SetFolderName(state.UserDesktopFolders[i]);
}

void TDesktopPage::FolderMonitorChange(TObject*) {
  // A rescan in the middle of protect or revert would rebuild the rows they
  // work from: it waits until they are done.
  if (busy_) {
    refresh_pending_ = true;
    return;
  }
  // Not a command of its own: the status keeps what the command that
  // changed the folder said (Restore, Paste, Protect ...).
  RescanShown();
  Form()->Repaint();
}

// ---- File commands

std::vector<std::string> TDesktopPage::SelectedPaths() {
  std::vector<std::string> paths;
  const std::vector<TListItem*> rows = DesktopLista->SelectedItems();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) paths.push_back((*it)->SubItem(2));
  return paths;
}

TCopyOutcome TDesktopPage::CopyFiles(const std::vector<std::pair<std::string, std::string>>& copies) {
  TCopyOutcome outcome;
  outcome.Total = static_cast<int>(copies.size());
  for (const auto& [source, destination] : copies) {
    try {
      CopyFileWithProgress(source, destination, false, true, nullptr);
    } catch (const EAbort&) {
      // Failed or cancelled in the shell, which has said why: the rest is not tried.
      break;
    }
    ++outcome.Copied;
  }
  LastCopies = outcome;
  return outcome;
}

void TDesktopPage::Copy3Click(TObject*) {
  TStringList& copies = State().CopyList;
  copies.Clear();
  for (const std::string& path : SelectedPaths()) copies.Add(path);
}

void TDesktopPage::Paste1Click(TObject*) {
  const TStringList& list = State().CopyList;
  const std::string folder = CurrentFolder();
  if (list.Count() == 0 || folder.empty()) return;
  std::vector<std::pair<std::string, std::string>> copies;
  for (int i = 0; i < list.Count(); ++i) copies.emplace_back(list[i], folder + "\\" + ExtractFileName(list[i]));
  const std::string status = PasteStatusText(CopyFiles(copies));
  if (!status.empty()) SetStatusText(status);
}

void TDesktopPage::Delete1Click(TObject*) {
  const std::vector<std::string> paths = SelectedPaths();
  if (paths.empty()) return;
  // The shell asks first and reports its own failures.
  DeleteFilesViaShell(Form()->Handle(), paths, kDeleteFilesOnly);
}

void TDesktopPage::NewShortcut1Click(TObject*) {
  const std::string folder = CurrentFolder();
  if (folder.empty()) return;
  if (!StartNewLinkWizard(folder)) SetStatusText(kStatusNoNewLinkCommand);
}

void TDesktopPage::Execute1Click(TObject*) {
  const std::vector<std::string> paths = SelectedPaths();
  // The link file itself: a protected link starts the gate as the shell would.
  if (!paths.empty()) ExecuteViaShell(paths.front(), "", "open", SW_SHOWNORMAL);
}

void TDesktopPage::DesktopListaDblClick(TObject* sender) { Execute1Click(sender); }

void TDesktopPage::PropertiesClick(TObject*) {
  const std::vector<std::string> paths = SelectedPaths();
  if (!paths.empty()) ShowPropertiesDialog(Form()->Handle(), paths.front());
}

void TDesktopPage::BackupClick(TObject*) {
  const std::string backups = BackupFolder();
  std::vector<std::pair<std::string, std::string>> copies;
  for (const std::string& path : SelectedPaths()) copies.emplace_back(path, backups + "\\" + ExtractFileName(path));
  TCopyOutcome outcome;
  {
    THourglass hourglass;
    SetStatusText(kStatusPleaseWait);
    Form()->Repaint();
    outcome = CopyFiles(copies);
  }
  SetStatusText(BackupStatusText(outcome));
}

void TDesktopPage::RestoreClick(TObject*) {
  const std::string folder = CurrentFolder();
  if (folder.empty()) return;
  const std::string backups = BackupFolder();
  TCopyOutcome outcome;
  {
    THourglass hourglass;
    SetStatusText(kStatusPleaseWait);
    Form()->Repaint();
    std::vector<std::pair<std::string, std::string>> copies;
    for (const std::string& name : LinkFileNames(backups))
      copies.emplace_back(backups + "\\" + name, folder + "\\" + name);
    outcome = CopyFiles(copies);
  }
  SetStatusText(RestoreStatusText(outcome));
}

// ---- Browsing

void TDesktopPage::ShowBrowsedFolder(const std::string& folder) {
  Rescan(folder);
  Refresh->SetTag(1);
  BrowsedFolder = folder;
  DirectoryEdit1->SetHint(folder);
  FolderMonitor->SetFolderName(folder);
  DesktopPanel->SetCaption(BrowseCaption(DesktopLista->Count()));
}

void TDesktopPage::DirectoryEdit1AfterDialog(TObject*, std::string& name, bool& action) {
  if (!action) return;
  ShowBrowsedFolder(name);
  LkMRUFileList1->AddEntry(name);
}

void TDesktopPage::LkMRUFileList1MRUItemClick(TObject*, const std::string& name) {
  if (name.empty()) return;
  DirectoryEdit1->SetText(name);
  ShowBrowsedFolder(name);
}

void TDesktopPage::PopupMenu2Popup(TObject*) {
  Backupdir1->SetVisible(FolderExists(BackupFolder()));
  // Recent folders come and go while the program runs: those made since the
  // painter took this menu get its look too.
  TLkMenuPainter* painter = Form()->MenuPainter1;
  if (!painter || !painter->Active()) return;
  for (TMRUMenuItem* item : LkMRUFileList1->PopupItems()) {
    if (!item->OnDrawItem) item->OnDrawItem = TMenuDrawItemEvent(painter, &TLkMenuPainter::DrawItem);
    if (!item->OnMeasureItem) item->OnMeasureItem = TMenuMeasureItemEvent(painter, &TLkMenuPainter::MeasureItem);
  }
}

void TDesktopPage::StartMenuCurrentClick(TObject* sender) { LkMRUFileList1MRUItemClick(sender, UserStartMenuFolder()); }

void TDesktopPage::StartMenuAllClick(TObject* sender) { LkMRUFileList1MRUItemClick(sender, CommonStartMenuFolder()); }

void TDesktopPage::Backupdir1Click(TObject* sender) { LkMRUFileList1MRUItemClick(sender, BackupFolder()); }
