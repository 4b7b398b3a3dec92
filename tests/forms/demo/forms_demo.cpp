// A small form built with the forms layer and the labels and buttons of the
// interface components, for looking at (scripts/screenshot.sh).
// Usage: forms_demo [milliseconds until it closes itself]
#include <windows.h>

#include <cstdlib>

#include "controls/win/lkctrls.h"
#include "controls/win/lkurl.h"
#include "forms/win/application.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"

namespace {

class TDemoForm : public TForm {
 public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetCaption("Lockmere forms demo");
    SetClientSize(480, 330);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(biSystemMenu);
    Font()->SetName("Tahoma");

    auto* top = new TPanel(this);
    top->SetParent(this);
    top->SetAlign(TAlign::alTop);
    top->SetHeight(48);
    top->SetColor(clNavy);
    top->SetBevelOuter(TBevelCut::bvNone);
    auto* title = new TLkLabel(top);
    title->SetParent(top);
    title->SetTransparent(true);
    title->Font()->SetName("Arial");
    title->Font()->SetHeight(-26);
    title->Font()->SetStyle(fsBold);
    title->Font()->SetColor(clWhite);
    title->SetCaption("Lockmere");
    title->SetShadowStyle(TShadowStyle::ssShadow);
    title->SetShadowColor(clBlack);
    title->SetBounds(12, 8, 200, 34);

    auto* status = new TPanel(this);
    status->SetParent(this);
    status->SetAlign(TAlign::alBottom);
    status->SetHeight(22);
    status->SetBevelOuter(TBevelCut::bvLowered);
    status->SetAlignment(TAlignment::taLeftJustify);
    status->SetCaption(" Ready.");

    auto* side = new TPanel(this);
    side->SetParent(this);
    side->SetAlign(TAlign::alLeft);
    side->SetWidth(110);
    const TLkButtonKind kinds[] = {pbkOk, pbkCancelGer, pbkHelpFr, pbkYes, pbkNext};
    for (int i = 0; i < 5; ++i) {
      auto* b = new TLkButton(this);
      b->SetParent(side);
      b->SetBounds(12, 12 + i * 32, 86, 25);
      b->SetKind(kinds[i]);
    }
    auto* angled = new TLkLabel(side);
    angled->SetParent(side);
    angled->SetTransparent(true);
    angled->Font()->SetName("Arial");
    angled->Font()->SetHeight(-14);
    angled->SetCaption("angled 30");
    angled->SetAngle(30);
    angled->SetBounds(10, 180, 95, 60);

    auto* body = new TPanel(this);
    body->SetParent(this);
    body->SetAlign(TAlign::alClient);
    body->SetBevelOuter(TBevelCut::bvNone);
    body->SetColor(clWindow);
    auto* group = new TPanel(body);
    group->SetParent(body);
    group->SetAlign(TAlign::alTop);
    group->SetHeight(120);
    group->SetBorderWidth(6);
    group->SetBevelInner(TBevelCut::bvLowered);

    auto* prompt = new TLabel(this);
    prompt->SetParent(group);
    prompt->SetTransparent(true);
    prompt->SetCaption("&Password:");
    prompt->SetBounds(20, 22, 80, 16);
    auto* edit = new TEdit(this);
    edit->SetParent(group);
    edit->SetBounds(100, 18, 150, 21);
    edit->SetPasswordChar('*');
    edit->SetText("secret");
    prompt->SetFocusControl(edit);
    auto* check = new TCheckBox(this);
    check->SetParent(group);
    check->SetBounds(100, 50, 200, 18);
    check->SetCaption("Remember the folder");
    check->SetChecked(true);
    auto* raised = new TLkLabel(this);
    raised->SetParent(group);
    raised->SetTransparent(true);
    raised->Font()->SetHeight(-16);
    raised->Font()->SetStyle(fsBold);
    raised->SetCaption("Raised text");
    raised->SetShadowStyle(TShadowStyle::ssRaisedColor);
    raised->SetBounds(20, 78, 200, 24);

    auto* shape = new TShape(this);
    shape->SetParent(body);
    shape->SetShape(TShapeType::stRoundRect);
    shape->Brush()->SetColor(clAqua);
    shape->SetBounds(20, 135, 60, 40);
    auto* bevel = new TBevel(this);
    bevel->SetParent(body);
    bevel->SetShape(TBevelShape::bsFrame);
    bevel->SetBounds(95, 130, 250, 50);
    auto* link = new TLkUrlLabel(this);
    link->SetParent(body);
    link->SetTransparent(true);
    link->SetCaption("www.velmora.example");
    link->SetBounds(110, 147, 200, 16);
    auto* memo = new TMemo(this);
    memo->SetParent(body);
    memo->SetBounds(20, 190, 330, 60);
    memo->SetLines({"Dear <uname>,", "Please enter the password."});

    auto* menu = new TPopupMenu(this);
    for (const char* c : {"Refresh", "-", "About..."}) {
      auto* item = new TMenuItem(this);
      item->SetCaption(c);
      menu->Items()->Add(item);
    }
    body->SetPopupMenu(menu);
    EndLoading();
  }
};

void CALLBACK CloseTimer(HWND, UINT, UINT_PTR, DWORD) { Application->Terminate(); }

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Forms demo");
  TDemoForm* form = nullptr;
  Application->CreateForm(form);
  if (argc > 1) SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(argv[1])), CloseTimer);
  Application->Run();
  return 0;
}
