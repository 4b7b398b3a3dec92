#include "console/core/userdata.h"

#include <algorithm>

#include "base/fileops.h"
#include "base/locale.h"
#include "base/streams.h"

std::vector<TUserRow> LoadUserRows(TLkStreams& container, const std::string& path,
                                   const std::vector<std::string>& names) {
  container.ClearStreams();
  container.SetKey(kDataFileKey);
  const std::string file = lk_fileops::ReplacedFileToRead(path);
  if (FileExists(file)) container.LoadFromFile(file);
  std::vector<TUserRow> rows;
  rows.reserve(names.size());
  TMemoryStream scratch;
  for (const std::string& name : names) {
    scratch.Clear();
    container.GetStream(name, scratch);
    rows.push_back({name, DecodeUserRecord(scratch.AsString())});
  }
  container.ClearStreams();
  return rows;
}

void SaveUserRows(TLkStreams& container, const std::string& path, const std::vector<TUserRow>& rows) {
  container.ClearStreams();
  container.SetCompressed(true);
  container.SetEncrypted(true);
  container.SetKey(kDataFileKey);
  // The container keeps its entries sorted by name: added in that order,
  // each one goes at the end instead of moving every entry after it.
  std::vector<const TUserRow*> order;
  order.reserve(rows.size());
  for (const TUserRow& row : rows) order.push_back(&row);
  std::stable_sort(order.begin(), order.end(),
                   [](const TUserRow* a, const TUserRow* b) { return AnsiCompareText(a->Name, b->Name) < 0; });
  TMemoryStream scratch;
  for (const TUserRow* entry : order) {
    const TUserRow& row = *entry;
    scratch.Clear();
    const std::string bytes = EncodeUserRecord(row.Record);
    scratch.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    container.AddStream(row.Name, scratch);
  }
  try {
    container.SaveToFile(path);
  } catch (...) {
    container.ClearStreams();
    throw;
  }
  container.ClearStreams();
}
