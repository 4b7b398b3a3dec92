// Loads arbitrary bytes as a container file. A load either fails with the
// container's own errors, leaving the old content, or succeeds; what
// loaded must save and load again to the same names and bytes.
//
// The first byte picks how the rest reaches the loader: as a whole file,
// or as an inner block that is stored, compressed, or compressed and
// enciphered first, so that the block parser is explored behind every layer.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/streams.h"
#include "shared/core/blowfish.h"
#include "shared/core/lh5.h"
#include "shared/core/errors.h"
#include "shared/core/streamcol.h"

namespace {

std::vector<std::pair<std::string, std::string>> Content(const TLkStreams& c) {
  std::vector<std::pair<std::string, std::string>> r;
  for (int i = 0; i < c.Count(); ++i)
    r.emplace_back(c.StreamList().Strings(i), static_cast<const TMemoryStream*>(c.StreamList().Objects(i))->AsString());
  return r;
}

}  // namespace

TMemoryStream MakeFile(const uint8_t* data, size_t size) {
  TMemoryStream file;
  const int how = size > 0 ? data[0] % 4 : 0;
  if (how == 0) {
    file.WriteBuffer(data, static_cast<int64_t>(size));
    return file;
  }
  TMemoryStream block;
  block.WriteBuffer(data + 1, static_cast<int64_t>(size - 1));
  block.SetPosition(0);
  if (how == 1) {
    file.WriteBuffer("  ", 2);
    file.CopyFrom(block, 0);
    return file;
  }
  TMemoryStream payload;
  LH5Compress(block, payload);
  if (how == 3) BlowfishEncipherStream(payload, "4617");
  file.WriteBuffer(how == 3 ? "&*" : "& ", 2);
  file.CopyFrom(payload, 0);
  return file;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream file = MakeFile(data, size);
  TLkStreams c(nullptr);
  c.SetKey("4617");
  TMemoryStream keep;
  keep.WriteBuffer("me", 2);
  c.AddStream("keep", keep);
  const auto before = Content(c);
  int fired = 0;
  c.OnCorrupt = [&](TObject*) { ++fired; };
  try {
    c.LoadFromStream(file);
  } catch (const ECorruptFile&) {
    if (fired != 1 || Content(c) != before) std::abort();
    return 0;
  } catch (const EReadError&) {
    if (fired != 0 || Content(c) != before) std::abort();
    return 0;
  }
  if (fired != 0) std::abort();
  TMemoryStream again;
  c.SaveToStream(again);
  TLkStreams d(nullptr);
  d.SetKey("4617");
  d.LoadFromStream(again);
  if (Content(d) != Content(c)) std::abort();
  return 0;
}
