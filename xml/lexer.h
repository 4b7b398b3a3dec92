// The tokenizer shared by the document, DTD and content-model parsers, with
// the match operations they are written on and the small productions they
// share (comment, processing instruction, attribute, external identifier,
// text declaration, parameter-entity reference).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/component.h"
#include "xml/inputbuffer.h"
#include "xml/lexexpansion.h"
#include "xml/parsersupport.h"
#include "xml/xmlstring.h"

class TLkXMLDocument;

// Token codes. Single characters not listed are tokens of their own code.
enum : int32_t {
  tkCommentOpen = 256,   // "<!--"
  tkPIOpen = 257,        // "<?"
  tkCDataOpen = 258,     // "<![CDATA["
  tkXMLDeclOpen = 259,   // "<?xml"
  tkDoctype = 260,       // "<!DOCTYPE"
  tkLess = 261,          // "<"
  tkGreater = 262,       // ">"
  tkEmptyTagEnd = 263,   // "/>"
  tkEndTagOpen = 264,    // "</"
  tkElementDecl = 265,   // "<!ELEMENT"
  tkAttlistDecl = 266,   // "<!ATTLIST"
  tkCondOpen = 267,      // "<!["
  tkEntityDecl = 268,    // "<!ENTITY"
  tkCommentEnd = 269,    // "-->"
  tkPIEnd = 270,         // "?>"
  tkCDataEnd = 271,      // "]]>"
  tkPCDATA = 272,        // "#PCDATA"
  tkREQUIRED = 273,      // "#REQUIRED"
  tkIMPLIED = 274,       // "#IMPLIED"
  tkFIXED = 275,         // "#FIXED"
  tkNotationDecl = 276,  // "<!NOTATION"
  tkName = 300,
  tkLiteral = 302,  // quotes removed
  tkText = 303,     // character data, comment, CDATA or PI data
  tkNmToken = 307,  // name characters not starting with a name-start character
  tkEOF = 400,
  tkUnknownOpener = 401,
};

// One source of characters: the main stream, or the replacement text of an
// entity, read as the UTF-16 code units it already is.
struct TLexInput {
  TInputBuffer* Buffer = nullptr;  // the main input; null for entity text
  WideString Text;
  std::size_t Pos = 0;
  int32_t EndReads = 0;  // reads answered at the end, not yet stepped back
  int32_t Line = 1;      // line inside the entity text (errors report both)
  WideString EntityName;

  WideChar ReadChar() {
    if (Buffer) return Buffer->ReadChar();
    if (Pos < Text.size()) return Text[Pos++];
    ++EndReads;
    return 0;
  }
  // Appends what ReadChar would give one by one while it is ASCII and not
  // marked in `stop` (see TInputBuffer::ReadAsciiRun); may append nothing.
  void ReadRun(WideString& out, const uint8_t* stop) {
    if (Buffer) {
      Buffer->ReadAsciiRun(out, stop);
      return;
    }
    std::size_t end = Pos;
    while (end < Text.size() && Text[end] < 0x80 && !stop[Text[end]]) ++end;
    out.append(Text, Pos, end - Pos);
    Pos = end;
  }
  // Appends what ReadChar would give one by one up to the first of the
  // stops or end of the text, adding the line feeds in it to `lines` (see
  // TInputBuffer::ReadTextRun); may append nothing.
  void ReadTextRun(WideString& out, int32_t& lines, TRunKind kind = TRunKind::CharData) {
    if (Buffer) {
      Buffer->ReadTextRun(out, lines, kind);
      return;
    }
    const TRunStops stops = RunStops(kind);
    std::size_t end = Pos;
    for (; end < Text.size(); ++end) {
      const WideChar c = Text[end];
      if (c == 0 || c == static_cast<uint8_t>(stops.A) || c == static_cast<uint8_t>(stops.B) ||
          c == static_cast<uint8_t>(stops.C) || c == static_cast<uint8_t>(stops.D))
        break;
      if (c == u'\n') ++lines;
    }
    out.append(Text, Pos, end - Pos);
    Pos = end;
  }
  // See TInputBuffer::AsciiWindow; empty for entity text.
  const uint8_t* AsciiWindow(int32_t& count) const {
    if (Buffer) return Buffer->AsciiWindow(count);
    count = 0;
    return nullptr;
  }
  void SkipAscii(int32_t n) { Buffer->SkipAscii(n); }
  // See TInputBuffer::PeekAscii.
  int PeekAscii() const {
    if (Buffer) return Buffer->PeekAscii();
    if (EndReads == 0 && Pos < Text.size() && Text[Pos] != 0 && Text[Pos] < 0x80) return Text[Pos];
    return -1;
  }
  void StepBack() {
    if (Buffer) {
      Buffer->StepBack();
    } else if (EndReads > 0) {
      --EndReads;
    } else if (Pos > 0) {
      --Pos;
    }
  }
};

