// A program whose forms are freed by the application at exit, after every
// function-local static of the layer has gone: menus, popup menus and a
// running timer included. It writes a line to the file named by its first
// argument when the form is destroyed; the test checks that line and that
// the process ended cleanly.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "forms/win/application.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"
#include "forms/win/timer.h"

namespace {

// Plain storage: it must outlive every static destructor.
char g_marker[MAX_PATH];

class TExitForm : public TForm {
 public:
  explicit TExitForm(TComponent* owner) : TForm(owner) {
    auto* menu = new TMainMenu(this);
    for (int i = 0; i < 20; ++i) {
      auto* top = new TMenuItem(menu);
      top->SetCaption("Menu " + std::to_string(i));
      menu->Items()->Add(top);
      for (int j = 0; j < 10; ++j) {
        auto* sub = new TMenuItem(menu);
        sub->SetCaption("Item " + std::to_string(j));
        top->Add(sub);
      }
    }
    SetMenu(menu);
    auto* popup = new TPopupMenu(this);
    auto* entry = new TMenuItem(popup);
    entry->SetCaption("Entry");
    popup->Items()->Add(entry);
    auto* label = new TLabel(this);
    label->SetParent(this);
    label->SetPopupMenu(popup);
    auto* timer = new TTimer(this);
    timer->SetInterval(10000);
    timer->SetOnTimer([](TObject*) {});
    OnDestroy = [](TObject*) {
      if (FILE* f = std::fopen(g_marker, "w")) {
        std::fputs("form destroyed\n", f);
        std::fclose(f);
      }
    };
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strlen(argv[1]) >= sizeof g_marker) return 2;
  std::strcpy(g_marker, argv[1]);
  Application->Initialize();
  TExitForm* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  Application->ProcessMessages();
  return 0;  // the application frees the form during exit
}
