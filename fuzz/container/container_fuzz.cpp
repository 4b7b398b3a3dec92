// Loads arbitrary bytes as a container file. A load either fails with the
// container's own errors, leaving the old content, or succeeds; what
// loaded must save and load again to the same names and bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "forms/base/streams.h"
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream file;
  file.WriteBuffer(data, static_cast<int64_t>(size));
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
