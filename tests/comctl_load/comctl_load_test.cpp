// comctl32 is loaded by the first common control or image list and not
// before: a form of standard controls leaves it unmapped. Each case runs in a
// process of its own, so each sees the library as the program starts.
#include <gtest/gtest.h>

#include <windows.h>

#include "forms/win/application.h"
#include "forms/win/comctl_listview.h"
#include "forms/win/comctl_statusbar.h"
#include "forms/win/comctl_toolbar.h"
#include "forms/win/forms.h"
#include "forms/win/graphics.h"
#include "forms/win/stdctrls.h"
#include "shared/win/shellops.h"

namespace {

bool ComCtlLoaded() { return GetModuleHandleA("comctl32.dll") != nullptr; }

std::string ClassOf(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

class ComCtlLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ComCtlLoaded()) << "comctl32 is mapped at start-up";
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(300, 200);
    auto* button = new TButton(form);
    button->SetParent(form);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    form->HandleNeeded();
  }
  void TearDown() override { TCustomForm::Free(form); }
  TForm* form = nullptr;
};

TEST_F(ComCtlLoadTest, StandardControlsLeaveItUnloaded) { EXPECT_FALSE(ComCtlLoaded()); }

// Each common control works with nothing registered at start-up. (Wine's
// user32 loads comctl32 by itself when one of its classes is asked for;
// Windows does not, hence the load in each control's CreateParams.)
TEST_F(ComCtlLoadTest, EachCommonControlLoadsItFirst) {
  struct Case {
    const char* native_class;
    TWinControl* (*make)(TForm*);
  };
  const Case cases[] = {
      {"SysListView32", [](TForm* f) -> TWinControl* { return new TListView(f); }},
      {"msctls_statusbar32", [](TForm* f) -> TWinControl* { return new TStatusBar(f); }},
      {"ToolbarWindow32", [](TForm* f) -> TWinControl* { return new TToolBar(f); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.native_class);
    TWinControl* control = c.make(form);
    control->SetParent(form);
    HWND h = control->Handle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ClassOf(h), std::string("Lk.") + c.native_class);
    EXPECT_TRUE(ComCtlLoaded());
  }
}

TEST_F(ComCtlLoadTest, AnImageListLoadsItAndWorks) {
  TImageList list(nullptr, 16, 16);
  EXPECT_FALSE(ComCtlLoaded()) << "an empty image list needs no library";
  TBitmap bitmap;
  bitmap.SetSize(32, 16);  // two images
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(TRect(0, 0, 32, 16));
  EXPECT_EQ(list.AddMasked(&bitmap, clWhite), 0);
  EXPECT_TRUE(ComCtlLoaded());
  EXPECT_EQ(list.Count(), 2);
  TIcon icon;
  ASSERT_TRUE(list.GetIcon(1, &icon));
  EXPECT_FALSE(icon.Empty());
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
}

// The merge composes the pixels itself: no image list, no library.
TEST_F(ComCtlLoadTest, TheOverlayMergeNeedsNoLibraryAndReplacesTheIcon) {
  HICON icon = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
  HICON overlay = LoadIconA(nullptr, IDI_WARNING);
  HICON before = icon;
  ASSERT_TRUE(MergeOverlayIcon(icon, overlay, true));
  EXPECT_FALSE(ComCtlLoaded());
  EXPECT_NE(icon, before);
  DestroyIcon(icon);
}

}  // namespace
