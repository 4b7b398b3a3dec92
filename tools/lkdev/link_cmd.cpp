// lkdev link make LINK TARGET [ARGS [DESCRIPTION]] | link show LINK
// (Windows build only: shell links need the shell's link object.)
#include <objbase.h>

#include <cstdio>
#include <string>

#include "shared/win/shelllink.h"
#include "tools/lkdev/lkdev.h"

namespace {

struct TComScope {
  HRESULT hr = CoInitialize(nullptr);
  ~TComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

int RunLink(const TDevArgs& args) {
  TComScope com;
  if (args.size() >= 3 && args.size() <= 5 && args[0] == "make") {
    TShellLink link;
    link.Target = args[2];
    if (args.size() > 3) link.Arguments = args[3];
    if (args.size() > 4) link.Description = args[4];
    const std::size_t slash = link.Target.find_last_of('\\');
    if (slash != std::string::npos) link.WorkingFolder = link.Target.substr(0, slash);
    const HRESULT hr = WriteShellLink(link, args[1]);
    if (FAILED(hr)) {
      std::fprintf(stderr, "lkdev link: cannot write %s (0x%08lX)\n", args[1].c_str(), static_cast<unsigned long>(hr));
      return 1;
    }
    return 0;
  }
  if (args.size() == 2 && args[0] == "show") {
    TShellLink link;
    const HRESULT hr = ReadShellLink(args[1], link);
    if (FAILED(hr)) {
      std::fprintf(stderr, "lkdev link: cannot read %s (0x%08lX)\n", args[1].c_str(), static_cast<unsigned long>(hr));
      return 1;
    }
    WriteOut(EscapeBytes(link.Target) + "\n" + EscapeBytes(link.Arguments) + "\n" + EscapeBytes(link.Description) +
             "\n");
    FreeShellLinkIdList(link);
    return 0;
  }
  throw EDevUsage("expected make LINK TARGET [ARGS [DESCRIPTION]] or show LINK");
}

const TDevCommandRegistrar kLink({"link", "link make LINK TARGET [ARGS [DESCRIPTION]]\nlink show LINK", RunLink});

}  // namespace
