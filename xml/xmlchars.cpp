#include "xml/xmlchars.h"

#include <algorithm>

#include "xml/parsersupport.h"
#include "xml/xmlstrings.h"

namespace {

// XML 1.0 Appendix B, [85] BaseChar.
const std::vector<TCharRange> kBaseChar = {
    {0x0041, 0x005A}, {0x0061, 0x007A}, {0x00C0, 0x00D6}, {0x00D8, 0x00F6}, {0x00F8, 0x00FF},
    {0x0100, 0x0131}, {0x0134, 0x013E}, {0x0141, 0x0148}, {0x014A, 0x017E}, {0x0180, 0x01C3},
    {0x01CD, 0x01F0}, {0x01F4, 0x01F5}, {0x01FA, 0x0217}, {0x0250, 0x02A8}, {0x02BB, 0x02C1},
    {0x0386, 0x0386}, {0x0388, 0x038A}, {0x038C, 0x038C}, {0x038E, 0x03A1}, {0x03A3, 0x03CE},
    {0x03D0, 0x03D6}, {0x03DA, 0x03DA}, {0x03DC, 0x03DC}, {0x03DE, 0x03DE}, {0x03E0, 0x03E0},
    {0x03E2, 0x03F3}, {0x0401, 0x040C}, {0x040E, 0x044F}, {0x0451, 0x045C}, {0x045E, 0x0481},
    {0x0490, 0x04C4}, {0x04C7, 0x04C8}, {0x04CB, 0x04CC}, {0x04D0, 0x04EB}, {0x04EE, 0x04F5},
    {0x04F8, 0x04F9}, {0x0531, 0x0556}, {0x0559, 0x0559}, {0x0561, 0x0586}, {0x05D0, 0x05EA},
    {0x05F0, 0x05F2}, {0x0621, 0x063A}, {0x0641, 0x064A}, {0x0671, 0x06B7}, {0x06BA, 0x06BE},
    {0x06C0, 0x06CE}, {0x06D0, 0x06D3}, {0x06D5, 0x06D5}, {0x06E5, 0x06E6}, {0x0905, 0x0939},
    {0x093D, 0x093D}, {0x0958, 0x0961}, {0x0985, 0x098C}, {0x098F, 0x0990}, {0x0993, 0x09A8},
    {0x09AA, 0x09B0}, {0x09B2, 0x09B2}, {0x09B6, 0x09B9}, {0x09DC, 0x09DD}, {0x09DF, 0x09E1},
    {0x09F0, 0x09F1}, {0x0A05, 0x0A0A}, {0x0A0F, 0x0A10}, {0x0A13, 0x0A28}, {0x0A2A, 0x0A30},
    {0x0A32, 0x0A33}, {0x0A35, 0x0A36}, {0x0A38, 0x0A39}, {0x0A59, 0x0A5C}, {0x0A5E, 0x0A5E},
    {0x0A72, 0x0A74}, {0x0A85, 0x0A8B}, {0x0A8D, 0x0A8D}, {0x0A8F, 0x0A91}, {0x0A93, 0x0AA8},
    {0x0AAA, 0x0AB0}, {0x0AB2, 0x0AB3}, {0x0AB5, 0x0AB9}, {0x0ABD, 0x0ABD}, {0x0AE0, 0x0AE0},
    {0x0B05, 0x0B0C}, {0x0B0F, 0x0B10}, {0x0B13, 0x0B28}, {0x0B2A, 0x0B30}, {0x0B32, 0x0B33},
    {0x0B36, 0x0B39}, {0x0B3D, 0x0B3D}, {0x0B5C, 0x0B5D}, {0x0B5F, 0x0B61}, {0x0B85, 0x0B8A},
    {0x0B8E, 0x0B90}, {0x0B92, 0x0B95}, {0x0B99, 0x0B9A}, {0x0B9C, 0x0B9C}, {0x0B9E, 0x0B9F},
    {0x0BA3, 0x0BA4}, {0x0BA8, 0x0BAA}, {0x0BAE, 0x0BB5}, {0x0BB7, 0x0BB9}, {0x0C05, 0x0C0C},
    {0x0C0E, 0x0C10}, {0x0C12, 0x0C28}, {0x0C2A, 0x0C33}, {0x0C35, 0x0C39}, {0x0C60, 0x0C61},
    {0x0C85, 0x0C8C}, {0x0C8E, 0x0C90}, {0x0C92, 0x0CA8}, {0x0CAA, 0x0CB3}, {0x0CB5, 0x0CB9},
    {0x0CDE, 0x0CDE}, {0x0CE0, 0x0CE1}, {0x0D05, 0x0D0C}, {0x0D0E, 0x0D10}, {0x0D12, 0x0D28},
    {0x0D2A, 0x0D39}, {0x0D60, 0x0D61}, {0x0E01, 0x0E2E}, {0x0E30, 0x0E30}, {0x0E32, 0x0E33},
    {0x0E40, 0x0E45}, {0x0E81, 0x0E82}, {0x0E84, 0x0E84}, {0x0E87, 0x0E88}, {0x0E8A, 0x0E8A},
    {0x0E8D, 0x0E8D}, {0x0E94, 0x0E97}, {0x0E99, 0x0E9F}, {0x0EA1, 0x0EA3}, {0x0EA5, 0x0EA5},
    {0x0EA7, 0x0EA7}, {0x0EAA, 0x0EAB}, {0x0EAD, 0x0EAE}, {0x0EB0, 0x0EB0}, {0x0EB2, 0x0EB3},
    {0x0EBD, 0x0EBD}, {0x0EC0, 0x0EC4}, {0x0F40, 0x0F47}, {0x0F49, 0x0F69}, {0x10A0, 0x10C5},
    {0x10D0, 0x10F6}, {0x1100, 0x1100}, {0x1102, 0x1103}, {0x1105, 0x1107}, {0x1109, 0x1109},
    {0x110B, 0x110C}, {0x110E, 0x1112}, {0x113C, 0x113C}, {0x113E, 0x113E}, {0x1140, 0x1140},
    {0x114C, 0x114C}, {0x114E, 0x114E}, {0x1150, 0x1150}, {0x1154, 0x1155}, {0x1159, 0x1159},
    {0x115F, 0x1161}, {0x1163, 0x1163}, {0x1165, 0x1165}, {0x1167, 0x1167}, {0x1169, 0x1169},
    {0x116D, 0x116E}, {0x1172, 0x1173}, {0x1175, 0x1175}, {0x119E, 0x119E}, {0x11A8, 0x11A8},
    {0x11AB, 0x11AB}, {0x11AE, 0x11AF}, {0x11B7, 0x11B8}, {0x11BA, 0x11BA}, {0x11BC, 0x11C2},
    {0x11EB, 0x11EB}, {0x11F0, 0x11F0}, {0x11F9, 0x11F9}, {0x1E00, 0x1E9B}, {0x1EA0, 0x1EF9},
    {0x1F00, 0x1F15}, {0x1F18, 0x1F1D}, {0x1F20, 0x1F45}, {0x1F48, 0x1F4D}, {0x1F50, 0x1F57},
    {0x1F59, 0x1F59}, {0x1F5B, 0x1F5B}, {0x1F5D, 0x1F5D}, {0x1F5F, 0x1F7D}, {0x1F80, 0x1FB4},
    {0x1FB6, 0x1FBC}, {0x1FBE, 0x1FBE}, {0x1FC2, 0x1FC4}, {0x1FC6, 0x1FCC}, {0x1FD0, 0x1FD3},
    {0x1FD6, 0x1FDB}, {0x1FE0, 0x1FEC}, {0x1FF2, 0x1FF4}, {0x1FF6, 0x1FFC}, {0x2126, 0x2126},
    {0x212A, 0x212B}, {0x212E, 0x212E}, {0x2180, 0x2182}, {0x3041, 0x3094}, {0x30A1, 0x30FA},
    {0x3105, 0x312C}, {0xAC00, 0xD7A3},
};

// [86] Ideographic.
const std::vector<TCharRange> kIdeographic = {{0x4E00, 0x9FA5}, {0x3007, 0x3007}, {0x3021, 0x3029}};

// [88] Digit.
const std::vector<TCharRange> kDigit = {
    {0x0030, 0x0039}, {0x0660, 0x0669}, {0x06F0, 0x06F9}, {0x0966, 0x096F}, {0x09E6, 0x09EF},
    {0x0A66, 0x0A6F}, {0x0AE6, 0x0AEF}, {0x0B66, 0x0B6F}, {0x0BE7, 0x0BEF}, {0x0C66, 0x0C6F},
    {0x0CE6, 0x0CEF}, {0x0D66, 0x0D6F}, {0x0E50, 0x0E59}, {0x0ED0, 0x0ED9}, {0x0F20, 0x0F29},
};

bool InRanges(const std::vector<TCharRange>& ranges, WideChar c) {
  // The tables are sorted by First (Ideographic is tiny and scanned).
  auto it = std::upper_bound(ranges.begin(), ranges.end(), c,
                             [](WideChar v, const TCharRange& r) { return v < r.First; });
  if (it == ranges.begin()) return false;
  --it;
  return c <= it->Last;
}

}  // namespace

