// The splash window: the application's main form. Its timer list hands over
// to the main window after 100 ms, hides the splash 1500 ms later, and from
// then on the splash is the About box.
#pragma once

#include "controls/win/lkurl.h"
#include "controls/win/timerlist.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/stdctrls.h"

class TLKPlash : public TForm {
 public:
  explicit TLKPlash(TComponent* owner);
  ~TLKPlash() override;

  TImage* Image1;
  TLabel* Label1;
  TLkUrlLabel* helpFile;
  TLkTimerList* LkTimerList1;
  TLkTimerEvent* MainCall;

  void MainCallTimer(TObject* sender);
  void Image1Click(TObject* sender);
  void helpFileClick(TObject* sender);
  // True once the second tick made the splash the About box.
  bool IsAboutBox() const { return about_; }

 private:
  bool about_ = false;
};

extern TLKPlash* LKPlash;
