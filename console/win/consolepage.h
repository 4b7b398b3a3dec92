// A page of the console's main window: a captioned panel with the page's
// controls and a panel with its tool bar below, both made by the page. The
// main window knows its pages only through this small face: its start-up
// and closing steps, F5, Ctrl+S, the Exit question and its help context.
#pragma once

#include <string>

#include "console/core/consolestate.h"
#include "controls/win/captionpanel.h"
#include "forms/win/comctl_toolbar.h"
#include "forms/win/extctrls.h"

class TLKMain;

// The hourglass for a long command; the default cursor comes back however
// the command ends.
class THourglass {
 public:
  THourglass();
  ~THourglass();
  THourglass(const THourglass&) = delete;
  THourglass& operator=(const THourglass&) = delete;
};

// The names and texts of a page's two panels.
struct TConsolePageFace {
  const char* PanelName;      // "DesktopPanel"
  const char* Caption;        // "Desktop Shortcuts"
  const char* ToolPanelName;  // "PanelDesktop"
  const char* ToolBarName;    // "ToolBar1"
  int HelpContext;
  // The name the Exit question gives the page's unsaved changes
  // ("Configuration"); none for a page that has nothing to save.
  const char* UnsavedName = nullptr;
};

class TConsolePage : public TComponent {
 public:
  TConsolePage(TLKMain* form, const TConsolePageFace& face);

  TLKMain* Form() const { return form_; }
  TConsoleState& State() const;

  TLkCaptionPanel* Panel;
  TPanel* ToolPanel;
  TToolBar* ToolBar;

  // Its step of the main window's creation.
  virtual void StartUp() {}
  // Its step when the main window goes (settings kept for the next start).
  virtual void Closing() {}
  // F5 and Ctrl+S while the page is shown.
  virtual void RefreshKey() {}
  virtual void SaveKey() {}
  // Whether the page holds changes that Exit would drop.
  virtual bool HasUnsavedChanges() const { return false; }
  // Asks whether to drop them: true to go on with Exit.
  bool AskUnsavedChanges();
  int HelpContext() const { return face_.HelpContext; }
  void ShowPage(bool on);
  bool PageShown() const;

 protected:
  TToolButton* NewButton(const std::string& name, const std::string& hint, int image,
                         TToolButtonStyle style = TToolButtonStyle::tbsButton);
  void NewSeparator();
  void SetStatusText(const std::string& text);

 private:
  TLKMain* form_;
  TConsolePageFace face_;
};
