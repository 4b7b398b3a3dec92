// Parsing documents from text in the XML parser tests.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/component.h"
#include "xml/document.h"
#include "xml/xmlparser.h"

// One parse: the parser, the document it filled, its verdict or its error.
struct TParse {
  std::unique_ptr<TComponent> owner;
  std::unique_ptr<TLkXMLParser> parser;
  std::unique_ptr<TLkXMLDocument> document;
  bool result = false;
  bool failed = false;
  std::string error;     // the message
  int32_t line = 0;      // and the lines of the error
  int32_t innerLine = 0;
  std::string dump;      // CanonicalDump of the document after a success
  ~TParse() { document.reset(); }
};

using TSetup = std::function<void(TLkXMLParser&)>;

// Parses the bytes; the parser has an owner when `owned`.
std::unique_ptr<TParse> Parse(const std::string& bytes, const TSetup& setup = {}, bool owned = false);
// "ok" or "LINE: MESSAGE" of the parse.
std::string Outcome(const std::string& bytes, const TSetup& setup = {});
// The canonical dump, or the error as Outcome gives it.
std::string Dump(const std::string& bytes, const TSetup& setup = {});
// The document saved to a stream, as bytes.
std::string Saved(TLkXMLDocument& document);
// A temporary folder of this test program, created on first use.
std::string TempDir();
void WriteFile(const std::string& path, const std::string& bytes);
