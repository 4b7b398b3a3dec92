// TImageComboBox: a drop-down list whose entries show the images of an
// image list, each optionally followed by its caption. The console's
// Configuration page picks the gate icon of protected links with one.
//
// Automatic captions are a blank and the entry's index (" 0", " 1", ...).
// The image list is not owned; when it is freed the control forgets it.
#pragma once

#include <memory>
#include <string>

#include "forms/win/comctl_combobox.h"
#include "forms/win/graphics.h"

class TImageComboBox : public TCustomComboBox {
 public:
  explicit TImageComboBox(TComponent* owner);

  TImageList* Images() const { return images_; }
  // With a list: entries as tall as its images plus 2, and with automatic
  // captions one entry per image appended to those already there. Without
  // one (and automatic captions on) no entries.
  void SetImages(TImageList* images);
  bool ShowCaptions() const { return show_captions_; }
  void SetShowCaptions(bool on);
  bool AutoCaptions() const { return auto_captions_; }
  // Switching on with an image list replaces the entries by one automatic
  // caption per image; existing entries are replaced only when the user
  // agrees ("Clear existing items?"), otherwise the switch stays off.
  void SetAutoCaptions(bool on);
  // The selected entry's image in a new bitmap owned by the caller; null
  // with no selection, no image list, or an entry beyond the images.
  std::unique_ptr<TBitmap> ItemBitmap();

  static std::string AutoCaption(int index) { return " " + std::to_string(index); }

 protected:
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void FillAutoCaptions(bool replace);
  TImageList* images_ = nullptr;
  bool show_captions_ = true;
  bool auto_captions_ = true;
};
