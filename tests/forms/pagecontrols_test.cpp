// The forms layer's parts that the console's Configuration and Log View
// pages stand on: the virtual list view, the group box and check boxes with
// captions on several lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/win/comctl_listview.h"
#include "forms/win/comctl_toolbar.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/stdctrls.h"
#include "tests/forms/ui_test_util.h"

namespace {

class PageControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 300);
  }
  void TearDown() override { TCustomForm::Free(form); }
  TForm* form = nullptr;
};

std::string CellText(HWND list, int row, int column, bool wide) {
  if (wide) {
    wchar_t buffer[64] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    char out[128] = {};
    WideCharToMultiByte(CP_ACP, 0, buffer, -1, out, sizeof out, nullptr, nullptr);
    return out;
  }
  char buffer[64] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 64;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return buffer;
}

TEST_F(PageControlsTest, AVirtualListAsksItsOwnerForEachCellItShows) {
  auto* list = new TListView(form);
  list->SetParent(form);
  list->SetViewStyle(TViewStyle::vsReport);
  list->AddColumn("A", 80);
  list->AddColumn("B", 80);
  list->SetOwnerData(true);
  int asked = 0;
  list->OnOwnerData = [&](TObject*, int index, int column, std::string& text) {
    ++asked;
    text = "r" + std::to_string(index) + "c" + std::to_string(column);
  };
  list->SetOwnerDataCount(100000);
  HWND h = list->Handle();
  EXPECT_EQ(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0), 100000);
  EXPECT_EQ(list->Count(), 0);  // no rows held by the control
  for (bool wide : {false, true}) {
    EXPECT_EQ(CellText(h, 0, 0, wide), "r0c0");
    EXPECT_EQ(CellText(h, 99999, 1, wide), "r99999c1");
  }
  EXPECT_GT(asked, 0);
  // A text longer than the control's buffer is cut, never overrun.
  list->OnOwnerData = [](TObject*, int, int, std::string& text) { text = std::string(500, 'x'); };
  EXPECT_EQ(CellText(h, 3, 0, false), std::string(63, 'x'));
  // Fewer rows: the rows past the end are not asked for.
  list->SetOwnerDataCount(2);
  EXPECT_EQ(SendMessageA(h, LVM_GETITEMCOUNT, 0, 0), 2);
  // The count survives a new window.
  list->SetMultiSelect(true);
  EXPECT_EQ(SendMessageA(list->Handle(), LVM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(PageControlsTest, PressingAGroupedButtonReleasesTheOthersBeforeTheBarExists) {
  auto* bar = new TToolBar(form);
  bar->SetParent(form);
  std::vector<TToolButton*> b;
  for (int i = 0; i < 4; ++i) {
    b.push_back(new TToolButton(form));
    b[i]->SetStyle(i == 2 ? TToolButtonStyle::tbsButton : TToolButtonStyle::tbsCheck);
    b[i]->SetGrouped(i != 3);
    bar->AddButton(b[i]);
  }
  b[3]->SetDown(true);  // a check button of no group stays as it is
  b[0]->SetDown(true);
  b[1]->SetDown(true);
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[1]->Down());
  EXPECT_TRUE(b[3]->Down());
  bar->Handle();  // the window shows what was set
  EXPECT_FALSE(b[0]->Down());
  EXPECT_TRUE(b[1]->Down());
}

TEST_F(PageControlsTest, AGroupBoxFramesItsChildrenBelowItsCaption) {
  auto* box = new TGroupBox(form);
  box->SetParent(form);
  box->SetBounds(10, 10, 200, 100);
  box->SetCaption(" Skins ");
  auto* inner = new TPanel(form);
  inner->SetParent(box);
  inner->SetAlign(TAlign::alClient);
  form->Handle();
  // The aligned child keeps clear of the caption and of the frame.
  EXPECT_GE(inner->Top(), 10);
  EXPECT_GE(inner->Left(), 2);
  EXPECT_LE(inner->Left() + inner->Width(), 198);
  // The etched frame runs through the caption's middle: its left edge shows,
  // and where the caption is the line is broken by the text's background.
  inner->SetVisible(false);
  WindowPixels px(box);
  const COLORREF face = ColorToRGB(box->Color());
  int frame = 0;
  for (int y = 20; y < 90; ++y) frame += px.At(0, y) != face;
  EXPECT_GT(frame, 60);
  EXPECT_NE(px.At(4, 6), face);   // the frame's top edge left of the caption
  EXPECT_NE(px.At(150, 6), face);  // and right of it
  int ink = 0;
  for (int y = 0; y < 14; ++y)
    for (int x = 8; x < 50; ++x) ink += px.At(x, y) != face;
  EXPECT_GT(ink, 20);  // the caption's letters
}

TEST_F(PageControlsTest, ACheckBoxCaptionBreaksIntoLines) {
  auto* check = new TCheckBox(form);
  check->SetParent(form);
  check->SetBounds(10, 10, 150, 45);
  check->SetCaption("Use selected icon\r\ninstead of original one\r\nin protected shortcuts.");
  EXPECT_FALSE(GetWindowLongA(check->Handle(), GWL_STYLE) & BS_MULTILINE);
  check->SetChecked(true);
  check->SetWordWrap(true);
  EXPECT_TRUE(GetWindowLongA(check->Handle(), GWL_STYLE) & BS_MULTILINE);
  // The new window keeps the state and the caption.
  EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  char text[128] = {};
  GetWindowTextA(check->Handle(), text, sizeof text);
  EXPECT_EQ(std::string(text), check->Caption());
}

// The Configuration page's marker and the caption buttons draw with these
// (Debian's fonts-wine): without them a letter shows instead of a symbol.
TEST(SymbolFonts, AreThereUnderTheirNames) {
  for (const char* face : {"Webdings", "Marlett", "Tahoma"}) {
    TFont font;
    font.SetName(face);
    if (std::string(face) != "Tahoma") font.SetCharset(SYMBOL_CHARSET);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    char got[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof got, got);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_STREQ(got, face);
  }
}

TEST(SymbolFonts, GlyphsAreToldFromBoxes) {
  TFont font;
  font.SetName("Marlett");
  font.SetCharset(SYMBOL_CHARSET);
  EXPECT_TRUE(FontHasGlyphs(font, "r"));  // the close box's cross
  font.SetName("Tahoma");
  font.SetCharset(DEFAULT_CHARSET);
  EXPECT_TRUE(FontHasGlyphs(font, "Lockmere"));
  EXPECT_FALSE(FontHasGlyphs(font, std::string(1, '\x01')));
}

// Before Windows 2000 the font's own character map answers: the same as the
// system's glyph indices, for symbol and text fonts, TrueType or not.
TEST(SymbolFonts, TheCharacterMapAnswersAsTheGlyphIndicesDo) {
  const struct {
    const char* face;
    BYTE charset;
    std::string text;
  } cases[] = {
      {"Marlett", SYMBOL_CHARSET, "r"},
      {"Marlett", SYMBOL_CHARSET, "rst01"},
      {"Marlett", SYMBOL_CHARSET, "\xFE"},
      {"Webdings", SYMBOL_CHARSET, "r"},
      {"Wingdings", SYMBOL_CHARSET, "J"},
      {"Tahoma", DEFAULT_CHARSET, "Lockmere"},
      {"Tahoma", DEFAULT_CHARSET, "caf\xE9 \x80"},
      {"Tahoma", DEFAULT_CHARSET, std::string(1, '\x01')},
      {"Tahoma", DEFAULT_CHARSET, "ok\x7F"},
      {"Courier New", DEFAULT_CHARSET, "Lockmere"},
      {"System", DEFAULT_CHARSET, "Lockmere"},
      {"MS Sans Serif", DEFAULT_CHARSET, "Lockmere"},
  };
  int differ = 0;
  for (const auto& c : cases) {
    TFont font;
    font.SetName(c.face);
    font.SetCharset(c.charset);
    const bool indices = FontHasGlyphs(font, c.text), map = FontHasGlyphsByMap(font, c.text);
    EXPECT_EQ(map, indices) << c.face << " \"" << c.text << "\"";
    differ += map != indices;
  }
  EXPECT_EQ(differ, 0);
  TFont marlett;
  marlett.SetName("Marlett");
  marlett.SetCharset(SYMBOL_CHARSET);
  EXPECT_TRUE(FontHasGlyphsByMap(marlett, "r"));  // the close box's cross, found by the map too
}

}  // namespace
