#include "xml/lexer.h"

#include <algorithm>

#include "xml/document.h"
#include "xml/entities.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {

struct TFixedToken {
  const char16_t* Text;
  int32_t Code;
};

// The order of the table is part of the format: handles are positions.
constexpr TFixedToken kFixedTokens[] = {
    {u"<", tkLess},           {u">", tkGreater},          {u"</", tkEndTagOpen},
    {u"/>", tkEmptyTagEnd},   {u"<!--", tkCommentOpen},   {u"-->", tkCommentEnd},
    {u"<!DOCTYPE", tkDoctype}, {u"<!ELEMENT", tkElementDecl}, {u"<!ATTLIST", tkAttlistDecl},
    {u"<!ENTITY", tkEntityDecl}, {u"<!NOTATION", tkNotationDecl}, {u"<?", tkPIOpen},
    {u"?>", tkPIEnd},         {u"<![CDATA[", tkCDataOpen}, {u"]]>", tkCDataEnd},
    {u"<?xml", tkXMLDeclOpen}, {u"<![", tkCondOpen},       {u"#REQUIRED", tkREQUIRED},
    {u"#IMPLIED", tkIMPLIED}, {u"#FIXED", tkFIXED},       {u"#PCDATA", tkPCDATA},
    {u"%", '%'},              {u"?", '?'},                {u"*", '*'},
    {u"+", '+'},              {u"(", '('},                {u")", ')'},
    {u"|", '|'},              {u",", ','},
};

bool SameText(const WideString& a, const char16_t* b) { return XMLStrCompareText(a, WideString(b)) == 0; }

}  // namespace

namespace lexchars {
namespace {
constexpr uint8_t Classes(int c) {
  bool start = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
  bool name = start || (c >= '0' && c <= '9') || c == '.' || c == '-';
  bool data = (c == 9 || c == 10 || c == 13 || c >= 0x20) && c != '<';
  return static_cast<uint8_t>((start ? kNameStart : 0) | (name ? kName : 0) | (data ? kCharData : 0));
}
}  // namespace
#define LK_ROW(n) Classes(n), Classes(n + 1), Classes(n + 2), Classes(n + 3), Classes(n + 4), Classes(n + 5), \
                  Classes(n + 6), Classes(n + 7)
const uint8_t kAscii[128] = {LK_ROW(0),  LK_ROW(8),  LK_ROW(16), LK_ROW(24), LK_ROW(32),  LK_ROW(40),
                             LK_ROW(48), LK_ROW(56), LK_ROW(64), LK_ROW(72), LK_ROW(80),  LK_ROW(88),
                             LK_ROW(96), LK_ROW(104), LK_ROW(112), LK_ROW(120)};
#undef LK_ROW

namespace {
// 0 always ends a run: it is the end of the input or an error.
constexpr uint8_t StopQuote(int c) { return c == 0 || c == '"' || c == '\n'; }
constexpr uint8_t StopApostrophe(int c) { return c == 0 || c == '\'' || c == '\n'; }
constexpr uint8_t StopName(int c) { return c == 0 || !(Classes(c) & kName); }
}  // namespace
#define LK_ROW(f, n) f(n), f(n + 1), f(n + 2), f(n + 3), f(n + 4), f(n + 5), f(n + 6), f(n + 7)
#define LK_TABLE(f) LK_ROW(f, 0), LK_ROW(f, 8), LK_ROW(f, 16), LK_ROW(f, 24), LK_ROW(f, 32), LK_ROW(f, 40), \
                    LK_ROW(f, 48), LK_ROW(f, 56), LK_ROW(f, 64), LK_ROW(f, 72), LK_ROW(f, 80), LK_ROW(f, 88), \
                    LK_ROW(f, 96), LK_ROW(f, 104), LK_ROW(f, 112), LK_ROW(f, 120)
const uint8_t kStopQuote[128] = {LK_TABLE(StopQuote)};
const uint8_t kStopApostrophe[128] = {LK_TABLE(StopApostrophe)};
const uint8_t kStopName[128] = {LK_TABLE(StopName)};
#undef LK_TABLE
#undef LK_ROW
}  // namespace lexchars

