#include "xml/xmlparser.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "base/sysutils.h"
#include "xml/contentmodel.h"
#include "xml/document.h"
#include "xml/dtd.h"
#include "xml/dtdparser.h"
#include "xml/entities.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {

// The Extra of a text token that holds no "&".
constexpr int32_t kPlainText = -2;
// Texts from this length on are sized for the rest of the input, by at
// most this many units more.
constexpr std::size_t kLargeText = std::size_t{1} << 18;
constexpr int64_t kLargestSizing = int64_t{1} << 25;

bool IsPredefinedEntity(const WideString& name) {
  return name == u"amp" || name == u"apos" || name == u"quot" || name == u"lt" || name == u"gt";
}

// An external parsed entity may begin with a text declaration; it is no
// part of the replacement text.
WideString WithoutTextDecl(const WideString& text) {
  if (text.size() < 6 || text.compare(0, 5, u"<?xml") != 0 || !IsBlank(text[5])) return text;
  std::size_t end = text.find(u"?>", 5);
  return end == WideString::npos ? text : text.substr(end + 2);
}

TLkXMLElement* AsElement(TLkXMLNode* node) {
  return node && node->GetKind() == ntElement ? static_cast<TLkXMLElement*>(node) : nullptr;
}

bool IsInputError(const ELkXMLParserError& e) {
  return e.Line == 0 && (e.Message() == kMsgMalformedUTF8 || e.Message() == kMsgNulInInput || e.Message() == kMsgOddUTF16);
}

}  // namespace

TLkXMLParser::TLkXMLParser(TComponent* owner) : TLexAnalyzer(owner) {
  if (IsWindows95()) throw ELkXMLParserError(kMsgWindows95, 0);
}

TLkXMLParser::~TLkXMLParser() = default;

std::string TLkXMLParser::GetVersion() const { return "0.0.0.0"; }

// --- entry point ----------------------------------------------------------------

bool TLkXMLParser::ParseStream(TStream& source, TLkXMLDocument*& document) {
  if (!document)
    document = new TLkXMLDocument();
  else
    document->Clear();
  Document = document;
  document->AssignParser(this);
  InitLexer();
  try {
    if (auto* guard = TExpansionGuard::Active()) guard->AddInput(source.Size());
    s_.MainBuffer->LoadFromStream(source);
    errors_.Clear();
    if (Owner()) {
      if (s_.MainBuffer->HasByteOrderMark()) {
        document->SetEncodingValue(s_.MainBuffer->Encoding());
      } else {
        s_.MainBuffer->SetEncoding(defaultEncoding_);
        document->SetEncodingValue(defaultEncoding_);
      }
    }
    UnmappedChars().Reset();
    s_.KeepWhitespace = s_.ContentMode = false;
    if (parseMode_ == 'e')
      ParseEntity();
    else
      ParseDocument();
  } catch (const ELkXMLParserError& e) {
    int32_t line = GetLine();
    DoneLexer();
    if (IsInputError(e)) throw ELkXMLParserError::CreatePos(e.Message(), SourceName, line, 0);
    throw ELkXMLParserError::CreatePos(e.Message(), e.SourceName, e.Line, e.InnerLine);
  } catch (const ELkDOMException& e) {
    DoneLexer();
    document->Clear();
    throw ELkDOMException(e.Code, e.Message());
  } catch (...) {
    DoneLexer();
    throw;
  }
  DoneLexer();
  UnconvertedChars = UnmappedChars().GetText();
  return ValidateDocument ? Validate() : true;
}

void TLkXMLParser::ParseDocument() {
  NextToken();
  if (CurrentToken().Value == tkXMLDeclOpen) ParseXMLDecl();
  ParseMisc();
  if (CurrentToken().Value == tkDoctype) ParseDoctype();
  s_.ContentMode = true;
  ParseElements(false);
  ParseMisc();
  // Whatever follows the epilogue is not read.
}

void TLkXMLParser::ParseEntity() {
  // Character data may open the text: it becomes text of "_root".
  SetToken(tkGreater, u">");
  s_.ContentMode = s_.KeepWhitespace = true;
  NextToken();
  ParseTextDecl();
  Build(1, u"_root");
  ParseElements(true);
  Build(15, WideString());
}

// --- prolog -----------------------------------------------------------------------

