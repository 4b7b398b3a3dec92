#include "shared/core/versioninfo.h"

#include <cstring>

#include "shared/core/errors.h"

namespace {

[[noreturn]] void NoVersionInfo() { throw ELkFileVersionInfoError(); }

uint16_t Word(std::string_view b, std::size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

uint32_t Dword(std::string_view b, std::size_t at) {
  return static_cast<uint32_t>(Word(b, at)) | static_cast<uint32_t>(Word(b, at + 2)) << 16;
}

std::size_t Align4(std::size_t at) { return (at + 3) & ~std::size_t(3); }

// UTF-16 code units to bytes: units above 0xFF have no byte of their own.
std::string NarrowText(std::string_view b, std::size_t at, std::size_t units) {
  std::string s;
  s.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const uint16_t u = Word(b, at + 2 * i);
    if (u == 0) break;
    s += u <= 0xFF ? static_cast<char>(u) : '?';
  }
  return s;
}

// One node of the block: header, key, value and the range of its children.
struct Node {
  std::size_t end = 0;
  uint16_t type = 0;
  std::string key;
  std::size_t valueAt = 0;
  std::size_t valueBytes = 0;
  std::size_t childrenAt = 0;
};

// Reads the node at `at`, which must lie wholly before `limit`.
Node ReadNode(std::string_view b, std::size_t at, std::size_t limit) {
  if (limit - at < 6) NoVersionInfo();
  const std::size_t length = Word(b, at);
  const std::size_t valueLength = Word(b, at + 2);
  Node n;
  n.type = Word(b, at + 4);
  if (length < 6 || length > limit - at) NoVersionInfo();
  n.end = at + length;
  std::size_t p = at + 6;
  std::size_t units = 0;
  for (;; ++units, p += 2) {
    if (n.end - p < 2) NoVersionInfo();  // key without terminator
    if (Word(b, p) == 0) break;
  }
  n.key = NarrowText(b, at + 6, units);
  n.valueAt = Align4(p + 2);
  if (n.valueAt > n.end) n.valueAt = n.end;
  // Text values count characters, binary values bytes; some writers count
  // bytes for texts too, so a text is only held to its node.
  n.valueBytes = n.type == 1 ? valueLength * 2 : valueLength;
  if (n.valueBytes > n.end - n.valueAt) {
    if (n.type != 1) NoVersionInfo();
    n.valueBytes = n.end - n.valueAt;
  }
  n.childrenAt = Align4(n.valueAt + n.valueBytes);
  if (n.childrenAt > n.end) n.childrenAt = n.end;
  return n;
}

// Calls `visit` for each child of `parent`; a zero length ends the list
// (padding after the last child).
template <class F>
void ForEachChild(std::string_view b, const Node& parent, F visit) {
  std::size_t at = parent.childrenAt;
  while (parent.end - at >= 6 && Word(b, at) != 0) {
    const Node child = ReadNode(b, at, parent.end);
    visit(child);
    at = Align4(child.end);
    if (at > parent.end) break;
  }
}

}  // namespace

TLkFileVersionInfo TLkFileVersionInfo::FromBlock(std::string_view block) {
  TLkFileVersionInfo info;
  if (block.size() < 6) NoVersionInfo();
  const Node root = ReadNode(block, 0, block.size());
  if (root.key != "VS_VERSION_INFO" || root.valueBytes != 52) NoVersionInfo();
  uint32_t* fields[] = {&info.fixed_.Signature,        &info.fixed_.StrucVersion,     &info.fixed_.FileVersionMS,
                        &info.fixed_.FileVersionLS,    &info.fixed_.ProductVersionMS, &info.fixed_.ProductVersionLS,
                        &info.fixed_.FileFlagsMask,    &info.fixed_.FileFlags,        &info.fixed_.FileOS,
                        &info.fixed_.FileType,         &info.fixed_.FileSubtype,      &info.fixed_.FileDateMS,
                        &info.fixed_.FileDateLS};
  for (std::size_t i = 0; i < 13; ++i) *fields[i] = Dword(block, root.valueAt + 4 * i);
  if (info.fixed_.Signature != 0xFEEF04BD) NoVersionInfo();

  ForEachChild(block, root, [&](const Node& part) {
    if (part.key == "StringFileInfo") {
      ForEachChild(block, part, [&](const Node& table) {
        std::vector<std::string>& entries = info.tables_[table.key];
        info.languages_.push_back(table.key);
        ForEachChild(block, table, [&](const Node& entry) {
          entries.push_back(entry.key + "=" + NarrowText(block, entry.valueAt, entry.valueBytes / 2));
        });
      });
    } else if (part.key == "VarFileInfo") {
      ForEachChild(block, part, [&](const Node& var) {
        if (var.key != "Translation") return;
        for (std::size_t i = 0; i + 4 <= var.valueBytes; i += 4)
          info.translation_.push_back(Dword(block, var.valueAt + i));
      });
    }
  });
  info.block_.assign(block.data(), root.end);
  return info;
}

bool TLkFileVersionInfo::HasFileFlag(TLkFileFlag flag) const {
  uint32_t bit = 0;
  switch (flag) {
    case TLkFileFlag::Debug: bit = 0x01; break;
    case TLkFileFlag::PreRelease: bit = 0x02; break;
    case TLkFileFlag::Patched: bit = 0x04; break;
    case TLkFileFlag::PrivateBuild: bit = 0x08; break;
    case TLkFileFlag::InfoInferred: bit = 0x10; break;
    case TLkFileFlag::SpecialBuild: bit = 0x20; break;
  }
  return (fixed_.FileFlags & fixed_.FileFlagsMask & bit) != 0;
}

std::string TLkFileVersionInfo::Value(const std::string& language, const std::string& name) const {
  const auto t = tables_.find(language);
  if (t == tables_.end()) return {};
  const std::string prefix = name + "=";
  for (const std::string& e : t->second)
    if (e.compare(0, prefix.size(), prefix) == 0) return e.substr(prefix.size());
  return {};
}
