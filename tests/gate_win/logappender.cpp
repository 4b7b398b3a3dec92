// Appends `count` runs to a log file, each under the log mutex, as a gate
// does when it ends; several of these run at once in the log test.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "gate/core/logfile.h"
#include "gate/win/logmutex.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string path = argv[1];
  const int count = std::atoi(argv[2]);
  for (int i = 0; i < count; ++i) {
    TLkStreams c(nullptr);
    c.SetEncrypted(true);
    c.SetKey("4617");
    TLogFileLock lock;
    if (!lock.Owned()) return 3;
    AppendLogRecord(c, path, {argv[3], "C:\\App\\app.exe", std::to_string(i), std::nullopt, std::nullopt});
  }
  return 0;
}
