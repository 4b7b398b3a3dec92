// Any bytes given to the version-information parser end in a parse or in
// ELkFileVersionInfoError, never in a read outside the block.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shared/core/errors.h"
#include "shared/core/versioninfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const TLkFileVersionInfo info =
        TLkFileVersionInfo::FromBlock(std::string_view(reinterpret_cast<const char*>(data), size));
    std::size_t total = info.Block().size() + info.Translation().size();
    for (const auto& table : info.StringTables())
      for (const auto& entry : table.second) total += entry.size();
    for (const auto& language : info.Languages()) total += info.Value(language, "ProductVersion").size();
    (void)total;
  } catch (const ELkFileVersionInfoError&) {
  }
  return 0;
}
