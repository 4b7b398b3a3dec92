#include "skins/lmskins.h"

#include "base/sysutils.h"
#include "xml/document.h"
#include "xml/dom.h"
#include "xml/xmlstrings.h"

namespace {

const char* const kErrorHead = "Error parsing XML. ";

// Attribute names are matched without regard to case (the model's lookup).
WideString Value(const TLkXMLElement& e, const char16_t* name) { return e.GetAttributeValue(name); }
std::string Text(const TLkXMLElement& e, const char16_t* name) { return WideToAnsi(Value(e, name)); }
std::string Trimmed(const TLkXMLElement& e, const char16_t* name) { return Trim(Text(e, name)); }

bool IsNamed(const TLkXMLElement& e, const char16_t* name) { return e.GetNodeName() == name; }
bool IsNamedTrimmed(const TLkXMLElement& e, const char16_t* name) { return XMLStrTrim(e.GetNodeName()) == name; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void SetNumber(TLkXMLElement& e, const char16_t* name, int32_t value) {
  e.SetAttributeValue(name, AnsiToWide(IntToStr(value)));
}
void SetText(TLkXMLElement& e, const char16_t* name, const std::string& value) {
  e.SetAttributeValue(name, AnsiToWide(value));
}
void SetArea(TLkXMLElement& e, const TSkinArea& a) {
  SetNumber(e, u"x", a.X);
  SetNumber(e, u"y", a.Y);
  SetNumber(e, u"width", a.Width);
  SetNumber(e, u"height", a.Height);
}

}  // namespace

const std::string& GetSkinSaveFolder() {
  static const std::string folder = "c:\\";
  return folder;
}

TLMSkin::TLMSkin() {
  Clear();
  BuildDocument();
  errors_.emplace();
}

TLMSkin::~TLMSkin() = default;

void TLMSkin::Clear() {
  root_ = nullptr;
  version_.clear();
  name_.clear();
  author_.clear();
  background_.clear();
  textArea_ = {};
  textColor_ = 0;
  maxLength_ = -1;
  inputBoxArea_ = {};
  inputBoxColor_ = 0;
  buttonArea_ = {};
  buttonUp_.clear();
  buttonDown_.clear();
  linkArea_ = {};
  linkURL_.clear();
  linkText_.clear();
  linkColor_ = 0;
  errors_.reset();
}

bool TLMSkin::LoadSkin(const std::string& path) {
  Clear();
  if (!LoadFromFile(path)) return false;
  return ReadDocument();
}

std::string TLMSkin::ParseErrorText() const {
  const TXMLParseFailure& f = LastFailure();
  if (f.Line > 0) return kErrorHead + std::string("Line ") + IntToStr(f.Line) + ": " + f.Message;
  return kErrorHead + f.Message;
}

void TLMSkin::SetVersion(const std::string& version) {
  if (!root_) return;
  SetText(*root_, u"version", version);
  version_ = version;
}

void TLMSkin::SetName(const std::string& name) {
  if (!root_) return;
  SetText(*root_, u"name", name);
  name_ = name;
}

TColor TLMSkin::CodeToColor(const std::string& code) {
  if (code.size() != 7 || code[0] != '#') throw EConvertError("Invalid color format");
  int channels[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexDigit(code[1 + 2 * i]), low = HexDigit(code[2 + 2 * i]);
    if (high < 0 || low < 0) throw EConvertError("Invalid color format");
    channels[i] = high * 16 + low;
  }
  return channels[0] + channels[1] * 256 + channels[2] * 65536;
}

std::string TLMSkin::ColorToCode(TColor color) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string code = "#";
  for (int shift : {0, 8, 16}) {
    const int channel = (color >> shift) & 0xFF;
    code += kHex[channel >> 4];
    code += kHex[channel & 15];
  }
  return code;
}

bool TLMSkin::ReadDocument() {
  if (!errors_) errors_.emplace();
  root_ = GetDocumentElement();
  if (!root_ || !IsNamedTrimmed(*root_, u"skin")) {
    AddError(std::string(kErrorHead) + "Expected node [skin].");
    return false;
  }
  bool ok = true;
  version_ = Trimmed(*root_, u"version");
  name_ = Trimmed(*root_, u"name");
  author_ = Trimmed(*root_, u"author");
  if (version_.empty()) {
    AddError(std::string(kErrorHead) + "Expected attribute [version] in node [skin].");
    ok = false;
  }
  if (name_.empty()) {
    AddError(std::string(kErrorHead) + "Expected attribute [name] in node [skin].");
    ok = false;
  }
  TLkXMLElement* window = root_->GetFirstChildElement();
  if (!window) {
    AddError(std::string(kErrorHead) + "Expected node [window].");
    return false;
  }
  const bool windowOk = ReadWindow(*window);
  return ok && windowOk;
}

