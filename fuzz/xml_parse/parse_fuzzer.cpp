// ParseStream on arbitrary bytes, without validation.
#include "fuzz/xml_parse/fuzz_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzParse(data, size, false); }
