#include "skins/skinrules.h"

#include "base/locale.h"
#include "base/sysutils.h"

std::string SkinFilePath(const std::string& skinFolder, const std::string& name) {
  if (!IsNameInsideFolder(name)) return std::string();
  return IncludeTrailingPathDelimiter(skinFolder) + name;
}

bool IsWebAddress(const std::string& url) {
  for (const char ch : url) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= ' ' || c == 0x7F || c == '"') return false;
  }
  const std::size_t colon = url.find(':');
  if (colon == std::string::npos) return false;
  const std::string scheme = LowerCase(url.substr(0, colon));
  const std::string rest = url.substr(colon + 1);
  if (scheme == "mailto") return !rest.empty();
  if (scheme != "http" && scheme != "https" && scheme != "ftp") return false;
  return rest.size() > 2 && rest.compare(0, 2, "//") == 0 && rest[2] != '/';
}
