// The two exceptions of the XML subsystem: syntax and value errors of the
// parser (with the line they were found at) and misuse of the document model.
#pragma once

#include <cstdint>
#include <string>

#include "base/sysutils.h"

class ELkXMLParserError : public Exception {
 public:
  ELkXMLParserError(std::string message, int32_t line) : Exception(std::move(message)), Line(line) {}

  static ELkXMLParserError CreateSource(std::string message, int32_t line, std::string sourceName) {
    ELkXMLParserError e(std::move(message), line);
    e.SourceName = std::move(sourceName);
    return e;
  }
  static ELkXMLParserError CreatePos(std::string message, std::string sourceName, int32_t line, int32_t innerLine) {
    ELkXMLParserError e(std::move(message), line);
    e.SourceName = std::move(sourceName);
    e.InnerLine = innerLine;
    return e;
  }

  int32_t Line = 0;
  int32_t InnerLine = 0;  // line inside an entity's replacement text, else 0
  std::string SourceName;
};

// Errors of the input decoding. The input buffer counts no lines, so these
// carry line 0; the tokenizer re-raises them with its own line.
inline constexpr const char* kMsgMalformedUTF8 = "Malformed UTF-8 sequence in the input.";
inline constexpr const char* kMsgNulInInput = "The input holds the character U+0000, which XML does not allow.";
inline constexpr const char* kMsgOddUTF16 = "The input ends inside a UTF-16 character.";

enum : uint8_t {
  INDEX_SIZE_ERR = 1,
  DOMSTRING_SIZE_ERR = 2,
  HIERARCHY_REQUEST_ERR = 3,
  WRONG_DOCUMENT_ERR = 4,
  INVALID_CHARACTER_ERR = 5,
  NO_DATA_ALLOWED_ERR = 6,
  NO_MODIFICATION_ALLOWED_ERR = 7,
  NOT_FOUND_ERR = 8,
  NOT_SUPPORTED_ERR = 9,
  INUSE_ATTRIBUTE_ERR = 10,
  INVALID_POINTER_ERR = 12,
};

// The name of a code; empty for codes without one (0, 11, 13 and above).
const char* DOMExceptionCodeName(uint8_t code);

class ELkDOMException : public Exception {
 public:
  ELkDOMException(uint8_t code, std::string message) : Exception(std::move(message)), Code(code) {}
  // "XML-DOM [" + code name + "]: " + message
  std::string FullText() const { return std::string("XML-DOM [") + DOMExceptionCodeName(Code) + "]: " + Message(); }
  uint8_t Code;
};