bool LexNameStartSlow(WideChar c) { return IsNameStartChar(c); }
bool LexNameSlow(WideChar c) { return IsNameChar(c); }
// A character above U+FFFF arrives as two surrogate units (the decoder and
// the character references only ever make whole pairs): both are character
// data.
bool LexCharDataSlow(WideChar c) { return IsCharDataChar(c) || (c >= 0xD800 && c <= 0xDFFF); }

std::string MsgText(const WideString& text) { return WideToUTF8(text.substr(0, static_cast<std::size_t>(XMLStrLen(text)))); }

TLexAnalyzer::~TLexAnalyzer() { DoneLexer(); }

void TLexAnalyzer::InitLexer() {
  DoneLexer();
  // The symbol table of the last parse is made the fixed table again.
  std::unique_ptr<TSymTab> symTab = std::move(spareSymTab_);
  session_ = std::make_unique<TExpansionSession>();
  s_.MainBuffer = std::make_unique<TInputBuffer>();
  s_.Inputs.push_back(std::make_unique<TLexInput>());
  s_.Inputs.back()->Buffer = s_.MainBuffer.get();
  s_.Top = s_.Inputs.back().get();
  // The table of fixed tokens is the same for every parse: built once, copied.
  struct TFixedTable {
    TSymTab Table;
    int32_t Handles[512] = {};
    TFixedTable() {
      for (const auto& t : kFixedTokens) Handles[t.Code] = Table.Insert(t.Text, t.Code);
    }
  };
  static const TFixedTable fixed;
  if (symTab) {
    symTab->ResetTo(fixed.Table);
    s_.SymTab = std::move(symTab);
  } else {
    s_.SymTab = std::make_unique<TSymTab>(fixed.Table);
  }
  std::copy(std::begin(fixed.Handles), std::end(fixed.Handles), std::begin(s_.FixedHandles));
  s_.Previous = std::make_unique<TSTEntry>();
  s_.Current = std::make_unique<TSTEntry>();
  s_.Stack = std::make_unique<TXMLStack>();
  s_.Line = 1;
  s_.PIMode = s_.ContentMode = s_.KeepWhitespace = false;
  s_.CurrentChar = 0;
}

void TLexAnalyzer::DoneLexer() {
  s_.Scopes.clear();  // leave the expansions before the guard goes
  if (s_.SymTab) spareSymTab_ = std::move(s_.SymTab);
  s_ = TLexState();
  session_.reset();
}

void TLexAnalyzer::Error(const std::string& message) const {
  if (InEntity()) {
    auto e = ELkXMLParserError::CreatePos(message, SourceName, EntityLine(), s_.Inputs.back()->Line);
    throw e;
  }
  throw ELkXMLParserError::CreateSource(message, s_.Line, SourceName);
}

int32_t TLexAnalyzer::EntityLine() const {
  // The line of the reference in the main input: lines inside entity text
  // are counted on the entity's own input.
  return s_.Line;
}

void TLexAnalyzer::IllegalToken() const {
  if (s_.Current->Value == tkEOF) Error("Unexpected end of file.");
  Error("Illegal occurence of \"" + MsgText(s_.Current->Name) + "\"");
}

void TLexAnalyzer::NewLine() {
  if (InEntity())
    ++s_.Inputs.back()->Line;
  else
    ++s_.Line;
}

void TLexAnalyzer::NewLines(int32_t n) {
  if (InEntity())
    s_.Inputs.back()->Line += n;
  else
    s_.Line += n;
}

void TLexAnalyzer::SetToken(int32_t code, WideString text) {
  s_.Current->Value = code;
  s_.Current->Name = std::move(text);
  s_.Current->Extra = -1;
}

