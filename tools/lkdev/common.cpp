#include <cstdio>

#include "base/streams.h"
#include "tools/lkdev/lkdev.h"

namespace {

std::vector<TDevCommand>& Table() {
  static std::vector<TDevCommand> table;
  return table;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

TDevCommandRegistrar::TDevCommandRegistrar(const TDevCommand& command) { Table().push_back(command); }

const std::vector<TDevCommand>& DevCommands() { return Table(); }

std::string EscapeBytes(std::string_view bytes, std::string_view extra) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F && extra.find(ch) == std::string_view::npos) {
      out += ch;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string UnescapeBytes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (next == 'r' || next == 'n' || next == '\\') {
      out += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
      ++i;
    } else if (next == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      throw EDevUsage("bad escape in \"" + std::string(text) + "\" (use \\r \\n \\\\ \\xHH)");
    }
  }
  return out;
}

std::string ReadDevFile(const std::string& fileName) { return ReadFileBytes(fileName); }

void WriteDevFile(const std::string& fileName, std::string_view bytes) {
  ReplaceFileAtomically(fileName, bytes.data(), bytes.size());
}

void WriteOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }
