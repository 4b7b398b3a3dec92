// The XML document parser: a byte stream into a TLkXMLDocument tree, and
// the validation of the tree against its document type on request.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/streams.h"
#include "xml/codepages.h"
#include "xml/lexer.h"
#include "xml/parserlink.h"
#include "xml/parsersupport.h"

class TLkXMLElement;

inline constexpr const char* kMsgWindows95 =
    "You are trying to use XMLParser supporting 16-bit encodings under Windows 95, which does not support "
    "multi-byte characters. You should use 8-bit version of XMLParser with Windows 95.";

class TLkXMLParser : public TLexAnalyzer, public TLkXMLParserLink {
 public:
  explicit TLkXMLParser(TComponent* owner);
  ~TLkXMLParser() override;

  // Parses the whole stream into `document` (created when null, else
  // cleared). Syntax errors raise ELkXMLParserError; the result is the
  // validation verdict when ValidateDocument is set, else true.
  bool ParseStream(TStream& source, TLkXMLDocument*& document);
  void SetParseMode(char mode) { parseMode_ = mode; }
  char ParseMode() const { return parseMode_; }

  bool StandardXML = false;
  bool ValidateDocument = false;
  TFileNotFoundEvent OnFileNotFound;
  bool FormatedOutput = true;
  bool RetrieveInternetURI = true;
  // No resource is ever fetched over the network, whatever
  // RetrieveInternetURI says (the gate's skin reader sets it).
  bool ForbidNetwork = false;
  // External files only from inside FileFolder (identifiers taken relative
  // to it; an empty folder allows none), never by an absolute, UNC or ".."
  // name. Off: files as named.
  bool ConfineFiles = false;
  std::string FileFolder;
  TEncoding GetDefaultEncoding() const { return defaultEncoding_; }
  void SetDefaultEncoding(TEncoding e) { defaultEncoding_ = e == n_sup ? US_ASCII : e; }
  std::string GetVersion() const;
  void SetVersion(const std::string&) {}  // stored nowhere: the version is read from the system
  // The characters that had no mapping during the last parse or save.
  WideString UnconvertedChars;
  TLkErrorsList& Errors() { return errors_; }

  // TLexAnalyzer
  void NextToken() override;
  void Build(int kind, const WideString& arg) override;
  void BuildPair(int kind, const WideString& arg1, const WideString& arg2) override;
  void BuildAttribute(const WideString& name, const WideString& value) override;

  // TLkXMLParserLink
  int32_t GetLine() override { return TLexAnalyzer::GetLine(); }
  std::string GetSourceName() override { return SourceName; }
  bool GetFormatedOutput() override { return FormatedOutput; }
  bool GetRetrieveInternetURI() override { return RetrieveInternetURI && !ForbidNetwork; }
  TFileNotFoundEvent GetOnFileNotFound() override { return OnFileNotFound; }
  bool LocalResourcePath(const std::string& identifier, std::string& path) override;
  TLkErrorsList& GetErrors() override { return errors_; }
  void SetUnconvertedChars(const WideString& text) override { UnconvertedChars = text; }
  void ParseEntityText(TStream& source, TLkXMLDocument& into) override;
  void ParseExternalSubset(TMemoryStream& source, TLkXMLDocument& into) override;
  bool AnalyzeContent(const std::vector<TLkXMLElement*>& children, TLkContentModel& model) override;

 private:
  void ParseDocument();
  void ParseEntity();
  void ParseXMLDecl();
  void ParseMisc();
  void ParseDoctype();
  // Elements and content, iteratively: nesting costs no call stack. In
  // entity mode the content of the open "_root" is read up to its end.
  void ParseElements(bool entityMode);
  // Match for the parser's own productions, without virtual calls.
  void Take(int32_t code);
  // Counts an element left open in `open`.
  void ParseStartTag(std::size_t& open, bool& empty);
  // Build of an element start (kind 1) and end (kind 15).
  void OpenElement(const WideString& name);
  void CloseElement();
  // Build of character data (kind 3), taking the text over. A plain text
  // holds no "&": it has no references to resolve.
  void BuildText(WideString&& text, bool plain = false);
  bool ParseContentItems();  // true at the "<" of a child element
  void ScanCharData(WideChar first);
  bool ExpandInContent(WideString& text);
  WideString ExpandInValue(const WideString& value);
  bool FindGeneralEntity(const WideString& name, WideString& value);
  bool Validate();

  char parseMode_ = 'd';
  TEncoding defaultEncoding_ = US_ASCII;
  TLkErrorsList errors_;
};