void TLexAnalyzer::SetTableToken(std::u16string_view text, int32_t code) {
  // The scanners know the code of every fixed token they produce: its text
  // is the table's, without a look-up.
  if (code > 0 && code < 512 && s_.FixedHandles[code] > 0) {
    s_.Current->Value = code;
    s_.Current->Name.assign(text.data(), text.size());
    s_.Current->Extra = s_.FixedHandles[code];
    return;
  }
  const WideString name(text);
  int32_t h = s_.SymTab->Lookup(name);
  if (h < 0) h = s_.SymTab->Insert(name, code);
  s_.Current->Set(s_.SymTab->GetValue(h), s_.SymTab->GetName(h), h);
}

// --- entity inputs ------------------------------------------------------------

void TLexAnalyzer::PushEntityInput(const WideString& name, bool parameter, const WideString& text) {
  TExpansionScope scope(parameter, name, text.size(), s_.Line);
  auto input = std::make_unique<TLexInput>();
  input->Text = text;
  input->EntityName = name;
  s_.Inputs.push_back(std::move(input));
  s_.Top = s_.Inputs.back().get();
  s_.Scopes.push_back(std::move(scope));
}

void TLexAnalyzer::PopEntityInput() {
  if (!InEntity()) return;
  s_.Inputs.pop_back();
  s_.Top = s_.Inputs.back().get();
  if (!s_.Scopes.empty()) s_.Scopes.pop_back();
}

bool TLexAnalyzer::FindParameterEntity(const WideString& name, WideString& value) {
  TLkDocumentType* docType = Document ? Document->GetDocType() : nullptr;
  auto* decl = docType ? dynamic_cast<TLkPEntityDecl*>(docType->GetEntityDecl(name)) : nullptr;
  if (!decl) return false;
  value = decl->GetValue();
  return true;
}

void TLexAnalyzer::Rescan() {
  // The end of an entity's text: go on in the input below, as if the
  // reference had not been there.
  if (s_.Current->Value != tkEOF || !InEntity()) return;
  TSTEntry previous = *s_.Previous;
  while (s_.Current->Value == tkEOF && InEntity()) {
    PopEntityInput();
    NextToken();
    s_.Previous->Assign(previous);
  }
}

// --- match operations -----------------------------------------------------------

void TLexAnalyzer::Match(int32_t code) {
  if (s_.Current->Value != code) IllegalToken();
  NextToken();
  Rescan();
}

void TLexAnalyzer::MatchText(const WideString& text) {
  if (XMLStrCompareText(s_.Current->Name, text) != 0) IllegalToken();
  NextToken();
  Rescan();
}

void TLexAnalyzer::MatchEither(int32_t code1, int32_t code2) {
  if (s_.Current->Value != code1 && s_.Current->Value != code2) IllegalToken();
  NextToken();
  Rescan();
}

void TLexAnalyzer::MatchPE(int32_t code) {
  if (s_.Current->Value != code && s_.Current->Value == '%') ExpandPEReference();
  Match(code);
}

void TLexAnalyzer::MatchTextPE(const WideString& text) {
  if (XMLStrCompareText(s_.Current->Name, text) != 0 && s_.Current->Value == '%') ExpandPEReference();
  MatchText(text);
}

void TLexAnalyzer::MatchEitherPE(int32_t code1, int32_t code2) {
  int32_t v = s_.Current->Value;
  if (v != code1 && v != code2 && v == '%') ExpandPEReference();
  MatchEither(code1, code2);
}

bool TLexAnalyzer::IsTokenPE(int32_t seen, int32_t wanted) {
  if (seen == wanted) return true;
  if (seen != '%') return false;
  ExpandPEReference();
  return s_.Current->Value == wanted;
}

bool TLexAnalyzer::IsTextPE(const WideString& seen, const WideString& wanted) {
  if (XMLStrCompareText(seen, wanted) == 0) return true;
  if (seen != u"%") return false;
  ExpandPEReference();
  return XMLStrCompareText(s_.Current->Name, wanted) == 0;
}

// --- shared productions -----------------------------------------------------------

void TLexAnalyzer::ParseComment() {
  Match(tkCommentOpen);
  WideString text = s_.Current->Name;
  Match(tkText);
  Build(5, text);
  Match(tkCommentEnd);
}

