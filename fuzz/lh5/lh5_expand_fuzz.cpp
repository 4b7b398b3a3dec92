// Feeds arbitrary bytes to the LH5 expander (a damaged stream must give
// ECorruptFile or exactly the declared size), and round-trips them through
// the compressor.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shared/core/errors.h"
#include "shared/core/lh5.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream in, out;
  in.WriteBuffer(data, static_cast<int64_t>(size));
  in.SetPosition(0);
  try {
    LH5Expand(in, out);
    int32_t declared = 0;
    for (int i = 3; i >= 0; --i) declared = static_cast<int32_t>(static_cast<uint32_t>(declared) << 8 | data[i]);
    if (out.Size() != (declared > 0 ? declared : 0)) std::abort();
  } catch (const ECorruptFile&) {
  }

  TMemoryStream plain, packed, back;
  plain.WriteBuffer(data, static_cast<int64_t>(size));
  plain.SetPosition(0);
  LH5Compress(plain, packed);
  packed.SetPosition(0);
  LH5Expand(packed, back);
  if (back.Size() != static_cast<int64_t>(size) || (size && std::memcmp(back.Memory(), data, size) != 0)) std::abort();
  return 0;
}
