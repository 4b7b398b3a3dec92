#include "console/core/logrows.h"

#include <algorithm>
#include <cstdint>

#include "base/streams.h"
#include "base/sysutils.h"
#include "console/core/usersettings.h"
#include "shared/core/elapsed.h"
#include "shared/core/errors.h"
#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"

std::vector<std::string_view> LogRecordLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    std::size_t j = i;
    while (j < n && bytes[j] != '\r' && bytes[j] != '\n') ++j;
    lines.push_back(bytes.substr(i, j - i));
    if (j < n && bytes[j] == '\r') ++j;
    if (j < n && bytes[j] == '\n') ++j;
    i = j;
  }
  return lines;
}

namespace {

std::string Elapsed(std::string_view start, std::string_view end) {
  try {
    return ElapsedTimeText(std::string(start), std::string(end));
  } catch (const EConvertError&) {
    return kLogNotAvailable;  // a time this locale's reader cannot take apart
  }
}

std::string ActionText(std::string_view line, int flagNodeCount) {
  int32_t code = 0;
  if (!TryStrToInt(std::string(line), code)) return kLogNotAvailable;
  if (code >= 0 && code < flagNodeCount && code < kFlagNodeCount) return kFlagNodes[code].Text;
  return std::string(line);  // a code the tree has no node for
}

// The value of a name of decimal digits only; -1 for any other name.
int64_t DecimalName(const std::string& name) {
  if (name.empty() || name.size() > 18) return -1;
  int64_t v = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

TLogRow LogRowFor(std::string_view recordBytes, TLogPathView view, int flagNodeCount) {
  const std::vector<std::string_view> lines = LogRecordLines(recordBytes);
  const std::size_t n = lines.size();
  TLogRow row;
  row.fill(kLogNotAvailable);
  if (n > 0) row[0] = lines[0];
  if (n > 1) row[1] = view == TLogPathView::lpFileName ? ExtractFileName(std::string(lines[1])) : std::string(lines[1]);
  if (n > 2) row[2] = lines[2];
  if (n > 3) row[3] = Elapsed(lines[2], lines[3]);
  if (n > 4)
    row[4] = ActionText(lines[4], flagNodeCount);
  else if (n >= 3)
    row[4] = kLogNoAction;
  return row;
}

std::vector<int> LogRecordOrder(const std::vector<std::string>& names) {
  std::vector<std::pair<int64_t, int>> keyed;
  keyed.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) keyed.emplace_back(DecimalName(names[i]), static_cast<int>(i));
  // Decimal names first by value ("01" beside "1": the file's order), the rest after, as given.
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    if ((a.first < 0) != (b.first < 0)) return a.first >= 0;
    return a.first >= 0 && a.first < b.first;
  });
  std::vector<int> order;
  order.reserve(keyed.size());
  for (const auto& k : keyed) order.push_back(k.second);
  return order;
}

void LoadLogFile(TLkStreams& log, const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  if (file.Size() == 0) {
    log.ClearStreams();
    return;
  }
  if (file.Size() > kLogSizeLimit) throw ECorruptFile("The log file is too large to read.");
  log.LoadFromStream(file);
}

const char* LogDeleteStatusText(TLogDeletion deletion, bool refreshed) {
  if (deletion == TLogDeletion::ldFailed) return kStatusLogNotDeleted;
  return refreshed ? kStatusLogRefreshed : kStatusLogNotFound;
}
