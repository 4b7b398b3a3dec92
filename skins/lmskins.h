// TLMSkin: a skin definition ("skin.xml" in a skin's folder) read into
// typed values for the gate window, with the error texts of what is missing
// or malformed, and written back out as a document.
//
// Texts leave the document in the system's ANSI code page (xml/xmlobject.h):
// picture names exactly (a character the page cannot hold is a conversion
// error), the other texts with "?" for such a character.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "xml/xmlobject.h"

using TColor = int32_t;  // red + green * 256 + blue * 65536

struct TSkinArea {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TSkinArea&) const = default;
};

// Where SaveSkin writes: "c:\".
const std::string& GetSkinSaveFolder();

class TLMSkin : public TXMLObject {
 public:
  // An empty skeleton document, cleared values and an empty error list.
  TLMSkin();
  ~TLMSkin() override;

  // Every value to its cleared value; no error list.
  void Clear();
  // Clear, then parse and read the file. False with no error list when the
  // document does not parse (ParseErrorText tells why); false with the
  // texts in Errors when parts are missing or malformed, the values read so
  // far kept. A file that cannot be opened raises EFOpenError; a missing or
  // non-numeric coordinate raises EConvertError.
  bool LoadSkin(const std::string& path);
  // Reads the parsed document into the values; the error texts go to Errors.
  bool ReadDocument();
  // The document made anew from the values.
  void BuildDocument();
  // BuildDocument, then the file GetSkinSaveFolder() + Name + ".xml"; a
  // blank name writes nothing, a name that is no plain name inside that
  // folder raises EConvertError.
  void SaveSkin();

  // "#RRGGBB", digits of either case; anything else raises EConvertError
  // "Invalid color format".
  static TColor CodeToColor(const std::string& code);
  // "#RRGGBB" in upper-case digits.
  static std::string ColorToCode(TColor color);

  // The error texts of the last read in the order found; null when the
  // document did not parse.
  const std::vector<std::string>* Errors() const { return errors_ ? &*errors_ : nullptr; }
  // For a document that did not parse: "Error parsing XML. " with the
  // parser's line and message.
  std::string ParseErrorText() const;

  const std::string& Version() const { return version_; }
  const std::string& Name() const { return name_; }
  // Both set the root element's attribute too; without a root nothing changes.
  void SetVersion(const std::string& version);
  void SetName(const std::string& name);
  const std::string& Author() const { return author_; }
  void SetAuthor(const std::string& author) { author_ = author; }
  const std::string& Background() const { return background_; }
  void SetBackground(const std::string& name) { background_ = name; }
  const TSkinArea& TextArea() const { return textArea_; }
  void SetTextArea(const TSkinArea& a) { textArea_ = a; }
  TColor TextColor() const { return textColor_; }
  void SetTextColor(TColor c) { textColor_ = c; }
  int32_t MaxLength() const { return maxLength_; }
  void SetMaxLength(int32_t n) { maxLength_ = n; }
  const TSkinArea& InputBoxArea() const { return inputBoxArea_; }
  void SetInputBoxArea(const TSkinArea& a) { inputBoxArea_ = a; }
  TColor InputBoxColor() const { return inputBoxColor_; }
  void SetInputBoxColor(TColor c) { inputBoxColor_ = c; }
  const TSkinArea& ButtonArea() const { return buttonArea_; }
  void SetButtonArea(const TSkinArea& a) { buttonArea_ = a; }
  const std::string& ButtonUp() const { return buttonUp_; }
  void SetButtonUp(const std::string& name) { buttonUp_ = name; }
  const std::string& ButtonDown() const { return buttonDown_; }
  void SetButtonDown(const std::string& name) { buttonDown_ = name; }
  const TSkinArea& LinkArea() const { return linkArea_; }
  void SetLinkArea(const TSkinArea& a) { linkArea_ = a; }
  const std::string& LinkURL() const { return linkURL_; }
  void SetLinkURL(const std::string& url) { linkURL_ = url; }
  const std::string& LinkText() const { return linkText_; }
  void SetLinkText(const std::string& text) { linkText_ = text; }
  TColor LinkColor() const { return linkColor_; }
  void SetLinkColor(TColor c) { linkColor_ = c; }

 private:
  void AddError(const std::string& text) { errors_->push_back(text); }
  bool ReadWindow(TLkXMLElement& window);
  static TSkinArea ReadArea(const TLkXMLElement& element);
  bool ReadColor(const TLkXMLElement& element, const char* elementName, TColor& color);
  bool ReadText(const TLkXMLElement& element);
  bool ReadInputBox(const TLkXMLElement& element);
  bool ReadButton(const TLkXMLElement& element);
  bool ReadLink(const TLkXMLElement& element);

  TLkXMLElement* root_ = nullptr;
  std::string version_, name_, author_, background_;
  TSkinArea textArea_;
  TColor textColor_ = 0;
  int32_t maxLength_ = -1;
  TSkinArea inputBoxArea_;
  TColor inputBoxColor_ = 0;
  TSkinArea buttonArea_;
  std::string buttonUp_, buttonDown_;
  TSkinArea linkArea_;
  std::string linkURL_, linkText_;
  TColor linkColor_ = 0;
  std::optional<std::vector<std::string>> errors_;
};
