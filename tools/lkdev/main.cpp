// lkdev COMMAND ...: dispatches to the registered subcommands.
#include <cstdio>
#include <cstring>
#include <exception>

#include "base/sysutils.h"
#include "tools/lkdev/lkdev.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

void PrintUsage(std::FILE* to, const TDevCommand* only) {
  std::fputs("usage:\n", to);
  for (const auto& c : DevCommands()) {
    if (only && &c != only) continue;
    std::string usage = c.usage;
    std::size_t start = 0;
    while (start < usage.size()) {
      const std::size_t end = usage.find('\n', start);
      std::fprintf(to, "  lkdev %s\n", usage.substr(start, end - start).c_str());
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Escaped output is plain ASCII; keep "\n" from turning into CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout, nullptr);
    return argc < 2 ? 2 : 0;
  }
  const TDevCommand* command = nullptr;
  for (const auto& c : DevCommands())
    if (std::strcmp(c.name, argv[1]) == 0) command = &c;
  if (!command) {
    std::fprintf(stderr, "lkdev: unknown command \"%s\"\n", argv[1]);
    PrintUsage(stderr, nullptr);
    return 2;
  }
  const TDevArgs args(argv + 2, argv + argc);
  try {
    return command->run(args);
  } catch (const EDevUsage& e) {
    std::fprintf(stderr, "lkdev %s: %s\n", command->name, e.what());
    PrintUsage(stderr, command);
    return 2;
  } catch (const Exception& e) {
    // The system's own message, exactly as the programs would see it.
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lkdev: %s\n", e.what());
    return 1;
  }
}