void TLkXMLParser::ParseXMLDecl() {
  Match(tkXMLDeclOpen);
  if (!ParseAttribute(u"version")) Error("XML declaration: version declaration required");
  CheckVersion(PreviousToken().Name);
  if (StandardXML) {
    ParseAttribute(u"encoding");
    if (ParseAttribute(u"standalone")) {
      const WideString& v = PreviousToken().Name;
      if (XMLStrCompareText(v, u"yes") != 0 && XMLStrCompareText(v, u"no") != 0)
        Error("Standalone declaration: incorrect attribute value");
    }
  } else {
    while (CurrentToken().Value == tkName) ParseAttribute(CurrentToken().Name);
  }
  Match(tkPIEnd);
}

void TLkXMLParser::ParseMisc() {
  for (;;) {
    if (CurrentToken().Value == tkCommentOpen)
      ParseComment();
    else if (CurrentToken().Value == tkPIOpen)
      ParsePI();
    else
      return;
  }
}

void TLkXMLParser::ParseDoctype() {
  Match(tkDoctype);
  WideString name = CurrentToken().Name;
  Match(tkName);
  Build(12, name);
  if (CurrentToken().Value == tkName) ParseExternalID();
  if (CurrentToken().Value == '[') {
    Match('[');
    TDTDParser dtd(nullptr);
    dtd.SourceName = SourceName;
    LendInput(dtd, [&](TLexState& state) { dtd.ParseInternalSubset(state, Document); });
    Match(']');
  }
  Build(12, WideString());
  Match(tkGreater);
  ParseMisc();
}

// --- elements and content -----------------------------------------------------------

void TLkXMLParser::Take(int32_t code) {
  if (s_.Current->Value != code) IllegalToken();
  TLkXMLParser::NextToken();
  if (s_.Current->Value == tkEOF) Rescan();
}

void TLkXMLParser::ParseStartTag(std::size_t& open, bool& empty) {
  Take(tkLess);
  Take(tkName);
  OpenElement(PreviousToken().Name);
  std::optional<std::unordered_set<WideString>> seen;  // names as written: XML compares them exactly
  if (StandardXML) seen.emplace();
  while (CurrentToken().Value == tkName) {
    if (seen && !seen->insert(CurrentToken().Name).second)
      Error("Attribute \"" + MsgText(CurrentToken().Name) + "\" appears more than once in the start-tag.");
    // As ParseAttribute does.
    WideString name = CurrentToken().Name;
    Take(tkName);
    Take('=');
    if (CurrentToken().Value != tkLiteral) Error("Attribute value required or incorrect");
    Take(tkLiteral);
    BuildAttribute(name, s_.Previous->Name);
  }
  empty = CurrentToken().Value == tkEmptyTagEnd;
  if (!empty && CurrentToken().Value != tkGreater) IllegalToken();
  if (!empty) ++open;
}

bool TLkXMLParser::ParseContentItems() {
  for (;;) {
    switch (CurrentToken().Value) {
      case tkCommentOpen:
        ParseComment();
        break;
      case tkPIOpen:
        ParsePI();
        break;
      case tkCDataOpen: {
        Match(tkCDataOpen);
        WideString text = CurrentToken().Name;
        Match(tkText);
        Build(4, text);
        Match(tkCDataEnd);
        break;
      }
      case tkText: {
        WideString text = std::move(s_.Current->Name);  // the token is consumed
        const bool plain = s_.Current->Extra == kPlainText;
        Take(tkText);
        BuildText(std::move(text), plain);
        break;
      }
      case tkLess:
        return true;
      default:
        return false;
    }
  }
}

void TLkXMLParser::ParseElements(bool entityMode) {
  // The open elements are the top `open` entries of the stack: an end-tag
  // is checked against the name of the element on top.
  std::size_t open = 0;
  bool atStartTag = !entityMode;
  for (;;) {
    if (atStartTag) {
      bool empty;
      ParseStartTag(open, empty);
      if (empty) {
        if (open == 0 && !entityMode) {
          // The root is complete: what follows is the epilogue.
          s_.ContentMode = s_.KeepWhitespace = false;
          Take(tkEmptyTagEnd);
          CloseElement();
          return;
        }
        Take(tkEmptyTagEnd);
        CloseElement();
      } else {
        Take(tkGreater);
      }
    }
    atStartTag = ParseContentItems();
    if (atStartTag) continue;
    if (open == 0) return;  // the end of an entity's content
    Take(tkEndTagOpen);
    if (CurrentToken().Value == tkName || StandardXML) {
      Take(tkName);
      const WideString& endName = PreviousToken().Name;
      const WideString& startName = Stack().Top()->GetNodeName();
      if (endName != startName)
        Error("Start-tag name \"" + MsgText(startName) + "\" does not match end-tag name \"" + MsgText(endName) +
              "\"");
    }
    CloseElement();
    --open;
    if (open == 0 && !entityMode) {
      s_.ContentMode = s_.KeepWhitespace = false;
      Take(tkGreater);
      return;
    }
    Take(tkGreater);
  }
}

