// The text type of the XML subsystem.
//
// Every name, value and text of the parser and the document model is a
// WideString: a string of UTF-16 code units (a character above U+FFFF is a
// surrogate pair, two units). Operations measure a WideString up to its
// first U+0000, so an embedded zero unit ends the text for them
// (XMLStrLen, XMLStrCompare, WideToEncoded ...). Byte strings
// (std::string) are used where texts leave the subsystem: error messages,
// encoding names, file names.
#pragma once

#include <string>

using WideString = std::u16string;
using WideChar = char16_t;
