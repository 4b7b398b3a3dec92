#include "xml/xmlerrors.h"

const char* DOMExceptionCodeName(uint8_t code) {
  static const char* const kNames[] = {
      "",
      "INDEX_SIZE_ERR",
      "DOMSTRING_SIZE_ERR",
      "HIERARCHY_REQUEST_ERR",
      "WRONG_DOCUMENT_ERR",
      "INVALID_CHARACTER_ERR",
      "NO_DATA_ALLOWED_ERR",
      "NO_MODIFICATION_ALLOWED_ERR",
      "NOT_FOUND_ERR",
      "NOT_SUPPORTED_ERR",
      "INUSE_ATTRIBUTE_ERR",
      "",
      "INVALID_POINTER_ERR",
  };
  return code < sizeof(kNames) / sizeof(kNames[0]) ? kNames[code] : "";
}
