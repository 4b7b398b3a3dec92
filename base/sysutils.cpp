#include "base/sysutils.h"

#include <cstdlib>

void Abort() { throw EAbort(); }

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool TryStrToInt(const std::string& s, int32_t& value) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  bool negative = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int base = 10;
  if (i < n && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= n) return false;
  int64_t acc = 0;
  for (; i < n; ++i) {
    const char c = s[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    acc = acc * base + d;
    if (acc > 0xFFFFFFFFLL) return false;
  }
  if (base == 10) {
    if (negative ? acc > 2147483648LL : acc > 2147483647LL) return false;
    value = static_cast<int32_t>(negative ? -acc : acc);
  } else {
    // Hexadecimal covers the whole 32-bit pattern, as $FFFFFFFF = -1.
    const auto bits = static_cast<uint32_t>(acc);
    value = static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  return true;
}

int32_t StrToInt(const std::string& s) {
  int32_t v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int32_t StrToIntDef(const std::string& s, int32_t fallback) {
  int32_t v;
  return TryStrToInt(s, v) ? v : fallback;
}

std::string TrimLeft(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
  return s.substr(i);
}

std::string TrimRight(const std::string& s) {
  std::size_t n = s.size();
  while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= ' ') --n;
  return s.substr(0, n);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

namespace {
bool IsSep(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '\\' || c == '/';
#endif
}
std::size_t LastSep(const std::string& name) {
  for (std::size_t i = name.size(); i > 0; --i)
    if (IsSep(name[i - 1])) return i;  // one past the separator
  return 0;
}
}  // namespace

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
#ifdef _WIN32
  return path + "\\";
#else
  return path + (path.find('\\') != std::string::npos ? "\\" : "/");
#endif
}

std::string ExtractFilePath(const std::string& name) { return name.substr(0, LastSep(name)); }
std::string ExtractFileName(const std::string& name) { return name.substr(LastSep(name)); }

std::string ExtractFileExt(const std::string& name) {
  const std::string file = ExtractFileName(name);
  const auto dot = file.rfind('.');
  return dot == std::string::npos ? std::string() : file.substr(dot);
}