void TLexAnalyzer::ParsePI() {
  Match(tkPIOpen);
  WideString target = s_.Current->Name;
  s_.PIMode = true;
  Match(tkName);
  s_.PIMode = false;
  WideString data = s_.Current->Name;
  Match(tkText);
  BuildPair(6, target, data);
  Match(tkPIEnd);
}

bool TLexAnalyzer::ParseAttribute(const WideString& expectedName) {
  if (s_.Current->Value != tkName) return false;
  // The start-tag passes the current token's own name.
  if (&expectedName != &s_.Current->Name && XMLStrCompareText(s_.Current->Name, expectedName) != 0) return false;
  WideString name = s_.Current->Name;
  Match(tkName);
  Match('=');
  if (s_.Current->Value != tkLiteral) Error("Attribute value required or incorrect");
  Match(tkLiteral);
  BuildAttribute(name, s_.Previous->Name);
  return true;
}

void TLexAnalyzer::ParseExternalID() {
  const WideString& word = s_.Current->Name;
  if (SameText(word, u"SYSTEM")) {
    Match(tkName);
    WideString system = s_.Current->Name;
    Match(tkLiteral);
    Build(28, system);
  } else if (SameText(word, u"PUBLIC")) {
    Match(tkName);
    WideString pub = s_.Current->Name;
    Match(tkLiteral);
    Build(29, pub);
    if (s_.Current->Value == tkLiteral) {
      WideString system = s_.Current->Name;
      Match(tkLiteral);
      Build(28, system);
    }
  } else {
    Error("Illegal occurence of \"" + MsgText(word) + "\".");
  }
}

void TLexAnalyzer::CheckVersion(const WideString& value) {
  if (XMLStrLen(XMLStrTrim(value)) == 0) Error("Version declaration: version number required");
  if (value != u"1.0") Error("Version declaration: version \"" + MsgText(value) + "\" is not supported.");
}

void TLexAnalyzer::ParseTextDecl() {
  if (s_.Current->Value != tkXMLDeclOpen) return;
  Match(tkXMLDeclOpen);
  if (ParseAttribute(u"version")) CheckVersion(s_.Previous->Name);
  if (!ParseAttribute(u"encoding")) Error("Encoding declaration required");
  Match(tkPIEnd);
}

void TLexAnalyzer::ExpandPEReference() {
  TSTEntry previous = *s_.Previous;
  Match('%');
  WideString name = s_.Current->Name;
  Match(tkName);
  WideString value;
  if (!FindParameterEntity(name, value))
    Error("Can't retrieve parameter entity value. Entity \"" + MsgText(name) + "\" is not declared.");
  if (s_.Current->Value != ';') IllegalToken();
  PushEntityInput(name, true, value);
  Match(';');
  s_.Previous->Assign(previous);
}

// --- scanners -----------------------------------------------------------------

void TLexAnalyzer::ScanMarkupOpener() {
  if (s_.ContentMode) s_.KeepWhitespace = false;
  // Most often a start-tag: seen without reading and stepping back.
  const int next = PeekAscii();
  if (next >= 0 && next != u'!' && next != u'/' && next != u'?') return SetTableToken(u"<", tkLess);
  WideChar c = ReadChar();
  if (c == u'!') {
    WideChar c2 = ReadChar();
    if (c2 == u'-') {
      WideChar c3 = ReadChar();
      if (c3 != u'-') Error("Wrong declaration (comment?): \"<!-\".");
      SetTableToken(u"<!--", tkCommentOpen);
      return;
    }
    if (c2 == u'[') {
      WideString six;
      for (int i = 0; i < 6; ++i) six += ReadChar();
      if (SameText(u"<![" + six, u"<![CDATA[")) {
        SetTableToken(u"<![CDATA[", tkCDataOpen);
      } else {
        StepBackChars(6);
        SetTableToken(u"<![", tkCondOpen);
      }
      return;
    }
    WideString word(1, c2);
    for (int i = 0; i < 5; ++i) word += ReadChar();
    if (SameText(word, u"ENTITY")) return SetTableToken(u"<!ENTITY", tkEntityDecl);
    word += ReadChar();
    if (SameText(word, u"DOCTYPE")) return SetTableToken(u"<!DOCTYPE", tkDoctype);
    if (SameText(word, u"ELEMENT")) return SetTableToken(u"<!ELEMENT", tkElementDecl);
    if (SameText(word, u"ATTLIST")) return SetTableToken(u"<!ATTLIST", tkAttlistDecl);
    word += ReadChar();
    if (SameText(word, u"NOTATION")) return SetTableToken(u"<!NOTATION", tkNotationDecl);
    Error("Wrong declaration: \"<!\".");
  }
  if (c == u'/') return SetTableToken(u"</", tkEndTagOpen);
  if (c == u'?') {
    WideString three;
    for (int i = 0; i < 3; ++i) three += ReadChar();
    if (SameText(three, u"xml")) {
      WideChar c4 = ReadChar();
      if (IsNameChar(c4)) {
        StepBackChars(4);
        return SetTableToken(u"<?", tkPIOpen);
      }
      StepBack();
      return SetTableToken(u"<?xml", tkXMLDeclOpen);
    }
    StepBackChars(3);
    return SetTableToken(u"<?", tkPIOpen);
  }
  StepBack();
  SetTableToken(u"<", tkLess);
}

