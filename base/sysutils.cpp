#include "base/sysutils.h"

#include <cstdlib>
#include <string_view>

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

namespace {
bool IsDeviceName(std::string component) {
  // The device is the part before the first dot, trailing blanks ignored.
  component = TrimRight(component.substr(0, component.find('.')));
  for (char& c : component)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (component == "CON" || component == "PRN" || component == "AUX" || component == "NUL" ||
      component == "CONIN$" || component == "CONOUT$" || component == "CLOCK$")
    return true;
  // Windows also takes the superscript digits of the ANSI page ("COM\xB9").
  const auto digit = component.size() == 4 ? static_cast<unsigned char>(component[3]) : 0;
  return (component.rfind("COM", 0) == 0 || component.rfind("LPT", 0) == 0) &&
         ((digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}
}  // namespace

bool IsNameInsideFolder(const std::string& name) {
  if (name.empty()) return false;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    const std::string component = name.substr(start, end - start);
    if (component.find_first_not_of(". ") == std::string::npos) return false;  // empty, "..", "...", ". "
    if (IsDeviceName(component)) return false;
    for (char ch : component) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x20 || c == 0x7F || std::string_view(":*?\"<>|").find(ch) != std::string_view::npos) return false;
    }
    if (end == name.size()) return true;
    start = end + 1;
  }
}
