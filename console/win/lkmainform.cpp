#include "console/win/lkmainform.h"

#include <shellapi.h>

#include "console/win/authprompt.h"
#include "console/win/splash.h"
#include "base/locale.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "shared/win/users.h"

#include "controls/win/foldermonitor.h"

bool ConfigChanged = false;
bool UserSettingsChanged = false;
std::string OverlayColorName = "BLUE";
TLKMain* LKMain = nullptr;

namespace {
THaltHook g_halt = nullptr;

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& caption, TShortCut shortcut = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  if (shortcut) item->SetShortCut(shortcut);
  parent->Add(item);
  return item;
}

TLkCaptionPanel* NewPage(TLKMain* form, const std::string& name, const std::string& caption, bool visible) {
  auto* p = new TLkCaptionPanel(form);
  p->SetName(name);
  p->SetParent(form);
  p->SetBounds(120, 0, 513, 410);
  p->SetCaption(caption);
  p->SetButtonVisible(false);
  p->SetVisible(visible);
  return p;
}

TPanel* NewToolPanel(TLKMain* form, const std::string& name, bool visible) {
  auto* p = new TPanel(form);
  p->SetName(name);
  p->SetParent(form);
  p->SetBounds(120, 414, 513, 32);
  p->SetCaption("");
  p->SetVisible(visible);
  return p;
}

TToolBar* NewToolBar(TLKMain* form, TPanel* panel, TImageList* images) {
  auto* bar = new TToolBar(form);
  bar->SetParent(panel);
  bar->SetAlign(TAlign::alClient);
  bar->SetFlat(true);
  bar->SetImages(images);
  bar->SetButtonSize(39, 28);
  bar->SetShowHint(true);  // the buttons' hints show as tips
  return bar;
}

TToolButton* NewButton(TLKMain* form, TToolBar* bar, const std::string& name, const std::string& hint, int image,
                       TToolButtonStyle style = TToolButtonStyle::tbsButton) {
  auto* b = new TToolButton(form);
  b->SetName(name);
  b->SetHint(hint);
  b->SetImageIndex(image);
  b->SetStyle(style);
  bar->AddButton(b);
  return b;
}

void NewSeparator(TLKMain* form, TToolBar* bar) {
  auto* b = new TToolButton(form);
  b->SetStyle(TToolButtonStyle::tbsSeparator);
  bar->AddButton(b);
}

// Icons of the system's shell library for the image lists.
void AddShellIcons(TImageList* list, std::initializer_list<int> indices, bool large) {
  for (int index : indices) {
    HICON big = nullptr, small = nullptr;
    ExtractIconExA("shell32.dll", index, &big, &small, 1);
    TIcon icon;
    icon.SetHandle(large ? big : small);
    if (large && small) DestroyIcon(small);
    if (!large && big) DestroyIcon(big);
    if (!icon.Empty())
      list->AddIcon(&icon);
    else {
      TBitmap blank;
      blank.SetSize(list->Width(), list->Height());
      list->AddMasked(&blank, clBlack);
    }
  }
}
}  // namespace

void SetHaltHook(THaltHook hook) { g_halt = hook; }

void HaltProgram() {
  if (g_halt) {
    g_halt();
    return;
  }
  Application->Terminate();
  ExitProcess(0);
}

TLKMain::TLKMain(TComponent* owner) : TForm(owner) {
  LKMain = this;
  BeginLoading();
  BuildForm();
  OnCreate = TNotifyEvent(this, &TLKMain::FormCreate);
  OnClose = TCloseEvent(this, &TLKMain::FormClose);
  OnDestroy = TNotifyEvent(this, &TLKMain::FormDestroy);
  OnKeyDown = TKeyEvent(this, &TLKMain::FormKeyDown);
  // Every exception that reaches the message loop ends in the console's box.
  Application->OnException = TExceptionEvent(this, &TLKMain::ApplicationEvents1Exception);
  EndLoading();
}

TLKMain::~TLKMain() {
  if (Application && Application->OnException == TExceptionEvent(this, &TLKMain::ApplicationEvents1Exception))
    Application->OnException = nullptr;
  if (LKMain == this) LKMain = nullptr;
}