// Everything a parser hands to another one that continues its work.
struct TLexState {
  std::unique_ptr<TInputBuffer> MainBuffer;
  std::vector<std::unique_ptr<TLexInput>> Inputs;  // [0] the main input, top current
  TLexInput* Top = nullptr;                        // Inputs.back(), read per character
  std::vector<TExpansionScope> Scopes;             // one per entity input above [0]
  int32_t FixedHandles[512] = {};                  // symbol-table handle of each fixed token, by code
  std::unique_ptr<TSymTab> SymTab;
  std::unique_ptr<TSTEntry> Previous, Current;
  std::unique_ptr<TXMLStack> Stack;
  WideChar CurrentChar = 0;
  int32_t Line = 1;
  bool PIMode = false;
  bool ContentMode = false;
  bool KeepWhitespace = false;
};

class TLexAnalyzer : public TComponent {
 public:
  explicit TLexAnalyzer(TComponent* owner) : TComponent(owner) {}
  ~TLexAnalyzer() override;

  void InitLexer();
  void DoneLexer();
  void SaveState(TLexState& state) { state = std::move(s_); }
  void RestoreState(TLexState& state) { s_ = std::move(state); }
  // Lends this analyser's input to the sub-parser `sub` while `parse(state)`
  // runs, and takes it back afterwards, also when parsing raises.
  template <class Sub, class Parse>
  void LendInput(Sub& sub, Parse&& parse) {
    TLexState state;
    SaveState(state);
    try {
      parse(state);
    } catch (...) {
      sub.SaveState(state);
      RestoreState(state);
      throw;
    }
    sub.SaveState(state);
    RestoreState(state);
  }

  virtual void Match(int32_t code);
  virtual void MatchText(const WideString& text);
  virtual void MatchEither(int32_t code1, int32_t code2);
  virtual void NextToken() = 0;
  virtual void Build(int kind, const WideString& arg) = 0;
  virtual void BuildPair(int kind, const WideString& arg1, const WideString& arg2) = 0;
  // Build of an attribute (kind 2).
  virtual void BuildAttribute(const WideString& name, const WideString& value) { BuildPair(2, name, value); }

  void MatchPE(int32_t code);
  void MatchTextPE(const WideString& text);
  void MatchEitherPE(int32_t code1, int32_t code2);
  bool IsTokenPE(int32_t seen, int32_t wanted);
  bool IsTextPE(const WideString& seen, const WideString& wanted);

  void ParseComment();
  void ParsePI();
  bool ParseAttribute(const WideString& expectedName);
  void ParseExternalID();
  void ParseTextDecl();
  void ExpandPEReference();

  int32_t GetLine() const { return s_.Line; }
  const TSTEntry& CurrentToken() const { return *s_.Current; }
  const TSTEntry& PreviousToken() const { return *s_.Previous; }
  TXMLStack& Stack() { return *s_.Stack; }
  TLkXMLDocument* Document = nullptr;  // not owned
  std::string SourceName;              // carried into every error