// --- scanner --------------------------------------------------------------------------

void TLkXMLParser::NextToken() {
  ShiftToken();
  if (s_.PIMode) return ScanPIData();
  if (s_.Previous->Value == tkCDataOpen) return ScanCData();
  if (s_.Previous->Value == tkCommentOpen) return ScanCommentText();
  for (;;) {
    WideChar c = ReadChar();
    if (!s_.KeepWhitespace && (c == u' ' || c == u'\t' || c == u'\r')) continue;
    if (c == u'<') return ScanMarkupOpener();
    if (s_.KeepWhitespace && LexIsCharData(c)) {
      int32_t p = s_.Previous->Value;
      if (p == tkGreater || p == tkEmptyTagEnd || p == tkCommentEnd || p == tkPIEnd || p == tkCDataEnd)
        return ScanCharData(c);
    }
    switch (c) {
      case u'-':
      case u'/':
      case u'>':
      case u'?':
      case u']':
        return ScanSymbol(c);
      case u'#':
        return ScanKeyword();
      case u'"':
      case u'\'':
        return ScanLiteral(c);
      case u'\n':
        NewLine();
        continue;
      case 0:
        if (InEntity()) {
          PopEntityInput();
          continue;
        }
        return SetToken(tkEOF, WideString());
      default:
        if (LexIsNameStart(c)) return ScanName(c, false);
        return SetCharToken(c);
    }
  }
}

void TLkXMLParser::ScanCharData(WideChar c) {
  WideString text;
  bool plain = true;      // no "&" met: the text node has nothing to resolve
  bool sized = false;     // room made once for the rest of the input
  for (;; c = ReadChar()) {
    if (c == 0) {
      if (InEntity()) {
        PopEntityInput();  // the text goes on after the reference
        continue;
      }
      // Text may end an entity's content, never a document's.
      if (parseMode_ != 'e' && XMLStrLen(XMLStrTrim(text)) != 0) Error("Unexpected end of file.");
      break;
    }
    if (c == u'<') {
      StepBack();
      break;
    }
    if (c == u'&') {
      plain = false;
      if (ExpandInContent(text)) continue;
    }
    if (c == u'\n') NewLine();
    text += c;
    int32_t lines = 0;
    ReadTextRun(text, lines);
    if (lines > 0) NewLines(lines);
    if (!sized && text.size() >= kLargeText && s_.Top->Buffer) {
      // A text this long may well fill the input: one block for all of it
      // instead of copying the text each time it doubles. Only a hint: the
      // block is bounded, and when it cannot be had the text grows as usual.
      sized = true;
      try {
        const int64_t rest = std::min(s_.Top->Buffer->UnitsLeftAtMost(), kLargestSizing);
        text.reserve(text.size() + static_cast<std::size_t>(rest));
      } catch (const std::exception&) {
      }
    }
  }
  // Room far beyond the text (markup followed it) is given back.
  if (sized && text.capacity() / 2 > text.size()) text.shrink_to_fit();
  SetToken(tkText, std::move(text));
  if (plain) s_.Current->Extra = kPlainText;
}

// After "&" in character data: a reference to a declared parsed entity
// opens its replacement text as the current input, so markup in it is
// parsed right here, in document order. Anything else stays in the text
// for the text node to resolve.
bool TLkXMLParser::ExpandInContent(WideString& text) {
  if (!Document || !Document->GetDocType()) {
    // No entity is declared: the reference stays, its name read as text.
    text += u'&';
    return true;
  }
  WideString name;
  WideChar c = ReadChar();
  while (LexIsName(c) && name.size() < 1024) {
    name += c;
    c = ReadChar();
  }
  StepBack();
  WideString value;
  if (c != u';' || name.empty() || !IsNameStartChar(name[0]) || IsPredefinedEntity(name) ||
      !FindGeneralEntity(name, value)) {
    text += u'&';
    text += name;
    return true;  // the character after the name is read again
  }
  ReadChar();  // the ";"
  PushEntityInput(name, false, value);
  return true;
}