const std::vector<TCharRange>& BaseCharRanges() { return kBaseChar; }
const std::vector<TCharRange>& IdeographicRanges() { return kIdeographic; }
const std::vector<TCharRange>& DigitRanges() { return kDigit; }

bool IsXMLChar(WideChar c) {
  return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
}
bool IsBaseChar(WideChar c) { return InRanges(kBaseChar, c); }
bool IsIdeographic(WideChar c) {
  for (const auto& r : kIdeographic)
    if (c >= r.First && c <= r.Last) return true;
  return false;
}
bool IsLetter(WideChar c) { return IsBaseChar(c) || IsIdeographic(c); }
bool IsDigit(WideChar c) { return InRanges(kDigit, c); }
bool IsBlank(WideChar c) { return c == 0x09 || c == 0x0A || c == 0x0D || c == 0x20; }
// Names are mostly ASCII: those characters are told apart without the tables.
bool IsNameStartChar(WideChar c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c == u':';
  return IsLetter(c);
}
bool IsNameChar(WideChar c) {
  if (c < 0x80)
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u':' || c == u'.' || c == u'-';
  return IsNameStartChar(c) || IsDigit(c) || c == u'.' || c == u'-';
}
bool IsMarkupDelimiter(WideChar c) { return c == u'-' || c == u'/' || c == u'>' || c == u'?' || c == u']'; }
bool IsCharDataChar(WideChar c) { return IsXMLChar(c) && c != u'<'; }
bool IsPredefinedChar(WideChar c) { return c == u'"' || c == u'&' || c == u'\'' || c == u'<' || c == u'>'; }

