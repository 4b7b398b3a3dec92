// TXMLObject: the small layer between the skin definition and the XML
// parser. It owns one document, parses files and strings into it with the
// program's one shared parser, turns every parse failure into a false
// result (keeping its message and line for the caller), and writes the
// document out. Also the conversion of the model's wide texts to and from
// the system's ANSI code page, in which file names and captions travel.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xml/xmlstring.h"

class TLkXMLDocument;
class TLkXMLElement;
class TLkXMLParser;
class TStream;

class IXMLObject {
 public:
  virtual ~IXMLObject() = default;
  virtual std::string GetXMLText() = 0;
  virtual bool LoadFromString(const std::string& text) = 0;
  virtual TLkXMLElement* GetDocumentElement() const = 0;
};

// Why the last parse failed; Line 0 when the failure has no line.
struct TXMLParseFailure {
  std::string Message;
  int32_t Line = 0;
};

class TXMLObject : public IXMLObject {
 public:
  TXMLObject();
  ~TXMLObject() override;
  TXMLObject(const TXMLObject&) = delete;
  TXMLObject& operator=(const TXMLObject&) = delete;

  // The document as XML text, in its encoding.
  std::string GetXMLText() override;
  // True when the text parses; any exception of the parse gives false.
  bool LoadFromString(const std::string& text) override;
  // As LoadFromString for the file's bytes. The file is opened first,
  // outside the guard: a missing or locked file raises EFOpenError. External
  // files of the document are read only from the file's own folder.
  bool LoadFromFile(const std::string& path);
  // Write errors pass to the caller.
  void SaveToFile(const std::string& path);
  TLkXMLElement* GetDocumentElement() const override;

  TLkXMLDocument& Document() { return *document_; }
  // Meaningful after a load that answered false.
  const TXMLParseFailure& LastFailure() const { return failure_; }

 private:
  bool Parse(TStream& source, const std::string& sourceName, const std::string& folder);

  std::unique_ptr<TLkXMLDocument> document_;
  TXMLParseFailure failure_;
};

// The one parser every TXMLObject parses with, made on first use (on
// Windows 95 that raises ELkXMLParserError). It never reaches the network
// and reads external files only from the folder of the file being loaded
// (none for a string): a skin is an input the gate must not trust. Main
// thread only: two parses must not run at once.
TLkXMLParser& SharedXMLParser();

// The text in the system's ANSI code page. A character the page cannot
// hold becomes "?", never a look-alike (a full-width "\" must not turn
// into a path separator).
std::string WideToAnsi(const WideString& text);
// As WideToAnsi, but such a character raises EConvertError: for file names.
std::string WideToAnsiExact(const WideString& text);
// Bytes the page does not define become "?" (U+003F).
WideString AnsiToWide(const std::string& text);
