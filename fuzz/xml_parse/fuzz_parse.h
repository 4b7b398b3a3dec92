// One parse of arbitrary bytes, shared by the parse fuzzers: the only
// exceptions a parse may raise are the parser's and the model's own; the
// tree it leaves must save, and what it saves must parse again.
//
// Byte 0 sets options: bit 0 StandardXML, bit 1 an owned parser (the
// default encoding applies), bits 2-3 the default encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/component.h"
#include "base/streams.h"
#include "xml/document.h"
#include "xml/xmlerrors.h"
#include "xml/xmlparser.h"

inline bool FuzzParseOnce(const std::string& bytes, uint8_t options, bool validate, TLkXMLDocument& document) {
  static const TEncoding kDefaults[] = {US_ASCII, UTF_8, i8859_1, i8859_5};
  TComponent owner(nullptr);
  TLkXMLParser* parser = (options & 2) ? new TLkXMLParser(&owner) : nullptr;
  TLkXMLParser plain(nullptr);
  TLkXMLParser& p = parser ? *parser : plain;
  p.StandardXML = options & 1;
  p.ValidateDocument = validate;
  p.ForbidNetwork = true;
  p.SetDefaultEncoding(kDefaults[(options >> 2) & 3]);
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  TLkXMLDocument* doc = &document;
  bool ok = true;
  try {
    p.ParseStream(stream, doc);
  } catch (const ELkXMLParserError&) {
    ok = false;
  } catch (const ELkDOMException&) {
    ok = false;
  }
  if (ok) {
    // Saving needs a parser; the tree must survive it.
    TMemoryStream saved;
    try {
      document.SaveToStream(saved);
    } catch (const ELkXMLParserError&) {
    } catch (const ELkDOMException&) {
    }
  }
  document.AssignParser(nullptr);
  return ok;
}

inline int FuzzParse(const uint8_t* data, size_t size, bool validate) {
  if (size == 0 || size > 64 * 1024) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  TLkXMLDocument document;
  FuzzParseOnce(bytes, data[0], validate, document);
  return 0;
}