  // Raises ELkXMLParserError with the current line (and, inside entity
  // text, the line there as inner line).
  [[noreturn]] void Error(const std::string& message) const;

 protected:
  // Parameter and general entity values as the document type declares them;
  // false when undeclared. The default looks them up in Document.
  virtual bool FindParameterEntity(const WideString& name, WideString& value);

  int32_t EntityLine() const;
  // "1.0" exactly, with the messages of the declarations.
  void CheckVersion(const WideString& value);

  // --- scanners -----------------------------------------------------------
  WideChar ReadChar() { return s_.Top->ReadChar(); }
  void ReadRun(WideString& out, const uint8_t* stop) { s_.Top->ReadRun(out, stop); }
  int PeekAscii() const { return s_.Top->PeekAscii(); }
  void StepBack() { s_.Top->StepBack(); }
  void ReadTextRun(WideString& out, int32_t& lines, TRunKind kind = TRunKind::CharData) {
    s_.Top->ReadTextRun(out, lines, kind);
  }
  void StepBackChars(int n) {
    for (int i = 0; i < n; ++i) StepBack();
  }
  bool InEntity() const { return s_.Inputs.size() > 1; }
  void NewLine();
  void NewLines(int32_t n);
  // ReadTextRun with the line feeds in the run counted.
  void ReadTextRunCountingLines(WideString& text, TRunKind kind);
  void SetToken(int32_t code, WideString text);
  // A token of one character whose code is the character, in the current
  // token's storage.
  void SetCharToken(WideChar c) {
    s_.Current->Value = c;
    s_.Current->Name.assign(1, c);
    s_.Current->Extra = -1;
  }
  // The current token becomes the previous one; the current one's storage
  // is reused for the next token.
  void ShiftToken() { std::swap(s_.Previous, s_.Current); }
  // Looks the text up in the symbol table; unknown texts get `code`.
  void SetTableToken(std::u16string_view text, int32_t code);

  void ScanMarkupOpener();
  void ScanSymbol(WideChar c);
  void ScanKeyword();
  void ScanLiteral(WideChar quote);
  void ScanName(WideChar first, bool allowNmToken);
  void ScanCData();
  void ScanCommentText();
  void ScanPIData();

  // Opens the replacement text of an entity as the current input.
  void PushEntityInput(const WideString& name, bool parameter, const WideString& text);
  void PopEntityInput();
  // The next token, skipping over the ends of entity texts.
  void Rescan();
  [[noreturn]] void IllegalToken() const;

  TLexState s_;
  std::unique_ptr<TExpansionSession> session_;
  // The symbol table of the last parse, kept for the next one.
  std::unique_ptr<TSymTab> spareSymTab_;
};

// The character classes the scanners test on every character, with a table
// for ASCII in front of the full ranges.
namespace lexchars {
enum : uint8_t { kNameStart = 1, kName = 2, kCharData = 4 };
extern const uint8_t kAscii[128];
// Where runs of characters end (TLexInput::ReadRun): the two kinds of
// literal, names. Character data has runs of its own (ReadTextRun).
extern const uint8_t kStopQuote[128];
extern const uint8_t kStopApostrophe[128];
extern const uint8_t kStopName[128];
}  // namespace lexchars
bool LexNameStartSlow(WideChar c);
bool LexNameSlow(WideChar c);
bool LexCharDataSlow(WideChar c);
inline bool LexIsNameStart(WideChar c) { return c < 128 ? (lexchars::kAscii[c] & lexchars::kNameStart) : LexNameStartSlow(c); }
inline bool LexIsName(WideChar c) { return c < 128 ? (lexchars::kAscii[c] & lexchars::kName) : LexNameSlow(c); }
inline bool LexIsCharData(WideChar c) { return c < 128 ? (lexchars::kAscii[c] & lexchars::kCharData) : LexCharDataSlow(c); }

// UTF-8 bytes of a wide text, for messages.
std::string MsgText(const WideString& text);