bool TLkXMLParser::FindGeneralEntity(const WideString& name, WideString& value) {
  TLkDocumentType* docType = Document ? Document->GetDocType() : nullptr;
  auto* decl = docType ? dynamic_cast<TLkGEntityDecl*>(docType->GetEntityDecl(name)) : nullptr;
  if (!decl || decl->GetUnparsed()) return false;
  value = decl->GetInternal() ? decl->GetValue() : WithoutTextDecl(decl->GetValue());
  return true;
}

// The references to declared internal entities in an attribute value,
// replaced by their text (recursively, under the expansion bounds). The
// predefined entities, character references and references the attribute
// refuses (external or unparsed entities) stay for the attribute node.
WideString TLkXMLParser::ExpandInValue(const WideString& value) {
  if (value.find(u'&') == WideString::npos) return value;
  struct TLevel {
    WideString Text;
    std::size_t Pos;
  };
  std::vector<TLevel> levels{{value, 0}};
  std::vector<TExpansionScope> scopes;
  WideString out;
  while (!levels.empty()) {
    TLevel& level = levels.back();
    if (level.Pos >= level.Text.size()) {
      levels.pop_back();
      if (!scopes.empty()) scopes.pop_back();
      continue;
    }
    WideChar c = level.Text[level.Pos++];
    if (c == u'&') {
      // Only a run of name characters can be a reference: the scan stays
      // linear on values full of "&".
      std::size_t end = level.Pos;
      while (end < level.Text.size() && LexIsName(level.Text[end])) ++end;
      if (end < level.Text.size() && level.Text[end] == u';') {
        WideString name = level.Text.substr(level.Pos, end - level.Pos);
        TLkDocumentType* docType = Document ? Document->GetDocType() : nullptr;
        auto* decl = docType && IsName(name) && !IsPredefinedEntity(name)
                         ? dynamic_cast<TLkGEntityDecl*>(docType->GetEntityDecl(name))
                         : nullptr;
        if (decl && decl->GetInternal() && !decl->GetUnparsed()) {
          scopes.emplace_back(false, name, decl->GetValue().size(), GetLine());
          level.Pos = end + 1;
          levels.push_back({decl->GetValue(), 0});
          continue;
        }
      }
    }
    out += c;
  }
  return out;
}

// --- building ---------------------------------------------------------------------------

void TLkXMLParser::Build(int kind, const WideString& arg) {
  TLkXMLNode* top = Stack().Top();
  TLkXMLElement* element = AsElement(top);
  switch (kind) {
    case 1:
      return OpenElement(arg);
    case 3:
      return BuildText(WideString(arg));
    case 4:
      if (element) element->AppendNode(new TLkXMLCData(arg, Document));
      return;
    case 5: {
      auto* comment = new TLkXMLComment(arg, Document);
      if (element)
        element->AppendComment(comment);
      else
        Document->AppendComment(comment);
      return;
    }
    case 12:
      if (!arg.empty()) {
        TLkDocumentType* docType = Document->GetDocType();
        if (!docType) {
          docType = new TLkDocumentType(arg, Document);
          Document->SetDocType(docType);
        }
        Stack().Push(docType);
      } else if (!Stack().Empty()) {
        Stack().Pop();
      }
      return;
    case 15:
      return CloseElement();
    case 28:
    case 29: {
      auto* docType = dynamic_cast<TLkDocumentType*>(top);
      if (!docType) return;
      if (kind == 29) {
        docType->PublicId = arg;
      } else {
        docType->SystemId = arg;
        docType->LoadExternalSubset();
      }
      return;
    }
  }
}

void TLkXMLParser::OpenElement(const WideString& name) {
  if (Stack().Depth() >= static_cast<std::size_t>(kMaxNestingDepth))
    Error("Elements nest deeper than " + std::to_string(kMaxNestingDepth) + " levels.");
  // Every element name comes from the tokenizer, which has checked it.
  auto* child = new TLkXMLElement(name, Document, TLkXMLElement::NameChecked{});
  if (TLkXMLElement* element = AsElement(Stack().Top())) {
    // New and empty, and the depth is checked above: none of the checks of
    // a general insertion can fail.
    element->ChildNodes().AppendNew(child);
  } else {
    try {
      Document->setDocumentElement(child);
    } catch (...) {
      delete child;
      throw;
    }
  }
  Stack().Push(child);
}

