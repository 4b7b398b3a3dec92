#include "console/win/splash.h"

#include "console/win/lkmainform.h"
#include "forms/win/application.h"

TLKPlash* LKPlash = nullptr;

TLKPlash::TLKPlash(TComponent* owner) : TForm(owner) {
  LKPlash = this;
  BeginLoading();
  SetName("LKPlash");
  SetCaption("Lockmere");
  SetBorderStyle(TFormBorderStyle::bsNone);
  SetBorderIcons(0);
  SetFormStyle(TFormStyle::fsStayOnTop);
  SetPosition(TPosition::poDesktopCenter);
  SetHelpContext(1);
  SetClientSize(330, 220);

  Image1 = new TImage(this);
  Image1->SetParent(this);
  Image1->SetBounds(0, 0, 330, 220);
  Image1->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "SPLASHBMP");

  Label1 = new TLabel(this);
  Label1->SetParent(this);
  Label1->SetBounds(4, 200, 89, 15);
  Label1->SetAlignment(TAlignment::taCenter);
  Label1->SetCaption("version 1.01");
  Label1->Font()->SetName("Arial");
  Label1->Font()->SetHeight(-12);
  Label1->Font()->SetColor(clSilver);
  Label1->SetTransparent(true);

  auto* bullet = new TLabel(this);
  bullet->SetParent(this);
  bullet->SetBounds(114, 152, 12, 15);
  bullet->SetCaption("\xA5");
  bullet->Font()->SetName("Wingdings");
  bullet->Font()->SetColor(clWhite);
  bullet->SetTransparent(true);

  // A link label: its own hand cursor, and white (the font colour it takes
  // as its unvisited colour).
  helpFile = new TLkUrlLabel(this);
  helpFile->SetParent(this);
  helpFile->SetBounds(128, 152, 60, 15);
  helpFile->SetCaption("Help file");
  helpFile->SetHint("See the help");
  helpFile->SetShowHint(true);
  helpFile->Font()->SetName("Verdana");
  helpFile->Font()->SetColor(clWhite);
  helpFile->SetTransparent(true);
  helpFile->OnClick = TNotifyEvent(this, &TLKPlash::helpFileClick);

  LkTimerList1 = new TLkTimerList(this);
  MainCall = new TLkTimerEvent(LkTimerList1);
  MainCall->SetCycled(false);
  MainCall->SetRepeatCount(1);
  MainCall->SetInterval(100);
  MainCall->SetOnTimer(TNotifyEvent(this, &TLKPlash::MainCallTimer));
  MainCall->SetTimerList(LkTimerList1);
  EndLoading();
  LkTimerList1->SetActive(true);
}

TLKPlash::~TLKPlash() {
  if (LKPlash == this) LKPlash = nullptr;
}

void TLKPlash::MainCallTimer(TObject*) {
  if (!LKMain) {
    TLKMain* form = nullptr;
    Application->CreateForm(form);
    form->Show();
    return;
  }
  Hide();
  LkTimerList1->SetActive(false);
  SetFormStyle(TFormStyle::fsNormal);
  Image1->OnClick = TNotifyEvent(this, &TLKPlash::Image1Click);
  about_ = true;
}

void TLKPlash::Image1Click(TObject*) {
  if (!LKMain) return;
  if (LKMain->OutBarra->SelectedItem() == 4) SetModalResult(mrOk);
  Hide();
}

void TLKPlash::helpFileClick(TObject*) { Application->HelpContext(1); }