void TLKMain::BuildForm() {
  SetName("LKMain");
  SetCaption("Lockmere v1.01");
  SetBorderStyle(TFormBorderStyle::bsSingle);
  SetBorderIcons(biSystemMenu);
  SetPosition(TPosition::poDesktopCenter);
  SetKeyPreview(true);
  SetHelpContext(4);
  Font()->SetName("MS Sans Serif");
  Font()->SetSize(8);
  SetClientSize(635, 470);

  IconosMain = new TImageList(this, 32, 32);
  AddShellIcons(IconosMain, {3, 21, 44, 27, 23, 1}, true);
  IconosMenus = new TImageList(this, 16, 16);
  AddShellIcons(IconosMenus, {34, 35, 36, 238, 21, 3, 44, 12}, false);
  IcoLista = new TImageList(this, 32, 32);
  IcoListaPeq = new TImageList(this, 16, 16);
  Cipher = new TLkVigenereCipher(this);
  Cipher->SetKey("2953");

  OutBarra = new TLkSideBar(this);
  OutBarra->SetName("OutBarra");
  OutBarra->SetParent(this);
  OutBarra->SetAlign(TAlign::alLeft);
  OutBarra->SetWidth(115);
  OutBarra->SetImages(IconosMain);
  OutBarra->Font()->SetName("Verdana");
  OutBarra->ItemHightlightFont()->SetName("Verdana");
  OutBarra->SelectedFont()->SetName("Verdana");
  OutBarra->SelectedFont()->SetStyle(fsBold);
  OutBarra->ButtonFont()->SetName("Tahoma");
  OutBarra->SetFrameStyle(TLkSideFrameStyle::fsRowButton);
  OutBarra->SetSpacing(15);
  OutBarra->SetTopSpacing(0);
  OutBarra->SetSmoothScrolling(true);
  OutBarra->SetScrollDelay(5);
  OutBarra->SetAllowEditing(false);
  OutBarra->SetItemHightlightColor(clNone);
  // The bar's stored groups: one group, six items, no actions.
  TLkSideGroupData menu{"Menu Bar", {}};
  const std::pair<const char*, int> items[] = {{"Shorcut View", 0}, {"Configuration", 1}, {"User Settings", 2},
                                               {"View Log", 5},     {"About...", 3},      {"Exit", 4}};
  for (auto [caption, image] : items) {
    TLkSideItemData& item = menu.Items.emplace_back();
    item.Caption = caption;
    item.ImageIndex = image;
  }
  OutBarra->ReadList({menu});
  OutBarra->SetSelectedButton(0);
  OutBarra->SetSelectedItem(0);
  OutBarra->OnItemClick = TNotifyEvent(this, &TLKMain::OutBarraItemClick);

  DesktopPanel = NewPage(this, "DesktopPanel", "Desktop Shortcuts", true);
  SettingsPanel = NewPage(this, "SettingsPanel", "Configuration", false);
  PasswordPanel = NewPage(this, "PasswordPanel", "User Settings", false);
  LogPanel = NewPage(this, "LogPanel", "Log View", false);
  PanelDesktop = NewToolPanel(this, "PanelDesktop", true);
  PanelConfig = NewToolPanel(this, "PanelConfig", false);
  PanelSettings = NewToolPanel(this, "PanelSettings", false);
  PanelLog = NewToolPanel(this, "PanelLog", false);

  Status = new TStatusBar(this);
  Status->SetName("Status");
  Status->SetParent(this);
  Status->AddPanel(100);

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
  ToolBar1 = NewToolBar(this, PanelDesktop, IconosMenus);
  ToolButton1 = NewButton(this, ToolBar1, "ToolButton1", "Large icons", 0, TToolButtonStyle::tbsCheck);
  ToolButton1->SetGrouped(true);
  ToolButton1->SetTag(0);
  ToolButton3 = NewButton(this, ToolBar1, "ToolButton3", "Small icons", 1, TToolButtonStyle::tbsCheck);
  ToolButton3->SetGrouped(true);
  ToolButton3->SetTag(2);
  ToolButton5 = NewButton(this, ToolBar1, "ToolButton5", "List", 2, TToolButtonStyle::tbsCheck);
  ToolButton5->SetGrouped(true);
  ToolButton5->SetTag(3);
  ToolButton1->SetDown(true);
  NewSeparator(this, ToolBar1);
  Refresh = NewButton(this, ToolBar1, "Refresh", "Refresh", 3);
  Refresh->OnClick = TNotifyEvent(this, &TLKMain::RefreshButton);
  NewSeparator(this, ToolBar1);
  ToolButton10 = NewButton(this, ToolBar1, "ToolButton10", "New...", 4);
  NewSeparator(this, ToolBar1);
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
  Combo_Userlist->OnChange = TNotifyEvent(this, &TLKMain::Combo_UserlistChange);
  ToolBar1->AddControl(Combo_Userlist);
  for (auto* b : {ToolButton1, ToolButton3, ToolButton5})
    b->OnClick = TNotifyEvent::WithIdentity(this, 1, [this](TObject* s) {
      switch (static_cast<TToolButton*>(s)->Tag()) {
        case 0: DesktopLista->SetViewStyle(TViewStyle::vsIcon); break;
        case 2: DesktopLista->SetViewStyle(TViewStyle::vsSmallIcon); break;
        default: DesktopLista->SetViewStyle(TViewStyle::vsList); break;
      }
    });

  // The other pages' tool bars (their buttons come with their pages).
  NewToolBar(this, PanelConfig, IconosMenus);
  NewToolBar(this, PanelSettings, IconosMenus);
  NewToolBar(this, PanelLog, IconosMenus);

  // The link list's popup menu.
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetImages(IconosMenus);
  TMenuItem* root = PopupMenu1->Items();
  Protectwithpassword = NewItem(this, root, "Protect");
  User1 = NewItem(this, Protectwithpassword, "All Users (default) Settings");
  User1->SetTag(0);
  Peruser = NewItem(this, Protectwithpassword, "Per-user Settings");
  Peruser->SetTag(1);
  User1->OnClick = TNotifyEvent(this, &TLKMain::Protection);
  Peruser->OnClick = TNotifyEvent(this, &TLKMain::Protection);
  Removeprotection1 = NewItem(this, root, "Revert");
  Removeprotection1->OnClick = TNotifyEvent(this, &TLKMain::Removeprotection1Click);
  NewItem(this, root, "-");
  Copy3 = NewItem(this, root, "&Copy", 'C' | scCtrl);
  Paste1 = NewItem(this, root, "Paste", 'V' | scCtrl);
  SelectAll1 = NewItem(this, root, "Select All", 'A' | scCtrl);
  SelectAll1->OnClick = TNotifyEvent(this, &TLKMain::SelectAll1Click);
  NewItem(this, root, "-");
  Backup = NewItem(this, root, "Backup");
  Restore = NewItem(this, root, "Restore");
  NewItem(this, root, "-");
  Delete1 = NewItem(this, root, "Delete", 'D' | scCtrl);
  Execute1 = NewItem(this, root, "Execute");
  Execute1->SetDefault(true);
  Properties = NewItem(this, root, "Properties");
  PopupMenu1->OnPopup = TNotifyEvent(this, &TLKMain::PopupMenu1Popup);
  DesktopLista->SetPopupMenu(PopupMenu1);

  FolderMonitor = new TLkFolderMonitor(this);
  FolderMonitor->SetDelayTime(1000);
  FolderMonitor->SetMonitorSubtree(false);
  FolderMonitor->OnChange = TNotifyEvent(this, &TLKMain::FolderMonitorChange);
}