void TLexAnalyzer::ScanSymbol(WideChar c) {
  if (s_.ContentMode) s_.KeepWhitespace = true;
  switch (c) {
    case u'-': {
      WideChar c2 = ReadChar();
      WideChar c3 = ReadChar();
      if (c2 != u'-' || c3 != u'>') Error("Illegal occurence of : \"--\".");
      return SetTableToken(u"-->", tkCommentEnd);
    }
    case u'/':
      if (ReadChar() != u'>') Error("Illegal occurence of : \"/\".");
      return SetTableToken(u"/>", tkEmptyTagEnd);
    case u'?':
      if (ReadChar() == u'>') return SetTableToken(u"?>", tkPIEnd);
      StepBack();
      return SetTableToken(u"?", '?');
    case u']':
      if (ReadChar() == u']') {
        if (ReadChar() != u'>') Error("Illegal occurence of : \"]]\".");
        return SetTableToken(u"]]>", tkCDataEnd);
      }
      StepBack();
      return SetToken(']', u"]");
    default:
      return SetTableToken(u">", tkGreater);
  }
}

void TLexAnalyzer::ScanKeyword() {
  WideChar c2 = ReadChar();
  const char16_t* keyword = nullptr;
  int32_t code = 0;
  switch (XMLUpCase(c2)) {
    case u'F': keyword = u"#FIXED", code = tkFIXED; break;
    case u'I': keyword = u"#IMPLIED", code = tkIMPLIED; break;
    case u'P': keyword = u"#PCDATA", code = tkPCDATA; break;
    case u'R': keyword = u"#REQUIRED", code = tkREQUIRED; break;
    default: Error("Wrong declaration: \"#\".");
  }
  WideString text = u"#";
  text += c2;
  const std::size_t length = std::char_traits<char16_t>::length(keyword);
  while (text.size() < length) {
    WideChar c = ReadChar();
    if (c == 0) break;
    text += c;
  }
  if (!SameText(text, keyword)) Error("Unsupported keyword: \"" + MsgText(text) + "\".");
  SetTableToken(keyword, code);
}

void TLexAnalyzer::ScanLiteral(WideChar quote) {
  // Written straight into the current token, whose storage is reused.
  WideString& text = s_.Current->Name;
  text.clear();
  const uint8_t* stop = quote == u'"' ? lexchars::kStopQuote : lexchars::kStopApostrophe;
  for (;;) {
    // Most literals are short and ASCII: taken straight from the input's
    // bytes.
    int32_t count = 0;
    if (const uint8_t* p = s_.Top->AsciiWindow(count)) {
      int32_t n = 0;
      while (n < count && p[n] < 0x80 && !stop[p[n]]) ++n;
      if (n > 0) {
        const std::size_t old = text.size();
        text.resize(old + static_cast<std::size_t>(n));
        WideChar* to = text.data() + old;
        for (int32_t k = 0; k < n; ++k) to[k] = p[k];
        s_.Top->SkipAscii(n);
      }
    } else {
      ReadRun(text, stop);
    }
    WideChar c = ReadChar();
    if (c == quote) break;
    if (c == 0) Error("Literal does not have a matching end quote.");
    if (c == u'\n') NewLine();
    text += c;
  }
  s_.Current->Value = tkLiteral;
  s_.Current->Extra = -1;
}

