// lkdev token wrap TARGET ARGS MODE | token unwrap TOKEN
#include <string>

#include "base/sysutils.h"
#include "shared/core/gatearg.h"
#include "tools/lkdev/lkdev.h"

namespace {

int RunToken(const TDevArgs& args) {
  if (args.size() == 4 && args[0] == "wrap") {
    int32_t mode;
    if (!TryStrToInt(args[3], mode)) throw EDevUsage("MODE must be a number 0..4");
    WriteOut(EncodeGateArgument(args[1], args[2], mode) + "\n");
    return 0;
  }
  if (args.size() == 2 && args[0] == "unwrap") {
    const TGateArgument d = DecodeGateArgument(args[1]);
    WriteOut(d.Target + "\n" + d.Arguments + "\n" + IntToStr(d.Mode) + "\n");
    return 0;
  }
  throw EDevUsage("expected wrap TARGET ARGS MODE or unwrap TOKEN");
}

const TDevCommandRegistrar kToken({"token", "token wrap TARGET ARGS MODE\ntoken unwrap TOKEN", RunToken});

}  // namespace
