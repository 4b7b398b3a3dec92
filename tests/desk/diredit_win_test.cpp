// The directory edit on real windows under Wine: its button's place and
// glyph, the shell's folder chooser opened by the button and by Alt+Down and
// answered from a timer, the events around it, dropped names and pastes.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <string>

#include "controls/win/diredit.h"
#include "controls/win/filecopy.h"
#include "forms/win/timer.h"
#include "base/locale.h"
#include "tests/forms/ui_test_util.h"

namespace {

// Handles messages, as the program's loop does, until `done` or `ms` passed.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= ms) return false;
    Application->ProcessMessages();
    Sleep(5);
  }
  return true;
}

BOOL CALLBACK FindDialog(HWND w, LPARAM lp) {
  char cls[32];
  GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}

HWND ChooserWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Answers the chooser once it is up: selects `folder` (when given) and
// presses OK, or presses Cancel. Counts the choosers it saw.
struct ChooserAnswer {
  TTimer timer{nullptr};
  int seen = 0;
  std::string select;
  bool ok = true;
  ChooserAnswer() {
    timer.SetInterval(100);
    timer.SetOnTimer([this](TObject*) {
      HWND dlg = ChooserWindow();
      if (!dlg) return;
      ++seen;
      if (ok && !select.empty()) SendMessageA(dlg, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(select.c_str()));
      PostMessageA(dlg, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
    });
  }
};

class DirEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 100);
    edit = new TDirectoryEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 152, 22);
    form->Show();
    edit->HandleNeeded();
    CreateDirectoryA(folderA.c_str(), nullptr);
    CreateDirectoryA(folderB.c_str(), nullptr);
  }
  void TearDown() override { TCustomForm::Free(form); }

  // Presses the button through its holder's mouse messages.
  void PressButton() {
    HWND holder = edit->ButtonContainer()->Handle();
    PostMessageA(holder, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageA(holder, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PumpFor(100);
  }

  TForm* form = nullptr;
  TDirectoryEdit* edit = nullptr;
  // Folders kept between runs: the shell lists the parent while it selects.
  const std::string folderA = "C:\\lkdesk-dirA";
  const std::string folderB = "C:\\lkdesk-dirB";
};

TEST_F(DirEditTest, ButtonSitsAtTheRightWithTheDefaultGlyph) {
  // "FEDITBMP": 15 x 14, one image; 15 + 6 keeps the width 21.
  ASSERT_FALSE(edit->Glyph()->Empty());
  EXPECT_EQ(edit->Glyph()->Width(), 15);
  EXPECT_EQ(edit->Glyph()->Height(), 14);
  EXPECT_EQ(edit->GlyphKind(), TGlyphKind::gkDefault);
  EXPECT_EQ(edit->ButtonWidth(), 21);
  edit->SetButtonWidth(22);
  RECT client;
  GetClientRect(edit->Handle(), &client);
  const TRect holder = edit->ButtonContainer()->BoundsRect();
  EXPECT_EQ(holder, TRect(client.right - 22, 0, client.right, client.bottom));
  EXPECT_EQ(edit->Button()->Width(), 22);
  EXPECT_EQ(edit->Button()->Height(), client.bottom);
  // The text stays clear of the button.
  RECT text;
  SendMessageA(edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  EXPECT_LE(text.right, client.right - 22);
  // A width of 1 hides the button; a width as wide as the edit is refused.
  edit->SetButtonWidth(1);
  EXPECT_FALSE(edit->ButtonContainer()->Visible());
  edit->SetButtonWidth(500);
  EXPECT_EQ(edit->ButtonWidth(), 1);
  // The height never goes below what the font needs.
  edit->SetHeight(4);
  EXPECT_EQ(edit->Height(), edit->MinimumHeight());
}

TEST_F(DirEditTest, TheButtonOpensTheChooserAndTheChoiceBecomesTheText) {
  edit->SetText("Browse");
  std::vector<std::string> before, after;
  edit->OnBeforeDialog = [&](TObject*, std::string& name, bool&) { before.push_back(name); };
  edit->OnAfterDialog = [&](TObject*, std::string& name, bool& action) {
    after.push_back(name + (action ? " ok" : " cancelled"));
  };
  ChooserAnswer answer;
  answer.select = folderA;
  PressButton();
  EXPECT_EQ(answer.seen, 1);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(before[0], "Browse");
  EXPECT_TRUE(AnsiSameText(after[0], folderA + " ok")) << after[0];
  EXPECT_TRUE(AnsiSameText(edit->Text(), folderA)) << edit->Text();
  EXPECT_TRUE(AnsiSameText(edit->InitialDir(), folderA));

  // Cancelled: the event still comes, the text stays.
  answer.ok = false;
  PressButton();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[1].substr(after[1].size() - 9), "cancelled");
  EXPECT_TRUE(AnsiSameText(edit->Text(), folderA));
}

TEST_F(DirEditTest, AltDownOpensTheChooser) {
  int afterDialogs = 0;
  edit->OnAfterDialog = [&](TObject*, std::string&, bool&) { ++afterDialogs; };
  ChooserAnswer answer;
  answer.ok = false;
  edit->SetFocus();
  // The Alt bit of the key message says the key came with Alt.
  PostMessageA(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
  PumpUntil([&] { return afterDialogs > 0; }, 5000);
  EXPECT_EQ(answer.seen, 1);
  EXPECT_EQ(afterDialogs, 1);
  // With no button the key does nothing.
  edit->SetButtonWidth(0);
  PostMessageA(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
  PumpFor(500);
  EXPECT_EQ(afterDialogs, 1);
}

TEST_F(DirEditTest, EventsMayStopOrChangeTheChoice) {
  ChooserAnswer answer;
  answer.select = folderA;
  edit->SetText(folderB);
  // Stopped before: no chooser, no after event, text unchanged.
  int afters = 0;
  edit->OnBeforeDialog = [](TObject*, std::string&, bool& action) { action = false; };
  edit->OnAfterDialog = [&](TObject*, std::string&, bool&) { ++afters; };
  PressButton();
  EXPECT_EQ(answer.seen, 0);
  EXPECT_EQ(afters, 0);
  EXPECT_EQ(edit->Text(), folderB);
  // The after event changes what is written, or refuses it.
  edit->OnBeforeDialog = nullptr;
  edit->OnAfterDialog = [](TObject*, std::string& name, bool&) { name = "C:\\chosen-by-handler"; };
  PressButton();
  EXPECT_EQ(edit->Text(), "C:\\chosen-by-handler");
  EXPECT_TRUE(AnsiSameText(edit->InitialDir(), "")) << "not an existing folder: InitialDir stays";
  edit->SetText(folderB);
  edit->OnAfterDialog = [](TObject*, std::string&, bool& action) { action = false; };
  PressButton();
  EXPECT_EQ(edit->Text(), folderB);
  // Read-only: the button and the key do nothing.
  int clicks = 0;
  edit->OnAfterDialog = nullptr;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  edit->SetReadOnly(true);
  const int seen = answer.seen;
  PressButton();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(answer.seen, seen);
}

TEST_F(DirEditTest, MultipleFoldersAddTheChoiceAtTheEnd) {
  edit->SetMultipleDirs(true);
  edit->SetText(folderA);
  edit->SetFocus();
  edit->SetSelStart(static_cast<int>(folderA.size()));
  ChooserAnswer answer;
  answer.select = folderB;
  edit->OnAfterDialog = [](TObject*, std::string& name, bool&) { name = "C:\\lkdesk-dirB"; };
  PressButton();
  EXPECT_EQ(edit->Text(), folderA + ";" + folderB);
  EXPECT_EQ(edit->LongName(), folderA + ";" + folderB);
}

// A shell drop of `names`, as WM_DROPFILES carries it.
HDROP MakeDrop(const std::vector<std::string>& names) {
  std::string list;
  for (const auto& n : names) list += n + '\0';
  list += '\0';
  HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.data(), list.size());
  GlobalUnlock(h);
  return static_cast<HDROP>(h);
}

TEST_F(DirEditTest, DroppedNamesAreTakenWhole) {
  const std::string scratch = "C:\\lkdesk-drop";
  CreateDirectoryA(scratch.c_str(), nullptr);
  // A name longer than 255 characters (a drop may carry one).
  std::string deep = "\\\\server\\share";
  while (deep.size() < 300) deep += "\\a-rather-long-folder-name-0123456789";
  const std::string file = scratch + "\\notes.txt";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  edit->SetAcceptFiles(true);
  int drops = 0;
  edit->OnDropFiles = [&](TObject*) { ++drops; };

  edit->DropFiles(MakeDrop({deep}));
  EXPECT_EQ(edit->Text(), deep);
  // A file gives its folder; without MultipleDirs only the first name counts.
  edit->DropFiles(MakeDrop({file, deep}));
  EXPECT_EQ(edit->Text(), scratch + "\\");
  // Three folders in drop order.
  edit->SetMultipleDirs(true);
  edit->SetText("");
  edit->DropFiles(MakeDrop({folderA, folderB, deep}));
  EXPECT_EQ(edit->Text(), folderA + ";" + folderB + ";" + deep);
  EXPECT_EQ(drops, 3);
  // Through the window's message.
  edit->SetText("");
  SendMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({folderB})), 0);
  EXPECT_EQ(edit->Text(), folderB);
}

