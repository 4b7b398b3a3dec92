// Colours, fonts, canvas, bitmaps, icons, pictures and image lists.
#include <gtest/gtest.h>

#include <functional>

#include "base/streams.h"
#include "base/win/comctl_load.h"
#include "base/win/lazy_dll.h"
#include "base/win/structsizes.h"
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

// A dropped handle is announced while it is still a live object, once, and
// only when there was one; a canvas that had it selected holds its old
// object again before the handle goes. (Wine defers deleting a selected
// object, where the 9x line refuses it, so the order is checked here.)
TEST(GdiObjects, AHandleIsReleasedFromTheCanvasBeforeItIsDeleted) {
  struct Kind {
    const char* name;
    UINT type;
    std::function<TGraphicsObject*(TCanvas*)> object;
    std::function<HGDIOBJ(TCanvas*)> handle;
    std::function<void(TCanvas*)> use;     // selects the object into the DC
    std::function<void(TCanvas*)> change;  // drops its handle
  };
  const Kind kinds[] = {
      {"font", OBJ_FONT, [](TCanvas* c) { return c->Font(); }, [](TCanvas* c) { return HGDIOBJ(c->Font()->Handle()); },
       [](TCanvas* c) { c->TextOut(0, 0, "x"); },
       [](TCanvas* c) { c->Font()->SetHeight(c->Font()->Height() - 3); }},
      {"pen", OBJ_PEN, [](TCanvas* c) { return c->Pen(); }, [](TCanvas* c) { return HGDIOBJ(c->Pen()->Handle()); },
       [](TCanvas* c) { c->LineTo(4, 4); }, [](TCanvas* c) { c->Pen()->SetWidth(c->Pen()->Width() + 1); }},
      {"brush", OBJ_BRUSH, [](TCanvas* c) { return c->Brush(); },
       [](TCanvas* c) { return HGDIOBJ(c->Brush()->Handle()); }, [](TCanvas* c) { c->Rectangle(0, 0, 3, 3); },
       [](TCanvas* c) { c->Brush()->SetColor(c->Brush()->Color() ^ 0x00FFFFFF); }},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.name);
    TBitmap b;
    b.SetSize(8, 8);
    TCanvas* c = b.Canvas();
    const HDC dc = c->Handle();
    const HGDIOBJ original = GetCurrentObject(dc, k.type);
    k.use(c);
    const HGDIOBJ used = k.handle(c);
    ASSERT_EQ(GetCurrentObject(dc, k.type), used);
    // The canvas's own hook, then one that looks at the DC after it.
    TGraphicsObject* object = k.object(c);
    const TNotifyEvent canvasHook = object->OnRelease;
    int released = 0;
    object->OnRelease = [&](TObject* sender) {
      canvasHook(sender);
      ++released;
      EXPECT_EQ(GetObjectType(used), k.type) << "still alive when announced";
      EXPECT_EQ(GetCurrentObject(dc, k.type), original) << "no longer selected when deleted";
    };
    k.change(c);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(GetObjectType(used), 0u) << "deleted";
    k.change(c);  // no handle to drop
    EXPECT_EQ(released, 1);
    k.use(c);
    EXPECT_EQ(GetCurrentObject(dc, k.type), k.handle(c)) << "the new one is used";
    object->OnRelease = canvasHook;
  }
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

// Without msimg32 (Windows 95, NT 4.0) the mask gives TransparentBlt's
// picture, at the bitmap's size and stretched.
TEST(Bitmap, TheMaskedDrawLeavesTheTransparentColourOutAsTransparentBltDoes) {
  TBitmap picture;
  picture.SetSize(4, 3);
  TCanvas* p = picture.Canvas();
  p->Brush()->SetColor(clFuchsia);
  p->FillRect(TRect(0, 0, 4, 3));
  p->SetPixel(1, 1, clBlue);
  p->SetPixel(2, 1, clLime);
  p->SetPixel(3, 0, clBlack);
  p->SetPixel(0, 2, clWhite);
  for (const TRect& r : {TRect(1, 1, 5, 4), TRect(2, 0, 10, 6)}) {
    TBitmap viaMsimg, viaMask;
    for (TBitmap* b : {&viaMsimg, &viaMask}) {
      b->SetSize(12, 8);
      b->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(200, 120, 40)));
      b->Canvas()->FillRect(TRect(0, 0, 12, 8));
    }
    ASSERT_TRUE(msimg::TransparentBlt(viaMsimg.Canvas()->Handle(), r.left, r.top, r.Width(), r.Height(),
                                      p->Handle(), 0, 0, 4, 3, RGB(255, 0, 255)));
    MaskedTransparentBlt(viaMask.Canvas()->Handle(), r, p->Handle(), 4, 3, RGB(255, 0, 255));
    int opaque = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 12; ++x) {
        const TColor got = viaMask.Canvas()->Pixel(x, y);
        EXPECT_EQ(got, viaMsimg.Canvas()->Pixel(x, y)) << "(" << x << "," << y << ") in " << r.Width() << " wide";
        opaque += got != static_cast<TColor>(RGB(200, 120, 40));
      }
    EXPECT_EQ(opaque, 4 * (r.Width() / 4) * (r.Height() / 3)) << "the four opaque pixels, scaled";
  }
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

// The structures that grew with newer systems go to the system with the
// size Windows 95 and NT 4.0 know (on 32 bits: 340, 44 and 40 bytes), and
// the system takes them.
TEST(OldestSystems, GrownStructuresTakeTheSizeEverySystemAccepts) {
  if (sizeof(void*) == 4) {
    EXPECT_EQ(kNonClientMetricsSize, 340u);
    EXPECT_EQ(kMenuItemInfoSize, 44u);
    EXPECT_EQ(kToolInfoSize, 40u);
  }
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0));
  EXPECT_NE(metrics.lfMenuFont.lfFaceName[0], '\0');

  HMENU menu = CreatePopupMenu();
  char text[] = "&Copy";
  MENUITEMINFOA item{};
  item.cbSize = kMenuItemInfoSize;
  item.fMask = MIIM_ID | MIIM_TYPE;  // the form every system knows
  item.fType = MFT_STRING;
  item.wID = 7;
  item.dwTypeData = text;
  EXPECT_TRUE(InsertMenuItemA(menu, 0, TRUE, &item));
  char back[16] = {};
  GetMenuStringA(menu, 7, back, sizeof back, MF_BYCOMMAND);
  EXPECT_STREQ(back, "&Copy");
  DestroyMenu(menu);

  LoadCommonControls();
  HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  HWND tips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owner && tips);
  char tip[] = "tip";
  TTTOOLINFOA tool{};
  tool.cbSize = kToolInfoSize;
  tool.hwnd = owner;
  tool.uId = 1;
  tool.rect = RECT{0, 0, 50, 50};
  tool.lpszText = tip;
  EXPECT_TRUE(SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
  DestroyWindow(tips);
  DestroyWindow(owner);
}

}  // namespace
