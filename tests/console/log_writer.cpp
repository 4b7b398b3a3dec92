// Appends `count` runs to a log as a gate does when it ends (under the log
// mutex, through the gate's own append), and notes for each, in OUT_FILE,
// its index and the moment it was saved (milliseconds of the performance
// counter, the same clock in every process).
//   console_log_writer.exe LOG COUNT WHO OUT_FILE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gate/core/logfile.h"
#include "gate/win/logmutex.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  const std::string path = argv[1];
  const int count = std::atoi(argv[2]);
  FILE* out = std::fopen(argv[4], "w");
  if (!out) return 3;
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  for (int i = 0; i < count; ++i) {
    TLkStreams c(nullptr);
    c.SetEncrypted(true);
    c.SetKey("4617");
    TLogFileLock lock;
    if (!lock.Owned()) return 4;
    AppendLogRecord(c, path, {argv[3], "C:\\App\\app.exe", std::to_string(i), std::nullopt, std::nullopt});
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    // Still inside the lock: no deletion can fall between the save and this moment.
    std::fprintf(out, "%d %.3f\n", i, static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart));
    std::fflush(out);
  }
  std::fclose(out);
  return 0;
}