void TLKMain::FormCreate(TObject*) {
  // Each step runs even when an earlier one failed: the program password is
  // asked in every case, and the first failure is shown afterwards.
  auto step = [this](auto&& fn) {
    try {
      fn();
    } catch (...) {
      if (!StartupError) StartupError = std::current_exception();
    }
  };
  SetEnabled(false);
  Application->SetHintHidePause(5000);
  step([&] {
    if (!RunningOnNT()) DeleteLockWorkstationOption();
  });
  UserNames = new TStringList;
  UserDesktopFolders = new TStringList;
  CopyList = new TStringList;
  int count = 0;
  step([&] {
    count = RunningOnNT() ? EnumerateUsersNT(*UserNames, *UserDesktopFolders)
                          : EnumerateUsers9x(*UserNames, *UserDesktopFolders);
  });
  count = UserNames->Count();
  if (count != 0) {
    std::vector<std::string> names;
    for (int i = 0; i < UserNames->Count(); ++i) names.push_back(UserNames->Strings(i));
    Combo_Userlist->SetItems(names);
    if (RunningOnNT()) {
      const std::string me = CurrentUserName();
      for (int i = 0; i < UserNames->Count(); ++i)
        if (AnsiSameText(UserNames->Strings(i), me)) Combo_Userlist->SetItemIndex(i);
    } else {
      Combo_Userlist->SetItemIndex(0);
    }
    step([&] { LoadUserData(); });
  }
  step([&] {
    const int i = Combo_Userlist->ItemIndex();
    if (i >= 0 && i < UserDesktopFolders->Count()) FolderMonitor->SetFolderName(UserDesktopFolders->Strings(i));
    FolderMonitor->SetActive(true);
  });
  step([&] { LoadConfiguration(); });
  step([&] { RefreshDesktop(); });
  step([&] { LoadViewStyles(); });
  step([&] { LoadLogView(); });
  step([&] {
    if (LKPlash) {
      LKPlash->MainCall->SetInterval(1500);
      LKPlash->MainCall->SetEnabled(true);
      LKPlash->LkTimerList1->Start();
    }
  });
  ConfigChanged = false;
  UserSettingsChanged = false;
  if (CheckAuth && !Authenticate()) {
    HaltProgram();
    return;
  }
  SetEnabled(true);
  StartupDone = true;
  if (StartupError) {
    std::exception_ptr e = StartupError;
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& ex) {
      ApplicationEvents1Exception(this, ex);
    } catch (...) {
    }
  }
}

