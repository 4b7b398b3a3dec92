// Filling the Log View from logs of 1,000, 10,000 and 100,000 records beside
// loading and decoding the same log container alone, in the same run. The
// two sides alternate round by round; the fastest and the median round of
// each are reported. A Windows program: run it with
//   build/<tree>/wine-run build/<tree>/bench/console/logview_bench.exe
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "console/win/lkmainform.h"
#include "console/win/logviewpage.h"
#include "forms/win/application.h"
#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"
#include "shared/win/installpaths.h"

namespace {

constexpr int kRounds = 9;
const std::string kFolder = "C:\\lkbench-log\\";

// A log as gates leave it: unwatched runs, watched runs, runs with an action.
void MakeLog(const std::string& path, int records) {
  TLkStreams log(nullptr);
  log.SetEncrypted(true);
  log.SetKey("4617");
  const char* const users[] = {"alice", "bob", "carol", "All Users"};
  for (int i = 1; i <= records; ++i) {
    TLogRecord r;
    r.UserName = users[i % 4];
    r.TargetPath = "C:\\Program Files\\Application " + std::to_string(i % 97) + "\\program" + std::to_string(i % 13) + ".exe";
    r.StartTime = std::to_string(1 + i % 12) + ":" + std::to_string(10 + i % 50) + " PM - 12/10/2026";
    if (i % 3 != 0) r.EndTime = std::to_string(1 + (i + 1) % 12) + ":" + std::to_string(10 + i % 40) + " PM - 12/10/2026";
    if (i % 3 == 1) r.Action = std::to_string(6 + i % 5);
    const std::string text = EncodeLogRecord(r);
    TMemoryStream m;
    m.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    log.AddStream(std::to_string(i), m);
  }
  log.SaveToFile(path);
}

// What any reader of the log does: load the container and decode each record.
size_t LoadAndDecode(const std::string& path) {
  TLkStreams log(nullptr);
  log.SetKey("4617");
  log.LoadFromFile(path);
  size_t lines = 0;
  const TStringList& list = log.StreamList();
  for (int i = 0; i < list.Count(); ++i) {
    const TLogRecord r = DecodeLogRecord(static_cast<const TMemoryStream*>(list.Objects(i))->AsString());
    lines += r.Lines().size();
  }
  return lines;
}

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  InitInstallPaths();
  TUiSeam seam;
  seam.message_box = [](const std::string& text, const std::string&, UINT) {
    std::fprintf(stderr, "box: %s\n", text.c_str());
    return IDOK;
  };
  SetUiSeam(&seam);
  CreateDirectoryA(kFolder.c_str(), nullptr);
  auto* main = new TLKMain(Application);
  main->Show();
  main->OutBarra->SetSelectedItem(3);
  main->OutBarraItemClick(main->OutBarra);
  TLogViewPage* page = main->LogViewPage;
  std::printf("%9s %10s | %20s | %20s | %13s\n", "records", "file bytes", "page fill best/median", "container best/median",
              "ratio best/med");
  for (int records : {1000, 10000, 100000}) {
    const std::string path = kFolder + "lmlog-" + std::to_string(records) + ".bin";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) MakeLog(path, records);
    page->LogFileName = path;
    std::vector<double> fill, alone;
    for (int i = 0; i < kRounds; ++i) {
      auto t = std::chrono::steady_clock::now();
      page->LogViewRefresh();
      Application->ProcessMessages();  // the list shows its first rows
      fill.push_back(Ms(t));
      t = std::chrono::steady_clock::now();
      LoadAndDecode(path);
      alone.push_back(Ms(t));
    }
    if (page->RowCount() != records) std::fprintf(stderr, "only %d rows\n", page->RowCount());
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a);
    const double fb = *std::min_element(fill.begin(), fill.end()), ab = *std::min_element(alone.begin(), alone.end());
    std::printf("%9d %10lu | %9.1f %9.1f ms | %9.1f %9.1f ms | %5.2f %5.2f\n", records, a.nFileSizeLow, fb,
                Median(fill), ab, Median(alone), fb / ab, Median(fill) / Median(alone));
  }
  std::printf("target: page fill at most 2x the container alone, growing linearly\n");
  TCustomForm::Free(main);
  return 0;
}
