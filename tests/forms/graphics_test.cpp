// Colours, fonts, canvas, bitmaps, icons, pictures and image lists.
#include <gtest/gtest.h>

#include "base/streams.h"
#include "forms/win/graphics.h"

namespace {

TEST(Colours, SystemColoursAreLookedUpAndPlainOnesPassThrough) {
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clWindowText), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ColorToRGB(0x00123456), static_cast<COLORREF>(0x123456));
}

TEST(Font, ChangesFireOnceAndReachTheHandle) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject*) { ++changes; };
  f.SetName("Arial");
  f.SetName("Arial");  // unchanged: no event
  f.SetStyle(fsBold | fsItalic);
  EXPECT_EQ(changes, 2);
  LOGFONTA lf{};
  ASSERT_TRUE(GetObjectA(f.Handle(), sizeof lf, &lf));
  EXPECT_STREQ(lf.lfFaceName, "Arial");
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_TRUE(lf.lfItalic);
  TFont copy;
  copy.Assign(f);
  EXPECT_EQ(copy.Name(), "Arial");
  EXPECT_EQ(copy.Style(), fsBold | fsItalic);
  f.SetSize(8);
  EXPECT_EQ(f.Height(), -MulDiv(8, 96, 72));
  EXPECT_EQ(f.Size(), 8);
}

TEST(Bitmap, CanvasDrawsAndTheBmpImageRoundTrips) {
  TBitmap b;
  b.SetSize(5, 3);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clBlue);
  c->FillRect(TRect(0, 0, 5, 3));
  c->SetPixel(4, 2, clLime);
  EXPECT_EQ(c->Pixel(0, 0), static_cast<TColor>(RGB(0, 0, 255)));
  TMemoryStream m;
  b.SaveToStream(m);
  m.SetPosition(0);
  TBitmap back;
  back.LoadFromStream(m);
  EXPECT_EQ(back.Width(), 5);
  EXPECT_EQ(back.Height(), 3);
  EXPECT_EQ(back.Canvas()->Pixel(1, 1), static_cast<TColor>(RGB(0, 0, 255)));
  EXPECT_EQ(back.Canvas()->Pixel(4, 2), static_cast<TColor>(RGB(0, 255, 0)));

  // A copy is independent of its source.
  TBitmap copy;
  copy.Assign(b);
  b.Canvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(copy.Canvas()->Pixel(0, 0), static_cast<TColor>(RGB(0, 0, 255)));
}

TEST(Bitmap, BadImagesAreRefusedWithAClearError) {
  const std::string cases[] = {"", "BM", std::string(60, 'x'), "BM" + std::string(60, '\0')};
  for (const std::string& data : cases) {
    TMemoryStream m;
    m.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    m.SetPosition(0);
    TBitmap b;
    EXPECT_THROW(b.LoadFromStream(m), EInvalidGraphic) << data.size();
    EXPECT_TRUE(b.Empty());
  }
  // A sound header whose pixels are cut short.
  TBitmap big;
  big.SetSize(64, 64);
  TMemoryStream whole;
  big.SaveToStream(whole);
  TMemoryStream cut;
  cut.WriteBuffer(whole.Memory(), whole.Size() - 100);
  cut.SetPosition(0);
  TBitmap b;
  EXPECT_THROW(b.LoadFromStream(cut), EInvalidGraphic);
  TPicture p;
  EXPECT_THROW(p.LoadFromFile("picture.gif"), EInvalidGraphic);
}

TEST(Picture, HoldsEitherKindAndReportsChanges) {
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  EXPECT_TRUE(p.Empty());
  p.Bitmap()->SetSize(4, 4);
  EXPECT_EQ(p.Width(), 4);
  EXPECT_GE(changes, 2);  // the new graphic, then its size
  p.Icon()->SetHandle(CopyIcon(LoadIcon(nullptr, IDI_APPLICATION)));
  EXPECT_NE(dynamic_cast<TIcon*>(p.Graphic()), nullptr);
  EXPECT_GT(p.Width(), 0);
  TPicture copy;
  copy.Assign(p);
  EXPECT_FALSE(copy.Empty());
  EXPECT_NE(copy.Icon()->Handle(), p.Icon()->Handle());
}

TEST(ImageList, AddsMaskedImagesAndDrawsThemTransparent) {
  TImageList list(nullptr, 8, 8);
  TBitmap glyph;
  glyph.SetSize(8, 8);
  TCanvas* g = glyph.Canvas();
  g->Brush()->SetColor(clFuchsia);
  g->FillRect(TRect(0, 0, 8, 8));
  g->Brush()->SetColor(clRed);
  g->FillRect(TRect(2, 2, 6, 6));
  EXPECT_EQ(list.AddMasked(&glyph, clFuchsia), 0);
  EXPECT_EQ(list.AddMasked(&glyph, clFuchsia), 1);
  EXPECT_EQ(list.Count(), 2);
  TBitmap target;
  target.SetSize(8, 8);
  TCanvas* t = target.Canvas();
  t->Brush()->SetColor(clWhite);
  t->FillRect(TRect(0, 0, 8, 8));
  list.Draw(t, 0, 0, 1);
  EXPECT_EQ(t->Pixel(3, 3), static_cast<TColor>(RGB(255, 0, 0)));
  EXPECT_EQ(t->Pixel(0, 0), static_cast<TColor>(RGB(255, 255, 255)));  // the mask colour is not drawn
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.Draw(t, 0, 0, 5);  // out of range: nothing, no failure
}

}  // namespace
