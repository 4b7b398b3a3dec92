// Time to append one run to a log of 100, 10,000 and 100,000 records: the
// gate loads the whole container, adds a record and writes it back, so the
// cost should grow linearly with the log.
#include <algorithm>
#include <cstdint>
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
  // The worst a user can hand the gate within the size limit: a log of
  // junk just under it (read, deciphered, refused, set aside), and one just
  // over it (set aside unread).
  std::printf("\n%24s %12s %14s\n", "log", "file bytes", "append ms");
  for (const int64_t size : {kLogSizeLimit, kLogSizeLimit + 1}) {
    std::vector<double> times;
    for (int rep = 0; rep < 3; ++rep) {
      std::filesystem::remove_all(dir);
      std::filesystem::create_directories(dir);
      {
        std::string junk(static_cast<std::size_t>(size), '\0');
        uint32_t x = 2463534242u;
        for (char& c : junk) {
          x ^= x << 13, x ^= x >> 17, x ^= x << 5;
          c = static_cast<char>(x);
        }
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(junk.data(), 1, junk.size(), f);
        std::fclose(f);
      }
      TLkStreams c(nullptr);
      c.SetEncrypted(true);
      c.SetKey("4617");
      const auto t0 = std::chrono::steady_clock::now();
      AppendLogRecord(c, path, SampleRun(1));
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%24s %12lld %14.2f\n", size > kLogSizeLimit ? "junk over the limit" : "junk at the limit",
                static_cast<long long>(size), times[1]);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