void TLexAnalyzer::ScanName(WideChar first, bool allowNmToken) {
  // Written straight into the current token, whose storage is reused.
  WideString& text = s_.Current->Name;
  text.assign(1, first);
  for (;;) {
    // Names are short: their ASCII characters are taken straight from the
    // input's bytes, and the name most often ends before an ASCII
    // character that is no name character, seen without reading it.
    int32_t count = 0;
    if (const uint8_t* p = s_.Top->AsciiWindow(count)) {
      int32_t n = 0;
      while (n < count && p[n] < 0x80 && (lexchars::kAscii[p[n]] & lexchars::kName)) ++n;
      for (int32_t k = 0; k < n; ++k) text.push_back(p[k]);
      s_.Top->SkipAscii(n);
      if (n < count && p[n] != 0 && p[n] < 0x80) break;
    } else {
      ReadRun(text, lexchars::kStopName);
      const int next = PeekAscii();
      if (next >= 0 && !(lexchars::kAscii[next] & lexchars::kName)) break;
    }
    WideChar c = ReadChar();
    if (!LexIsName(c)) {
      StepBack();
      break;
    }
    text += c;
  }
  s_.Current->Value = allowNmToken && !LexIsNameStart(first) ? tkNmToken : tkName;
  s_.Current->Extra = -1;
}

// The runs of a section, a comment and a processing instruction end at what
// their scanners look at themselves.
void TLexAnalyzer::ReadTextRunCountingLines(WideString& text, TRunKind kind) {
  int32_t lines = 0;
  ReadTextRun(text, lines, kind);
  if (lines > 0) NewLines(lines);
}

void TLexAnalyzer::ScanCData() {
  WideString text;
  for (;;) {
    ReadTextRunCountingLines(text, TRunKind::CData);
    WideChar c = ReadChar();
    if (c == 0) Error("CDSection does not have a matching end-tag.");
    if (c == u']') {
      WideChar c2 = ReadChar();
      WideChar c3 = ReadChar();
      if (c2 == u']' && c3 == u'>') {
        StepBackChars(3);
        break;
      }
      StepBackChars(2);
    } else if (c == u'\n') {
      NewLine();
    }
    text += c;
  }
  SetToken(tkText, std::move(text));
}

void TLexAnalyzer::ScanCommentText() {
  WideString text;
  for (;;) {
    ReadTextRunCountingLines(text, TRunKind::Comment);
    WideChar c = ReadChar();
    switch (c) {
      case 0:
        Error("Comment does not have a matching end-tag.");
      case u'-': {
        WideChar c2 = ReadChar();
        if (c2 == u'-') {
          if (ReadChar() != u'>') Error("Comment contains wrong entry \"--\"");
          StepBackChars(3);
          SetToken(tkText, std::move(text));
          return;
        }
        StepBack();
        text += c;
        break;
      }
      case u' ':
        if (text.empty() || text.back() != u' ') text += c;
        break;
      case u'\n':
        NewLine();
        break;
      case u'\r':
        break;
      default:
        text += c;
    }
  }
}

void TLexAnalyzer::ScanPIData() {
  WideString text;
  WideChar c = ReadChar();
  if (c != u' ') StepBack();
  for (;;) {
    ReadTextRunCountingLines(text, TRunKind::PI);
    c = ReadChar();
    if (c == 0) Error("PI does not have a matching end-tag.");
    if (c == u'?') {
      if (ReadChar() == u'>') {
        StepBackChars(2);
        break;
      }
      StepBack();
    } else if (c == u'\n') {
      NewLine();
    }
    text += c;
  }
  SetToken(tkText, std::move(text));
}
