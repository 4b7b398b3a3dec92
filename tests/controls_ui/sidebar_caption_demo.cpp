// A side bar and caption panels as the console uses them, for looking at
// (scripts/screenshot.sh): three groups, captions with "&", a caption panel
// with its close-style button, flat and raised.
// Usage: sidebar_caption_demo [milliseconds until it closes itself]
//                             [later|earlier: a slow group change after a second]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "controls/win/captionpanel.h"
#include "controls/win/sidebar.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"

namespace {

class TSideBarDemo : public TForm {
 public:
  explicit TSideBarDemo(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetCaption("Lockmere side bar and caption panel");
    SetClientSize(520, 446);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(biSystemMenu);

    Bar = new TLkSideBar(this);
    Bar->SetParent(this);
    Bar->SetAlign(TAlign::alLeft);
    Bar->SetWidth(115);
    Bar->Font()->SetName("Verdana");
    Bar->ItemHightlightFont()->SetName("Verdana");
    Bar->SelectedFont()->SetName("Verdana");
    Bar->SelectedFont()->SetStyle(fsBold);
    Bar->ButtonFont()->SetName("Tahoma");
    Bar->SetFrameStyle(TLkSideFrameStyle::fsRowButton);
    Bar->SetSpacing(15);
    Bar->SetTopSpacing(0);
    Bar->SetItemHightlightColor(clNone);
    const int menu = Bar->AddGroup("Menu Bar");
    for (const char* caption : {"Shorcut View", "Configuration", "User Settings", "View Log"})
      Bar->AddItem(menu, caption, -1);
    const int tools = Bar->AddGroup("&Tools");
    Bar->AddItem(tools, "Save && Close", -1);
    Bar->AddItem(tools, "&Refresh", -1);
    Bar->AddItem(Bar->AddGroup("Help"), "About...", -1);
    Bar->SetSelectedItem(0);

    auto* page = new TLkCaptionPanel(this);
    page->SetParent(this);
    page->SetBounds(120, 0, 395, 200);
    page->SetCaption("Desktop &Shortcuts");

    auto* raised = new TLkCaptionPanel(this);
    raised->SetParent(this);
    raised->SetBounds(120, 210, 395, 120);
    raised->SetCaption("Log && View");
    raised->SetAlignment(TAlignment::taLeftJustify);
    raised->SetButtonFlat(false);

    auto* plain = new TLkCaptionPanel(this);
    plain->SetParent(this);
    plain->SetBounds(120, 340, 395, 100);
    plain->SetCaption("User Settings");
    plain->SetButtonVisible(false);
    EndLoading();
  }
  TLkSideBar* Bar;
};

TSideBarDemo* Demo = nullptr;
int SlideTo = -1;

void CALLBACK CloseTimer(HWND, UINT, UINT_PTR, DWORD) { Application->Terminate(); }

// Slow enough that a screenshot taken a few seconds in catches the bar mid-way.
void CALLBACK SlideTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Demo->Bar->SetScrollDelay(120);
  Demo->Bar->SetSelectedButton(SlideTo);
}

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Side bar demo");
  Application->CreateForm(Demo);
  const std::string slide = argc > 2 ? argv[2] : "";
  if (slide == "earlier") Demo->Bar->SetSelectedButton(2);
  if (slide == "later" || slide == "earlier") {
    SlideTo = slide == "later" ? 2 : 0;
    SetTimer(nullptr, 0, 1000, SlideTimer);
  }
  if (argc > 1 && std::atoi(argv[1]) > 0) SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(argv[1])), CloseTimer);
  Application->Run();
  return 0;
}
