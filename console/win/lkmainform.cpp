#include "console/win/lkmainform.h"

#include <algorithm>

#include "base/locale.h"
#include "console/core/pictureindex.h"
#include "console/win/authprompt.h"
#include "console/win/configpage.h"
#include "console/win/desktoppage.h"
#include "console/win/logviewpage.h"
#include "console/win/splash.h"
#include "console/win/usersettingspage.h"
#include "controls/win/menupainter.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"
#include "shared/win/users.h"

TLKMain* LKMain = nullptr;

namespace {
THaltHook g_halt = nullptr;

// The console's own pictures, drawn at build time: one strip of cells on
// fuchsia per list (the shell's icon library holds other pictures on every
// system).
void LoadPictures(TImageList* list, const char* strip) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), strip);
  list->AddMasked(&bitmap, clFuchsia);
}

// The side bar's items after the pages.
constexpr int kAboutItem = 4;
constexpr int kExitItem = 5;
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
  OnCloseQuery = TCloseQueryEvent(this, &TLKMain::FormCloseQuery);
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
  LoadPictures(IconosMain, "LKMAINPICS");
  IconosMenus = new TImageList(this, 16, 16);
  LoadPictures(IconosMenus, "LKMENUPICS");
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
  const std::pair<const char*, int> items[] = {{"Shorcut View", mpShortcuts}, {"Configuration", mpConfiguration},
                                               {"User Settings", mpUserSettings}, {"View Log", mpLog},
                                               {"About...", mpAbout},            {"Exit", mpExit}};
  for (auto [caption, image] : items) {
    TLkSideItemData& item = menu.Items.emplace_back();
    item.Caption = caption;
    item.ImageIndex = image;
  }
  OutBarra->ReadList({menu});
  OutBarra->SetSelectedButton(0);
  OutBarra->SetSelectedItem(0);
  OutBarra->OnItemClick = TNotifyEvent(this, &TLKMain::OutBarraItemClick);

  Status = new TStatusBar(this);
  Status->SetName("Status");
  Status->SetParent(this);
  Status->AddPanel(100);

  DesktopPage = new TDesktopPage(this);
  ConfigPage = new TConfigPage(this);
  UserSettingsPage = new TUserSettingsPage(this);
  LogViewPage = new TLogViewPage(this);
  Pages = {DesktopPage, ConfigPage, UserSettingsPage, LogViewPage};
  DesktopPage->ShowPage(true);

  // Active once every menu exists: it hooks the menus there are.
  MenuPainter1 = new TLkMenuPainter(this);
  MenuPainter1->SetName("MenuPainter1");
  MenuPainter1->Font()->SetName("Tahoma");
  MenuPainter1->SetIconWidth(24);
  MenuPainter1->SetActive(true);
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
  // The password settings come first: no other step's failure may skip the prompt.
  step([&] { ReadPasswordSettings(); });
  Application->SetHintHidePause(5000);
  step([&] { EnumerateUsers(); });
  // Each page's step; the Configuration's (overlay colour) before the
  // Desktop's first scan.
  for (TConsolePage* page : {static_cast<TConsolePage*>(UserSettingsPage), static_cast<TConsolePage*>(ConfigPage),
                             static_cast<TConsolePage*>(DesktopPage), static_cast<TConsolePage*>(LogViewPage)})
    step([&] { page->StartUp(); });
  step([&] {
    if (LKPlash) {
      LKPlash->MainCall->SetInterval(1500);
      LKPlash->MainCall->SetEnabled(true);
      LKPlash->LkTimerList1->Start();
    }
  });
  // Loading the pages fires their change handlers.
  State.ConfigChanged = false;
  State.UserSettingsChanged = false;
  if (State.PasswordRequired && !Authenticate()) {
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

void TLKMain::ReadPasswordSettings() {
  State.PasswordRequired = ReadSetting(LKData::doAuthenticate);
  // Stored in the decrypting direction: read back by encrypting.
  Cipher->SetDecoded(ReadSetting(LKData::Authenticate));
  State.ProgramPassword = Cipher->Encoded();
}

void TLKMain::EnumerateUsers() {
  if (RunningOnNT())
    EnumerateUsersNT(State.UserNames, State.UserDesktopFolders);
  else
    EnumerateUsers9x(State.UserNames, State.UserDesktopFolders);
}

bool TLKMain::Authenticate() {
  std::string typed;
  if (!AskProgramPassword(this, typed)) return false;
  return typed == State.ProgramPassword;
}

void TLKMain::ApplicationEvents1Exception(TObject*, const std::exception& e) {
  const Exception* ours = dynamic_cast<const Exception*>(&e);
  const std::string message = ours ? ours->Message() : std::string(e.what());
  Application->MessageBox("Error Message: \"" + message + "\"\r\n", "Unexpected Error", MB_OK | MB_ICONERROR);
}

// The close box drops unsaved changes no more than Exit does.
void TLKMain::FormCloseQuery(TObject*, bool& canClose) {
  canClose = MayLeave();
}

void TLKMain::FormClose(TObject*, TCloseAction&) { Application->Terminate(); }

void TLKMain::FormDestroy(TObject*) {
  for (TConsolePage* page : Pages) page->Closing();
}

TConsolePage* TLKMain::ShownPage() const {
  for (TConsolePage* page : Pages)
    if (page->PageShown()) return page;
  return nullptr;
}

void TLKMain::ShowPage(int item) {
  for (int i = 0; i < static_cast<int>(Pages.size()); ++i) Pages[i]->ShowPage(i == item);
  SetHelpContext(Pages[item]->HelpContext());
}

void TLKMain::OutBarraItemClick(TObject*) {
  const int item = OutBarra->SelectedItem();
  if (item >= 0 && item < static_cast<int>(Pages.size())) {
    ShowPage(item);
  } else if (item == kAboutItem) {
    SetHelpContext(1);
    if (LKPlash && !LKPlash->Visible()) {
      LKPlash->ShowModal();
      // Closed: the bar names the page shown again, not "About...".
      if (TConsolePage* shown = ShownPage()) {
        OutBarra->SetSelectedItem(static_cast<int>(std::find(Pages.begin(), Pages.end(), shown) - Pages.begin()));
        SetHelpContext(shown->HelpContext());
      }
    }
  } else if (item == kExitItem) {
    ExitCommand();
  }
}

void TLKMain::ExitCommand() {
  OutBarra->SetSelectedItem(0);
  if (MayLeave()) Application->Terminate();
}

bool TLKMain::MayLeave() {
  // Every page with unsaved changes is asked in turn; No shows that page.
  for (int i = 0; i < static_cast<int>(Pages.size()); ++i) {
    if (!Pages[i]->AskUnsavedChanges()) {
      OutBarra->SetSelectedItem(i);
      OutBarraItemClick(OutBarra);
      return false;
    }
  }
  return true;
}

void TLKMain::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  TConsolePage* page = ShownPage();
  if (!page) return;
  if (key == VK_F5) page->RefreshKey();
  if ((shift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle)) == ssCtrl && (key == 'S' || key == 's'))
    page->SaveKey();
}
