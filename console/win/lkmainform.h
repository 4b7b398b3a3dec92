// The console's main window: the side bar that switches the pages, the
// status bar, the keyboard commands, the Exit questions and the start-up
// sequence. The pages are units of their own (consolepage.h); the window
// keeps a table of them and the state they share.
#pragma once

#include <array>
#include <exception>
#include <string>

#include "console/core/consolestate.h"
#include "controls/win/sidebar.h"
#include "forms/win/comctl_statusbar.h"
#include "forms/win/forms.h"
#include "shared/core/vigenere.h"

class TConsolePage;
class TDesktopPage;
class TConfigPage;
class TUserSettingsPage;
class TLogViewPage;
class TLkMenuPainter;

class TLKMain : public TForm {
 public:
  explicit TLKMain(TComponent* owner);
  ~TLKMain() override;

  // Components of the window.
  TLkSideBar* OutBarra;
  TStatusBar* Status;
  TImageList* IconosMain;
  TImageList* IconosMenus;
  TLkVigenereCipher* Cipher;  // the program password's stored form
  TLkMenuPainter* MenuPainter1;  // every menu of the window, the pages' included

  // What the pages share.
  TConsoleState State;

  // The pages, in the side bar's order.
  TDesktopPage* DesktopPage;
  TConfigPage* ConfigPage;
  TUserSettingsPage* UserSettingsPage;
  TLogViewPage* LogViewPage;
  std::array<TConsolePage*, 4> Pages{};

  // Handlers.
  void FormCreate(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormDestroy(TObject* sender);
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void OutBarraItemClick(TObject* sender);
  void ApplicationEvents1Exception(TObject* sender, const std::exception& e);

  // The program password prompt; true when the typed text matches.
  bool Authenticate();
  std::string StatusText() const { return Status->PanelText(0); }
  void SetStatusText(const std::string& text) { Status->SetPanelText(0, text); }
  // The page shown now.
  TConsolePage* ShownPage() const;

  // The first start-up step that failed (shown once the password was given).
  std::exception_ptr StartupError;
  // True once FormCreate ran to its end with the password accepted.
  bool StartupDone = false;

 private:
  void BuildForm();
  void ReadPasswordSettings();
  void EnumerateUsers();
  void ShowPage(int item);
  void ExitCommand();
  // The Exit questions, page by page; false (a "No") shows that page.
  bool MayLeave();
};

// The main window once created (null before).
extern TLKMain* LKMain;

// The bare main-form swap and the halt of a failed authentication; a test
// replaces the halt.
using THaltHook = void (*)();
void SetHaltHook(THaltHook hook);
void HaltProgram();
