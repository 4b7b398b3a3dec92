#include "xml/platform.h"

TXMLPlatform& XMLPlatform() {
  static TXMLPlatform platform;
  return platform;
}