bool TLKMain::Authenticate() {
  std::string typed;
  if (!AskProgramPassword(this, typed)) return false;
  return typed == EditAuth;
}

void TLKMain::ApplicationEvents1Exception(TObject*, const std::exception& e) {
  const Exception* ours = dynamic_cast<const Exception*>(&e);
  const std::string message = ours ? ours->Message() : std::string(e.what());
  Application->MessageBox("Error Message: \"" + message + "\"\r\n", "Unexpected Error", MB_OK | MB_ICONERROR);
}

void TLKMain::FormClose(TObject*, TCloseAction&) { Application->Terminate(); }

void TLKMain::FormDestroy(TObject*) {
  SaveViewStyles();
  delete UserNames;
  delete UserDesktopFolders;
  delete CopyList;
  UserNames = UserDesktopFolders = CopyList = nullptr;
}

void TLKMain::ShowPage(int item) {
  DesktopPanel->SetVisible(item == 0);
  PanelDesktop->SetVisible(item == 0);
  SettingsPanel->SetVisible(item == 1);
  PanelConfig->SetVisible(item == 1);
  PasswordPanel->SetVisible(item == 2);
  PanelSettings->SetVisible(item == 2);
  LogPanel->SetVisible(item == 3);
  PanelLog->SetVisible(item == 3);
  static const int contexts[] = {4, 5, 6, 7};
  SetHelpContext(contexts[item]);
}

void TLKMain::OutBarraItemClick(TObject*) {
  const int item = OutBarra->SelectedItem();
  switch (item) {
    case 0: case 1: case 2: case 3:
      ShowPage(item);
      break;
    case 4:
      SetHelpContext(1);
      if (LKPlash && !LKPlash->Visible()) LKPlash->ShowModal();
      break;
    case 5:
      ExitCommand();
      break;
    default:
      break;
  }
}

void TLKMain::ExitCommand() {
  OutBarra->SetSelectedItem(0);
  const UINT flags = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;
  if (ConfigChanged) {
    if (Application->MessageBox("\"Configuration\" changes are not saved. Do you want to exit anyway?", "Warning!",
                                flags) == IDNO) {
      OutBarra->SetSelectedItem(1);
      OutBarraItemClick(OutBarra);
      return;
    }
  } else if (UserSettingsChanged) {
    if (Application->MessageBox("\"User settings\" changes are not saved. Do you want to exit anyway?", "Warning!",
                                flags) == IDNO) {
      OutBarra->SetSelectedItem(2);
      OutBarraItemClick(OutBarra);
      return;
    }
  }
  Application->Terminate();
}

void TLKMain::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  if (key == VK_F5) {
    if (DesktopPanel->Visible()) RefreshDesktop();
    if (LogPanel->Visible()) LogViewRefresh();
  }
  if ((shift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle)) == ssCtrl && (key == 'S' || key == 's') &&
      PasswordPanel->Visible())
    UpdateUserList();
}
