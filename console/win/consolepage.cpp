#include "console/win/consolepage.h"

#include "console/win/lkmainform.h"
#include "forms/win/application.h"

THourglass::THourglass() { Screen->SetCursor(crHourGlass); }
THourglass::~THourglass() { Screen->SetCursor(crDefault); }

TConsolePage::TConsolePage(TLKMain* form, const TConsolePageFace& face) : TComponent(form), form_(form), face_(face) {
  // Built while its form is: what the page owns is set up first and loads
  // with the form (the recent-folder list reads its key only once its root
  // key, name and subkey are all set).
  if (form->Loading()) BeginLoading();
  SetName(std::string(face.PanelName) + "Page");
  Panel = new TLkCaptionPanel(this);
  Panel->SetName(face.PanelName);
  Panel->SetParent(form);
  Panel->SetBounds(120, 0, 513, 410);
  Panel->SetCaption(face.Caption);
  Panel->SetButtonVisible(false);
  Panel->SetVisible(false);

  ToolPanel = new TPanel(this);
  ToolPanel->SetName(face.ToolPanelName);
  ToolPanel->SetParent(form);
  ToolPanel->SetBounds(120, 414, 513, 32);
  ToolPanel->SetCaption("");
  ToolPanel->SetVisible(false);

  ToolBar = new TToolBar(this);
  ToolBar->SetName(face.ToolBarName);
  ToolBar->SetParent(ToolPanel);
  ToolBar->SetAlign(TAlign::alClient);
  ToolBar->SetFlat(true);
  ToolBar->SetImages(form->IconosMenus);
  ToolBar->SetButtonSize(39, 28);
  ToolBar->SetShowHint(true);  // the buttons' hints show as tips
}

TConsoleState& TConsolePage::State() const { return form_->State; }

void TConsolePage::ShowPage(bool on) {
  Panel->SetVisible(on);
  ToolPanel->SetVisible(on);
}

bool TConsolePage::PageShown() const { return Panel->Visible(); }

bool TConsolePage::AskUnsavedChanges() {
  if (!face_.UnsavedName || !HasUnsavedChanges()) return true;
  const std::string text =
      std::string("\"") + face_.UnsavedName + "\" changes are not saved. Do you want to exit anyway?";
  return Application->MessageBox(text, "Warning!", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

TToolButton* TConsolePage::NewButton(const std::string& name, const std::string& hint, int image,
                                     TToolButtonStyle style) {
  auto* b = new TToolButton(this);
  b->SetName(name);
  b->SetHint(hint);
  b->SetImageIndex(image);
  b->SetStyle(style);
  ToolBar->AddButton(b);
  return b;
}

void TConsolePage::NewSeparator() {
  auto* b = new TToolButton(this);
  b->SetStyle(TToolButtonStyle::tbsSeparator);
  ToolBar->AddButton(b);
}

void TConsolePage::SetStatusText(const std::string& text) { form_->SetStatusText(text); }
