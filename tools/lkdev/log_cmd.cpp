// lkdev log rows FILE [--full-path] [--key K]
//
// One line per Log View row, its five column texts separated by a TAB, in
// the order the page shows them: the same rules (console/core/logrows) the
// page uses, with the NT line's flags tree.
#include <string>

#include "console/core/logrows.h"
#include "console/core/usersettings.h"
#include "shared/core/streamcol.h"
#include "tools/lkdev/lkdev.h"

namespace {

int Rows(const TDevArgs& args) {
  if (args.size() < 2) throw EDevUsage("expected rows FILE");
  TLogPathView view = TLogPathView::lpFileName;
  std::string key = "4617";
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--full-path")
      view = TLogPathView::lpFullPath;
    else if (args[i] == "--key" && i + 1 < args.size())
      key = args[++i];
    else
      throw EDevUsage("unknown option " + args[i]);
  }
  TLkStreams log(nullptr);
  log.SetKey(key);
  LoadLogFile(log, args[1]);
  const TStringList& list = log.StreamList();
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Strings(i));
  std::string out;
  for (int i : LogRecordOrder(names)) {
    const auto* record = static_cast<const TMemoryStream*>(list.Objects(i));
    const TLogRow row = LogRowFor(record->AsString(), view, kFlagNodeCount);
    for (int c = 0; c < kLogColumnCount; ++c) out += (c ? "\t" : "") + row[static_cast<std::size_t>(c)];
    out += "\n";
  }
  WriteOut(out);
  return 0;
}

int RunLog(const TDevArgs& args) {
  if (!args.empty() && args[0] == "rows") return Rows(args);
  throw EDevUsage("expected rows");
}

const TDevCommandRegistrar kLog({"log", "log rows FILE [--full-path] [--key K]", RunLog});

}  // namespace
