// lkdev lh5 compress|expand IN OUT: the size field and the method body, as
// the container stores them.
#include <string>

#include "base/streams.h"
#include "shared/core/lh5.h"
#include "tools/lkdev/lkdev.h"

namespace {

int RunLh5(const TDevArgs& args) {
  if (args.size() != 3 || (args[0] != "compress" && args[0] != "expand"))
    throw EDevUsage("expected compress IN OUT or expand IN OUT");
  const std::string input = ReadDevFile(args[1]);
  TMemoryStream source, dest;
  source.WriteBuffer(input.data(), static_cast<int64_t>(input.size()));
  source.SetPosition(0);
  if (args[0] == "compress")
    LH5Compress(source, dest);
  else
    LH5Expand(source, dest);
  WriteDevFile(args[2], dest.AsString());
  return 0;
}

const TDevCommandRegistrar kLh5({"lh5", "lh5 compress IN OUT\nlh5 expand IN OUT", RunLh5});

}  // namespace