void TLkXMLParser::CloseElement() {
  if (!Stack().Empty()) Stack().Drop();
}

void TLkXMLParser::BuildAttribute(const WideString& name, const WideString& value) {
  TLkXMLElement* element = AsElement(Stack().Top());
  if (!element) return BuildPair(2, name, value);
  // A copy fits the value exactly; the token's storage, grown while
  // scanning, stays for the next literal.
  element->AddParsedAttribute(name, ExpandInValue(value));
}

void TLkXMLParser::BuildText(WideString&& data, bool plain) {
  TLkXMLElement* element = AsElement(Stack().Top());
  if (!element) return;
  bool visible = false;
  for (WideChar c : data)
    if (c > u' ') {
      visible = true;
      break;
    }
  if (!visible) return;
  auto* text = new TLkXMLText(std::move(data), Document);
  try {
    if (!element->AppendText(text, !plain)) delete text;
  } catch (...) {
    if (!text->GetParent()) delete text;
    throw;
  }
}

void TLkXMLParser::BuildPair(int kind, const WideString& arg1, const WideString& arg2) {
  TLkXMLNode* top = Stack().Top();
  if (kind == 2) {
    if (TLkXMLElement* element = AsElement(top)) {
      element->SetAttributeText(arg1, ExpandInValue(arg2));
    } else if (!top) {
      if (XMLStrCompareText(arg1, u"encoding") == 0) {
        Document->SetEncoding(WideToLatin1(arg2));
        s_.MainBuffer->SetEncoding(Document->Encoding());
      } else {
        Document->SetAttributeText(arg1, arg2);
      }
    }
    return;
  }
  if (kind == 6) {
    auto* pi = new TLkXMLPi(arg1, Document, arg2);
    if (TLkXMLElement* element = AsElement(top))
      element->AppendPi(pi);
    else
      Document->AppendPi(pi);
  }
}

// --- validation -----------------------------------------------------------------------------

bool TLkXMLParser::Validate() {
  errors_.Clear();
  if (!Document) {
    errors_.Add("[XML]: The document is empty.", nullptr);
    return false;
  }
  Document->AssignParser(this);
  std::string version = Document->GetVersion();
  WideString trimmed = XMLStrTrim(Latin1ToWide(version));
  if (XMLStrLen(trimmed) == 0) {
    errors_.Add("[XML]: The document does not have a proper version declaration.", Document);
    return false;
  }
  if (version != "1.0") {
    errors_.Add("[XML]: Unsupported version number \"" + version + "\".", Document);
    return false;
  }
  TLkDocumentType* docType = Document->GetDocType();
  if (!docType) {
    errors_.Add("[XML]: Document type declaration not found.", Document);
    return false;
  }
  docType->Validate();
  if (TLkXMLElement* root = Document->GetDocumentElement()) {
    Document->CollectIDs();
    root->Validate();
    Document->ClearIDs();
  }
  return errors_.Count() == 0;
}

bool TLkXMLParser::LocalResourcePath(const std::string& identifier, std::string& path) {
  if (!ConfineFiles) {
    path = identifier;
    return true;
  }
  if (FileFolder.empty() || !IsNameInsideFolder(identifier)) return false;
  path = IncludeTrailingPathDelimiter(FileFolder) + identifier;
  return true;
}

// --- sub-parses the model asks for ---------------------------------------------------------

void TLkXMLParser::ParseEntityText(TStream& source, TLkXMLDocument& into) {
  TLkXMLParser parser(nullptr);
  parser.SetParseMode('e');
  parser.ForbidNetwork = ForbidNetwork || !GetRetrieveInternetURI();
  parser.ConfineFiles = ConfineFiles;
  parser.FileFolder = FileFolder;
  parser.SourceName = SourceName;
  TLkXMLDocument* document = &into;
  try {
    parser.ParseStream(source, document);
  } catch (...) {
    into.AssignParser(this);
    throw;
  }
  into.AssignParser(this);
}

void TLkXMLParser::ParseExternalSubset(TMemoryStream& source, TLkXMLDocument& into) {
  TDTDParser dtd(nullptr);
  dtd.SourceName = SourceName;
  dtd.ParseExternalSubset(source, &into);
}

bool TLkXMLParser::AnalyzeContent(const std::vector<TLkXMLElement*>& children, TLkContentModel& model) {
  TContentModelAnalyzer analyzer;
  return analyzer.Analyze(children, model);
}
