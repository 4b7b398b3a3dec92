// Filling the Log View from logs of 1,000, 10,000 and 100,000 records beside
// loading and decoding the same log container alone, in the same run. Two
// fills are timed, each up to the list showing its first rows: from an empty
// list (the start, or after a deletion: the list view also shows its scroll
// bar) and a refresh of a list already that long (F5). The three alternate
// round by round; the fastest and the median round of each are reported.
// Beside them, the platform's own part of a fill from empty: a bare virtual
// list view of the same size and columns in a plain window, taken from 0 to
// the same length and painted. A Windows program: run it with
//   build/<tree>/wine-run build/<tree>/bench/console/logview_bench.exe
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

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

// A bare virtual list view in a plain window, as the page's list stands.
LRESULT CALLBACK BareProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == LVN_GETDISPINFOA) {
    auto* d = reinterpret_cast<NMLVDISPINFOA*>(l);
    if (d->item.mask & LVIF_TEXT) lstrcpynA(d->item.pszText, "12:00 PM - 12/10/2026", d->item.cchTextMax);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}

HWND MakeBareList(HWND* frame) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "LkBenchBare";
  RegisterClassA(&wc);
  *frame = CreateWindowA("LkBenchBare", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 0, 560, 440, nullptr, nullptr,
                         wc.hInstance, nullptr);
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0,
                              513, 378, *frame, nullptr, wc.hInstance, nullptr);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
  const std::pair<const char*, int> columns[] = {{"Username", 95}, {"Executed", 155}, {"Started", 95}, {"Total", 60},
                                                 {"Action", 72}};
  int i = 0;
  for (const auto& [text, width] : columns) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>(text);
    c.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, i++, reinterpret_cast<LPARAM>(&c));
  }
  return list;
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

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
  HWND bareFrame = nullptr;
  HWND bare = MakeBareList(&bareFrame);
  std::printf("%8s %9s | %17s | %17s | %17s | %17s | %11s %11s\n", "records", "bytes", "fill from empty",
              "refresh (F5)", "container alone", "bare list fill", "fill/alone", "F5/alone");
  std::printf("%8s %9s | %17s | %17s | %17s | %17s | %11s %11s\n", "", "", "best median ms", "best median ms",
              "best median ms", "best median ms", "best med", "best med");
  for (int records : {1000, 10000, 100000}) {
    const std::string path = kFolder + "lmlog-" + std::to_string(records) + ".bin";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) MakeLog(path, records);
    std::vector<double> fill, refresh, alone, bareFill;
    for (int i = 0; i < kRounds; ++i) {
      page->LogFileName = kFolder + "none.bin";  // an empty list, untimed
      page->LogViewRefresh();
      Application->ProcessMessages();
      page->LogFileName = path;
      auto t = std::chrono::steady_clock::now();
      page->LogViewRefresh();
      Application->ProcessMessages();  // the list shows its first rows
      fill.push_back(Ms(t));
      if (page->RowCount() != records) std::fprintf(stderr, "only %d rows\n", page->RowCount());
      t = std::chrono::steady_clock::now();
      page->LogViewRefresh();
      Application->ProcessMessages();
      refresh.push_back(Ms(t));
      t = std::chrono::steady_clock::now();
      LoadAndDecode(path);
      alone.push_back(Ms(t));
      SendMessageA(bare, LVM_SETITEMCOUNT, 0, 0);
      InvalidateRect(bare, nullptr, TRUE);
      Application->ProcessMessages();
      t = std::chrono::steady_clock::now();
      SendMessageA(bare, LVM_SETITEMCOUNT, static_cast<WPARAM>(records), 0);
      InvalidateRect(bare, nullptr, TRUE);
      Application->ProcessMessages();
      bareFill.push_back(Ms(t));
    }
    WIN32_FILE_ATTRIBUTE_DATA a{};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a);
    const double fb = Best(fill), rb = Best(refresh), ab = Best(alone);
    const double fm = Median(fill), rm = Median(refresh), am = Median(alone);
    std::printf("%8d %9lu | %7.1f %7.1f   | %7.1f %7.1f   | %7.1f %7.1f   | %7.1f %7.1f   | %5.2f %5.2f %5.2f %5.2f\n",
                records, a.nFileSizeLow, fb, fm, rb, rm, ab, am, Best(bareFill), Median(bareFill), fb / ab, fm / am,
                rb / ab, rm / am);
  }
  std::printf("target: the page at most 2x the container alone, growing linearly\n");
  DestroyWindow(bareFrame);
  TCustomForm::Free(main);
  return 0;
}