bool IsName(const WideString& text) {
  int32_t n = XMLStrLen(text);
  if (n == 0 || !IsNameStartChar(text[0])) return false;
  for (int32_t i = 1; i < n; ++i)
    if (!IsNameChar(text[static_cast<std::size_t>(i)])) return false;
  return true;
}

bool IsNmtoken(const WideString& text) {
  int32_t n = XMLStrLen(text);
  if (n == 0) return false;
  for (int32_t i = 0; i < n; ++i)
    if (!IsNameChar(text[static_cast<std::size_t>(i)])) return false;
  return true;
}

namespace {
bool TokensPass(const WideString& value, std::vector<std::string>* list, bool (*test)(const WideString&)) {
  WideString v = XMLStrTrim(value);
  v.resize(static_cast<std::size_t>(XMLStrLen(v)));
  bool ok = true;
  std::size_t start = 0;
  while (true) {
    std::size_t blank = v.find(u' ', start);
    bool last = blank == WideString::npos;
    WideString token = v.substr(start, last ? WideString::npos : blank - start);
    if (!token.empty() || last) {
      if (!token.empty() && !test(token)) ok = false;
      if (list) list->push_back(WideToLatin1(token));
    }
    if (last) break;
    start = blank + 1;
  }
  if (v.empty()) ok = false;  // the one empty token is no name either
  return ok;
}
}  // namespace

bool IsNames(const WideString& value, std::vector<std::string>* list) { return TokensPass(value, list, IsName); }
bool IsNmtokens(const WideString& value, std::vector<std::string>* list) { return TokensPass(value, list, IsNmtoken); }

bool IsPITarget(const WideString& text) {
  if (XMLStrLen(XMLStrTrim(text)) == 0) return false;
  if (XMLStrCompareText(text, u"XML") == 0) return false;
  return IsName(text);
}

WideString PredefinedEntityFor(WideChar c) {
  switch (c) {
    case u'"': return u"&quot;";
    case u'&': return u"&amp;";
    case u'\'': return u"&apos;";
    case u'<': return u"&lt;";
    case u'>': return u"&gt;";
    default: return WideString();
  }
}

namespace {
int32_t ReferenceEndIn(const WideString& text, int32_t n, int32_t start) {
  for (int32_t p = start < 1 ? 1 : start; p <= n; ++p) {
    WideChar c = text[static_cast<std::size_t>(p - 1)];
    if (c == u';') return p;
    if (c == u'&') return 0;
  }
  return 0;
}
}  // namespace

int32_t ReferenceEnd(const WideString& text, int32_t start) { return ReferenceEndIn(text, XMLStrLen(text), start); }

WideString EscapeText(const WideString& text) {
  // Most texts hold nothing to escape (and no U+0000 to end them early).
  bool plain = true;
  for (WideChar c : text)
    if (c == 0 || IsPredefinedChar(c)) {
      plain = false;
      break;
    }
  if (plain) return text;
  TStringBuffer out(100);
  int32_t n = XMLStrLen(text);
  for (int32_t p = 1; p <= n; ++p) {
    WideChar c = text[static_cast<std::size_t>(p - 1)];
    if (IsPredefinedChar(c) && !(c == u'&' && ReferenceEndIn(text, n, p + 1) != 0))
      out.AddString(PredefinedEntityFor(c));
    else
      out.AddChar(c);
  }
  return out.GetText();
}

WideString EscapeChar(const WideString& text, WideChar c) {
  TStringBuffer out(100);
  int32_t n = XMLStrLen(text);
  for (int32_t p = 1; p <= n; ++p) {
    WideChar u = text[static_cast<std::size_t>(p - 1)];
    if (u == c && !(c == u'&' && ReferenceEndIn(text, n, p + 1) != 0))
      out.AddString(PredefinedEntityFor(c));
    else
      out.AddChar(u);
  }
  return out.GetText();
}

WideString Indent(int32_t n) { return WideString(n > 0 ? static_cast<std::size_t>(n) : 0, u' '); }

bool IsHexDigit(WideChar c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int32_t HexToInt(const WideString& text) {
  int32_t n = XMLStrLen(text);
  int64_t v = 0;
  for (int32_t i = 0; i < n; ++i) {
    WideChar c = text[static_cast<std::size_t>(i)];
    int digit = (c >= u'a' && c <= u'f') ? c - u'a' + 10 : (c >= u'A' && c <= u'F') ? c - u'A' + 10 : c - 48;
    v = v * 16 + digit;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
  }
  return static_cast<int32_t>(v);
}
