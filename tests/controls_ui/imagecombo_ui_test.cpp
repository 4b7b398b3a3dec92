// The image combo box on a real owner-drawn COMBOBOX under Wine: entries
// from an image list, automatic captions, the selected image as a bitmap,
// and what an entry looks like when the system asks for it to be drawn.
#include <gtest/gtest.h>

#include "controls/win/imagecombo.h"
#include "forms/win/forms.h"
#include "tests/forms/ui_test_util.h"

namespace {

constexpr COLORREF kImageColours[5] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 200), RGB(200, 200, 0),
                                       RGB(0, 200, 200)};

// Images of the list's size: a square of one colour on a white
// (transparent) ground, 6 pixels in from each edge.
void FillImages(TImageList& list, int count = 5) {
  const int w = list.Width(), h = list.Height();
  for (int i = 0; i < count; ++i) {
    TBitmap b;
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(TRect(0, 0, w, h));
    b.Canvas()->Brush()->SetColor(static_cast<TColor>(kImageColours[i]));
    b.Canvas()->FillRect(TRect(6, 6, w - 6, h - 6));
    list.AddMasked(&b, clWhite);
  }
}

std::vector<std::string> Captions(int n) {
  std::vector<std::string> v;
  for (int i = 0; i < n; ++i) v.push_back(" " + std::to_string(i));
  return v;
}

class ImageComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(300, 200);
    images = new TImageList(form, 32, 32);
    FillImages(*images);
    combo = new TImageComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 120, 40);
  }
  void TearDown() override { TCustomForm::Free(form); }

  // Draws entry `index` as the system would ask for it, into a fresh
  // 120 x 34 bitmap filled with magenta, and returns the pixels' DC holder.
  struct Drawn {
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    ~Drawn() {
      SelectObject(dc, old);
      DeleteObject(bmp);
      DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  };
  std::unique_ptr<Drawn> DrawEntry(int index, UINT state) {
    HDC screen = GetDC(nullptr);
    auto d = std::make_unique<Drawn>();
    d->dc = CreateCompatibleDC(screen);
    d->bmp = CreateCompatibleBitmap(screen, 120, 34);
    ReleaseDC(nullptr, screen);
    d->old = SelectObject(d->dc, d->bmp);
    RECT all{0, 0, 120, 34};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(d->dc, &all, magenta);
    DeleteObject(magenta);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(combo->Handle()));
    dis.itemID = static_cast<UINT>(index);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = combo->Handle();
    dis.hDC = d->dc;
    dis.rcItem = RECT{0, 0, 120, 34};
    SendMessageA(form->Handle(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    return d;
  }

  TForm* form = nullptr;
  TImageList* images = nullptr;
  TImageComboBox* combo = nullptr;
  RecordingSeam seam;
};

TEST_F(ImageComboTest, AnImageListGivesAutomaticCaptionsAndTheItemHeight) {
  EXPECT_TRUE(combo->AutoCaptions());
  EXPECT_TRUE(combo->ShowCaptions());
  combo->SetImages(images);
  EXPECT_EQ(combo->Items(), Captions(5));
  EXPECT_EQ(combo->ItemHeight(), 34);
  // The control was made with that height: the list's entries and the field.
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 0, 0), 34);
  EXPECT_GE(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), 34);
  RECT r;
  GetWindowRect(combo->Handle(), &r);
  EXPECT_GE(r.bottom - r.top, 34 + 4);  // the closed control shows a whole image
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 5);
}

TEST_F(ImageComboTest, EntriesAlreadyThereStayAndExtraOnesAreKept) {
  combo->SetItems({"first", "second"});
  combo->SetImages(images);
  EXPECT_EQ(combo->Items(), (std::vector<std::string>{"first", "second", " 2", " 3", " 4"}));
  TImageList three(nullptr, 16, 16);
  FillImages(three, 3);
  combo->SetImages(&three);
  EXPECT_EQ(combo->Items().size(), 5u);
  EXPECT_EQ(combo->ItemHeight(), 18);
  // No list with automatic captions on: no entries.
  combo->SetImages(nullptr);
  EXPECT_TRUE(combo->Items().empty());
}

TEST_F(ImageComboTest, SwitchingAutomaticCaptionsOnAsksBeforeReplacingEntries) {
  const struct {
    const char* name;
    std::vector<std::string> before;
    int answer;
    bool asked;
    std::vector<std::string> after;
    bool autoAfter;
  } cases[] = {
      {"No keeps", {"a", "b"}, IDNO, true, {"a", "b"}, false},
      {"Yes replaces", {"a", "b"}, IDYES, true, Captions(5), true},
      {"empty: no question", {}, IDNO, false, Captions(5), true},
  };
  for (const auto& c : cases) {
    combo->SetAutoCaptions(false);
    combo->SetImages(images);
    combo->SetItems(c.before);
    seam.boxes.clear();
    seam.box_answer = c.answer;
    combo->SetAutoCaptions(true);
    ASSERT_EQ(seam.boxes.size(), c.asked ? 1u : 0u) << c.name;
    if (c.asked) {
      EXPECT_EQ(seam.boxes[0].text, "Clear existing items?");
      EXPECT_EQ(seam.boxes[0].flags & (MB_ICONMASK | MB_TYPEMASK), UINT(MB_ICONINFORMATION | MB_YESNO));
    }
    EXPECT_EQ(combo->Items(), c.after) << c.name;
    EXPECT_EQ(combo->AutoCaptions(), c.autoAfter) << c.name;
  }
}

