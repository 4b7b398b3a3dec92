// Time to append one run to a log of 100, 10,000 and 100,000 records: the
// gate loads the whole container, adds a record and writes it back, so the
// cost should grow linearly with the log.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/sysutils.h"
#include "gate/core/logfile.h"

namespace {

TLogRecord SampleRun(int i) {
  return {"user" + IntToStr(i % 17), "C:\\Program Files\\Some Vendor\\Application " + IntToStr(i % 50) + "\\app.exe",
          "2:05 PM - 12/10/2026", "2:47 PM - 12/10/2026", std::string(i % 3 ? "" : "6")};
}

void MakeLog(const std::string& path, int records) {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  for (int i = 1; i <= records; ++i) {
    TMemoryStream m;
    const std::string bytes = EncodeLogRecord(SampleRun(i));
    m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    c.AddStream(IntToStr(i), m);
  }
  c.SaveToFile(path);
}

}  // namespace

int main() {
  const auto dir = std::filesystem::temp_directory_path() / "gate_log_bench";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "lmlog.bin").string();
  std::printf("%10s %12s %14s %16s\n", "records", "file bytes", "append ms", "ms per 1000 rec");
  for (int n : {100, 10000, 100000}) {
    MakeLog(path, n);
    const auto size = std::filesystem::file_size(path);
    std::vector<double> times;
    for (int rep = 0; rep < 3; ++rep) {
      TLkStreams c(nullptr);
      c.SetEncrypted(true);
      c.SetKey("4617");
      const auto t0 = std::chrono::steady_clock::now();
      AppendLogRecord(c, path, SampleRun(n + rep + 1));
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%10d %12llu %14.2f %16.3f\n", n, static_cast<unsigned long long>(size), times[1], times[1] * 1000.0 / n);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
