#include "controls/win/imagecombo.h"

#include "forms/win/application.h"

TImageComboBox::TImageComboBox(TComponent* owner) : TCustomComboBox(owner) {
  SetStyle(TComboBoxStyle::csOwnerDrawVariable);
}

void TImageComboBox::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_) {
    images_->FreeNotification(this);
    SetItemHeight(images_->Height() + 2);
    if (auto_captions_) FillAutoCaptions(false);
  } else if (auto_captions_) {
    ClearItems();
  }
  Invalidate();
}

void TImageComboBox::SetShowCaptions(bool on) {
  if (show_captions_ == on) return;
  show_captions_ = on;
  Invalidate();
}

void TImageComboBox::SetAutoCaptions(bool on) {
  auto_captions_ = on;
  if (!on || !images_) return;
  if (!Items().empty() &&
      Application->MessageBox("Clear existing items?", "Information", MB_YESNO | MB_ICONINFORMATION) != IDYES) {
    auto_captions_ = false;
    return;
  }
  FillAutoCaptions(true);
}

void TImageComboBox::FillAutoCaptions(bool replace) {
  if (replace) {
    std::vector<std::string> captions;
    for (int i = 0; i < images_->Count(); ++i) captions.push_back(AutoCaption(i));
    SetItems(captions);
    return;
  }
  for (int i = static_cast<int>(Items().size()); i < images_->Count(); ++i) AddItem(AutoCaption(i));
}

std::unique_ptr<TBitmap> TImageComboBox::ItemBitmap() {
  const int index = ItemIndex();
  if (index < 0 || !images_ || index >= images_->Count()) return nullptr;
  auto bitmap = std::make_unique<TBitmap>();
  if (!images_->GetBitmap(index, bitmap.get())) return nullptr;
  return bitmap;
}

void TImageComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TCanvas* canvas = Canvas();
  canvas->FillRect(rect);
  // No selection (-1) or a stray index: the empty item.
  if (index < 0 || index >= static_cast<int>(Items().size())) return;
  const std::string& caption = Items()[static_cast<std::size_t>(index)];
  if (!images_) {
    if (show_captions_) canvas->TextOut(rect.left + 2, rect.top, caption);
    return;
  }
  if (index < images_->Count()) {
    // The image on the entry's own background: its transparent colour
    // (the bottom-left pixel) is left out.
    TBitmap image;
    images_->GetBitmap(index, &image);
    image.SetTransparent(true);
    canvas->StretchDraw(Bounds(rect.left + 4, rect.top, images_->Width(), images_->Height()), &image);
  }
  if (show_captions_) canvas->TextOut(rect.left + images_->Width() + 4, rect.top, caption);
}

void TImageComboBox::Notification(TComponent* component, TOperation operation) {
  TCustomComboBox::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) {
    images_ = nullptr;
    Invalidate();
  }
}