bool TLMSkin::ReadWindow(TLkXMLElement& window) {
  if (!IsNamedTrimmed(window, u"window")) {
    AddError(std::string(kErrorHead) + "Expected node [window].");
    return false;
  }
  background_ = Trim(WideToAnsiExact(Value(window, u"background")));
  std::vector<TLkXMLElement*> children;
  for (TLkXMLElement* c = window.GetFirstChildElement(); c; c = c->NextSiblingElement()) children.push_back(c);
  bool ok = true, text = false, inputBox = false, button = false;
  for (TLkXMLElement* c : children) {
    if (IsNamed(*c, u"text")) {
      ok = ReadText(*c) && ok;
      text = true;
    } else if (IsNamed(*c, u"inputbox")) {
      ok = ReadInputBox(*c) && ok;
      inputBox = true;
    } else if (IsNamed(*c, u"button")) {
      ok = ReadButton(*c) && ok;
      button = true;
    } else if (IsNamed(*c, u"link")) {
      ok = ReadLink(*c) && ok;
    }
  }
  const std::pair<bool, const char*> required[] = {{button, "button"}, {text, "text"}, {inputBox, "inputbox"}};
  for (const auto& [seen, name] : required) {
    if (seen) continue;
    AddError(std::string(kErrorHead) + "Expected nodes [" + name + "].");
    ok = false;
  }
  return ok;
}

TSkinArea TLMSkin::ReadArea(const TLkXMLElement& element) {
  TSkinArea a;
  a.X = StrToInt(Text(element, u"x"));
  a.Y = StrToInt(Text(element, u"y"));
  a.Width = StrToInt(Text(element, u"width"));
  a.Height = StrToInt(Text(element, u"height"));
  return a;
}

bool TLMSkin::ReadColor(const TLkXMLElement& element, const char* elementName, TColor& color) {
  const std::string code = Text(element, u"color");
  if (Trim(code).empty()) return true;  // no colour: the cleared value stays
  try {
    color = CodeToColor(code);  // as written, blanks included
    return true;
  } catch (const EConvertError&) {
    AddError(std::string(kErrorHead) + "Wrong Color code [" + elementName + ":color].");
    return false;
  }
}

bool TLMSkin::ReadText(const TLkXMLElement& element) {
  textArea_ = ReadArea(element);
  bool ok = true;
  const std::string maxLength = Trimmed(element, u"maxlength");
  if (!maxLength.empty() && !TryStrToInt(maxLength, maxLength_)) {
    AddError(std::string(kErrorHead) + "Wrong number [text:maxlength].");
    maxLength_ = -1;
    ok = false;
  }
  return ReadColor(element, "text", textColor_) && ok;
}

bool TLMSkin::ReadInputBox(const TLkXMLElement& element) {
  inputBoxArea_ = ReadArea(element);
  return ReadColor(element, "inputbox", inputBoxColor_);
}

bool TLMSkin::ReadButton(const TLkXMLElement& element) {
  buttonArea_ = ReadArea(element);
  buttonUp_ = WideToAnsiExact(Value(element, u"buttonup"));
  buttonDown_ = WideToAnsiExact(Value(element, u"buttondown"));
  return true;
}

bool TLMSkin::ReadLink(const TLkXMLElement& element) {
  linkArea_ = ReadArea(element);
  bool ok = ReadColor(element, "link", linkColor_);
  linkURL_ = Trim(WideToAnsiExact(Value(element, u"url")));
  linkText_ = Text(element, u"text");
  if (linkURL_.empty()) {
    AddError(std::string(kErrorHead) + "Expected attribute [url] in node [link].");
    ok = false;
  }
  if (Trim(linkText_).empty()) {
    AddError(std::string(kErrorHead) + "Expected attribute [text] in node [link].");
    ok = false;
  }
  return ok;
}

void TLMSkin::BuildDocument() {
  TLkXMLDocument& doc = Document();
  root_ = nullptr;
  doc.Clear();
  // Every element belongs to the document before its attributes are set: a
  // text the writer refuses (an empty reference, "&;") raises, and nothing
  // made so far is lost outside the document.
  TLkXMLElement* skin = doc.NewElement(u"skin");
  doc.setDocumentElement(skin);
  root_ = skin;
  SetText(*skin, u"version", version_);
  SetText(*skin, u"name", name_);
  SetText(*skin, u"author", author_);

  auto append = [](TLkXMLElement& parent, const char16_t* name) -> TLkXMLElement& {
    TLkXMLElement* e = parent.GetOwnerDocument()->NewElement(name);
    parent.AppendNode(e);
    return *e;
  };
  TLkXMLElement& window = append(*skin, u"window");
  SetText(window, u"background", background_);

  TLkXMLElement& text = append(window, u"text");
  SetArea(text, textArea_);
  if (maxLength_ > 0) SetNumber(text, u"maxlength", maxLength_);
  SetText(text, u"color", ColorToCode(textColor_));

  TLkXMLElement& inputBox = append(window, u"inputbox");
  SetArea(inputBox, inputBoxArea_);
  SetText(inputBox, u"color", ColorToCode(inputBoxColor_));

  TLkXMLElement& button = append(window, u"button");
  SetArea(button, buttonArea_);
  SetText(button, u"buttonup", buttonUp_);
  SetText(button, u"buttondown", buttonDown_);

  if (!linkURL_.empty() && !linkText_.empty()) {
    TLkXMLElement& link = append(window, u"link");
    SetArea(link, linkArea_);
    SetText(link, u"text", linkText_);
    SetText(link, u"url", linkURL_);
    SetText(link, u"color", ColorToCode(linkColor_));
  }
}

void TLMSkin::SaveSkin() {
  const std::string name = Trim(name_);
  if (name.empty()) return;
  // The name comes from a skin file: it must not steer the write elsewhere.
  if (!IsNameInsideFolder(name_ + ".xml") || name_.find_first_of("\\/") != std::string::npos)
    throw EConvertError("The skin name \"" + name_ + "\" is not a file name");
  BuildDocument();
  SaveToFile(GetSkinSaveFolder() + name_ + ".xml");
}
