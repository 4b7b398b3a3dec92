// Helpers shared by the XML model tests.
#pragma once

#include <string>

#include "xml/xmlstrings.h"

// Readable wide literals from UTF-8 source text.
inline WideString W(const std::string& utf8) { return UTF8ToWide(utf8); }
inline std::string U8(const WideString& w) { return WideToUTF8(w); }
inline std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s += static_cast<char>(v);
  return s;
}
