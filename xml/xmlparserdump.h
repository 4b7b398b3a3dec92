// A canonical text of a parsed tree, for comparing documents in tests and
// in "lkdev xml dump": one line per node, attributes sorted by name,
// characters outside printable ASCII and the markup characters escaped.
#pragma once

#include <string>

class TLkXMLDocument;

std::string CanonicalDump(TLkXMLDocument& document);
