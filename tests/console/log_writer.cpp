// Appends `count` runs to a log as a gate does when it ends (under the log
// mutex, through the gate's own append), and notes for each, in OUT_FILE,
// its index and the moment it was saved (milliseconds of the performance
// counter, the same clock in every process).
//   console_log_writer.exe LOG COUNT WHO OUT_FILE [--first N] [--running EVENT] [--9x]
// --first: the runs' start texts count from N instead of 0; --running: the
// event is set once the appends begin (a test kills the writer after it);
// --9x: the log is replaced by the 9x line's renames.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/fileops.h"
#include "gate/core/logfile.h"
#include "gate/win/logmutex.h"

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const std::string path = argv[1];
  const int count = std::atoi(argv[2]);
  int first = 0;
  std::string running;
  for (int i = 5; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--first" && i + 1 < argc)
      first = std::atoi(argv[++i]);
    else if (flag == "--running" && i + 1 < argc)
      running = argv[++i];
    else if (flag == "--9x")
      lk_fileops::SetOneStepReplaceMissing(true);
    else
      return 2;
  }
  FILE* out = std::fopen(argv[4], "w");
  if (!out) return 3;
  if (!running.empty()) SetEvent(CreateEventA(nullptr, TRUE, FALSE, running.c_str()));
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  for (int i = 0; i < count; ++i) {
    TLkStreams c(nullptr);
    c.SetEncrypted(true);
    c.SetKey("4617");
    TLogFileLock lock;
    if (!lock.Owned()) return 4;
    AppendLogRecord(c, path, {argv[3], "C:\\App\\app.exe", std::to_string(first + i), std::nullopt, std::nullopt});
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    // Still inside the lock: no deletion can fall between the save and this moment.
    std::fprintf(out, "%d %.3f\n", i, static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart));
    std::fflush(out);
  }
  std::fclose(out);
  return 0;
}