TEST_F(ImageComboTest, ItemBitmapIsANewCopyOfTheSelectedImage) {
  EXPECT_EQ(combo->ItemBitmap(), nullptr);  // no list
  combo->SetImages(images);
  EXPECT_EQ(combo->ItemBitmap(), nullptr);  // no selection
  combo->SetItemIndex(3);
  auto first = combo->ItemBitmap();
  auto second = combo->ItemBitmap();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(first->Width(), 32);
  EXPECT_EQ(ColorToRGB(first->Canvas()->Pixel(16, 16)), kImageColours[3]);
  // An entry past the images has no bitmap.
  combo->SetAutoCaptions(false);
  combo->AddItem("extra");
  combo->SetItemIndex(5);
  EXPECT_EQ(combo->ItemBitmap(), nullptr);
}

TEST_F(ImageComboTest, AnEntryShowsItsImageThenItsCaption) {
  combo->SetImages(images);
  combo->Font()->SetColor(clBlack);
  auto d = DrawEntry(2, ODS_COMBOBOXEDIT);
  const COLORREF ground = ColorToRGB(clWindow);
  // The image at 4 pixels from the left, at the top; its white left out.
  EXPECT_EQ(d->At(4 + 16, 16), kImageColours[2]);
  EXPECT_EQ(d->At(4 + 2, 2), ground);
  EXPECT_EQ(d->At(3, 16), ground);
  // The caption right of the image (width + 4): the digit's pixels there.
  int ink = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 36; x < 60; ++x) ink += d->At(x, y) != ground;
  EXPECT_GT(ink, 10);
  // Without captions the same place stays plain.
  combo->SetShowCaptions(false);
  d = DrawEntry(2, ODS_COMBOBOXEDIT);
  for (int y = 0; y < 34; ++y)
    for (int x = 37; x < 120; ++x) ASSERT_EQ(d->At(x, y), ground) << x << "," << y;
}

TEST_F(ImageComboTest, SelectedColoursAndTheFocusRectangle) {
  combo->SetImages(images);
  auto d = DrawEntry(1, ODS_SELECTED | ODS_FOCUS);
  const COLORREF highlight = ColorToRGB(clHighlight);
  EXPECT_EQ(d->At(100, 20), highlight);
  EXPECT_EQ(d->At(4 + 16, 16), kImageColours[1]);
  // The focus rectangle: a dotted frame along the edge, inside the highlight.
  int dots = 0;
  for (int x = 0; x < 120; ++x) dots += d->At(x, 0) != highlight;
  EXPECT_GT(dots, 20);
  auto plain = DrawEntry(1, ODS_SELECTED);
  for (int x = 40; x < 120; ++x) EXPECT_EQ(plain->At(x, 0), highlight) << x;
}

TEST_F(ImageComboTest, NoSelectionAndStrayIndicesDrawAnEmptyItem) {
  combo->SetImages(images);
  const COLORREF ground = ColorToRGB(clWindow);
  for (int index : {-1, 7}) {
    auto d = DrawEntry(index, ODS_COMBOBOXEDIT);
    for (int y = 0; y < 34; y += 3)
      for (int x = 0; x < 120; x += 3) ASSERT_EQ(d->At(x, y), ground) << index << ": " << x << "," << y;
  }
}

TEST_F(ImageComboTest, TheRealControlAsksUsToDrawItsField) {
  combo->SetImages(images);
  combo->SetItemIndex(4);
  form->Show();
  std::vector<std::pair<int, TOwnerDrawState>> asked;
  combo->OnDrawItem = [&](TWinControl*, int index, const TRect&, TOwnerDrawState state) {
    asked.emplace_back(index, state);
  };
  RedrawWindow(combo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back().first, 4);
  EXPECT_TRUE(asked.back().second & odComboBoxEdit);
  // The variable style measures each entry through MeasureItem.
  int measured = 0;
  combo->OnMeasureItem = [&](TWinControl*, int, int& height) {
    ++measured;
    height = 40;
  };
  combo->AddItem("tall");
  EXPECT_GT(measured, 0);
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 5, 0), 40);
}

TEST_F(ImageComboTest, AFreedImageListIsForgotten) {
  auto* list = new TImageList(nullptr, 32, 32);
  FillImages(*list);
  combo->SetImages(list);
  combo->SetItemIndex(0);
  delete list;
  EXPECT_EQ(combo->Images(), nullptr);
  EXPECT_EQ(combo->ItemBitmap(), nullptr);
  auto d = DrawEntry(0, ODS_COMBOBOXEDIT);  // only the caption now
  EXPECT_EQ(d->At(20, 16), ColorToRGB(clWindow));
}

}  // namespace