TEST_F(DirEditTest, PastedLineBreaksAndTypedReturnsStayOut) {
  const std::string text = "C:\\one\r\ntwo\r\n";
  ASSERT_TRUE(OpenClipboard(edit->Handle()));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
  GlobalUnlock(h);
  SetClipboardData(CF_TEXT, h);
  CloseClipboard();
  edit->SetText("");
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "C:\\onetwo");
  SendMessageA(edit->Handle(), WM_CHAR, '\r', 1);
  EXPECT_EQ(edit->Text(), "C:\\onetwo");
  EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETLINECOUNT, 0, 0), 1);
  // Without DirectInput nothing is pasted.
  edit->SetDirectInput(false);
  edit->SetText("");
  SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(DirEditTest, GlyphKinds) {
  edit->SetGlyphKind(TGlyphKind::gkEllipsis);
  EXPECT_EQ(edit->Glyph()->Width(), edit->ButtonWidth() - 6);
  EXPECT_EQ(edit->Glyph()->Height(), 4);
  edit->SetGlyphKind(TGlyphKind::gkDropDown);
  EXPECT_EQ(edit->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_FALSE(edit->ButtonWidthStored());
  edit->SetGlyphKind(TGlyphKind::gkCustom);
  edit->SetButtonWidth(22);
  EXPECT_TRUE(edit->ButtonWidthStored());
  edit->SetNumGlyphs(3);
  EXPECT_EQ(edit->NumGlyphs(), 3);
  edit->SetGlyphKind(TGlyphKind::gkDefault);
  EXPECT_EQ(edit->NumGlyphs(), 1);
}

}  // namespace
