// The framed controls as the console's pages use them, for looking at
// (scripts/screenshot.sh): a flags tree with group heads and check boxes, a
// user list with grid lines and the hot-track underline, and a flat combo.
// Usage: framed_demo [milliseconds until it closes itself]
#include <windows.h>

#include <cstdlib>

#include "controls/win/checktree.h"
#include "controls/win/framedcombo.h"
#include "controls/win/framedlistview.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"
#include "forms/win/stdctrls.h"

namespace {

class TFramedDemo : public TForm {
 public:
  explicit TFramedDemo(TComponent* owner) : TForm(owner) {
    BeginLoading();
    SetCaption("Lockmere framed controls");
    SetClientSize(620, 300);
    SetPosition(TPosition::poScreenCenter);
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(biSystemMenu);
    Font()->SetName("Tahoma");

    auto* users = new TLkListView(this);
    users->SetParent(this);
    users->SetBounds(10, 10, 380, 180);
    users->SetViewStyle(TViewStyle::vsReport);
    users->SetBorderStyle(TListBorderStyle::bsSingle);
    users->SetRowSelect(true);
    users->SetReadOnly(true);
    users->SetGridLines(true);
    users->SetHideSelection(false);
    users->SetHotTrackStyles(htUnderlineHot);
    users->SetFillLastColumn(false);
    users->SetFrameVisible(true);
    users->SetFrameFlatStyle(TFrameStyle::fsFlat);
    users->SetFrameFocusStyle(TFrameStyle::fsFlat);
    users->AddColumn("Username", 130);
    users->AddColumn("Password", 120);
    users->AddColumn("Text", 220);
    users->AddRow("All Users", {"secret", "Dear <uname>,\xFFWelcome."}, -1);
    users->AddRow("root", {"", ""}, -1);
    users->AddRow("guest", {"guest", ""}, -1);

    auto* combo = new TLkComboBox(this);
    combo->SetParent(this);
    combo->SetBounds(10, 200, 200, 21);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetItems({"All Users", "root", "guest"});
    combo->SetFrameFlatStyle(TFrameStyle::fsGroove);
    combo->SetFrameFocusStyle(TFrameStyle::fsGroove);
    combo->SetFrameStyle(TFrameStyle::fsGroove);
    combo->SetFrameFlat(true);

    auto* flags = new TLkCheckTree(this);
    flags->SetParent(this);
    flags->SetBounds(400, 10, 210, 280);
    flags->SetCascadeChecks(false);
    flags->SetFrameVisible(true);
    flags->SetFrameFlatStyle(TFrameStyle::fsFlat);
    flags->SetFrameFocusStyle(TFrameStyle::fsFlat);
    flags->SetIndent(19);
    flags->SetHideSelection(false);
    const char* const groups[][5] = {
        {"General", "Use log", nullptr},
        {"Window type", "Message only", "Nothing (Stealth)", nullptr},
        {"On Exit", "Log Off", "Reboot", "Shutdown", "ScreenSaver"},
    };
    for (auto& g : groups) {
      TTreeNode* head = flags->Items()->AddChild(nullptr, g[0]);
      head->SetStateIndex(ckNoBox);
      for (int i = 1; i < 5 && g[i]; ++i) flags->Items()->AddChild(head, g[i]);  // unpainted: shown unchecked
    }
    flags->Items()->AddChild(flags->Items()->Item(5), "Lock Workstation");
    flags->FullExpand();
    flags->SetItemState(1, ckChecked);
    flags->SetItemState(3, ckChecked);
    flags->SetItemState(8, ckChecked);
    flags->SetItemState(9, ckPartial);
    flags->SetSelected(flags->Items()->Item(3));
    EndLoading();
  }
};

void CALLBACK CloseTimer(HWND, UINT, UINT_PTR, DWORD) { Application->Terminate(); }

}  // namespace

int main(int argc, char** argv) {
  Application->Initialize();
  Application->SetTitle("Framed controls demo");
  TFramedDemo* form = nullptr;
  Application->CreateForm(form);
  if (argc > 1) SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(argv[1])), CloseTimer);
  Application->Run();
  return 0;
}
