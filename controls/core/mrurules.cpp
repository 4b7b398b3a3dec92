#include "controls/core/mrurules.h"

#include <algorithm>
#include <cstdlib>

#include "base/locale.h"
#include "base/sysutils.h"
#include "controls/core/textfit.h"

bool TMRUEntries::SetMaximum(int value) {
  if (value < 0) value = 0;
  const bool smaller = value < maximum_;
  maximum_ = value;
  if (!smaller || Count() <= maximum_) return false;
  Trim();
  return true;
}

void TMRUEntries::Trim() {
  while (Count() > maximum_) {
    if (AddToTop)
      items_.pop_back();
    else
      items_.erase(items_.begin());
  }
}

void TMRUEntries::Add(const std::string& name) {
  auto same = std::find_if(items_.begin(), items_.end(), [&](const std::string& s) { return AnsiSameText(s, name); });
  // A name already present moves, as it was first written.
  const std::string entry = same != items_.end() ? *same : name;
  if (same != items_.end()) items_.erase(same);
  if (AddToTop)
    items_.insert(items_.begin(), entry);
  else
    items_.push_back(entry);
  Trim();
}

void TMRUEntries::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

namespace {
// The number of a value name "F<digits>", or -1.
long SlotNumber(const std::string& name) {
  if (name.size() < 2 || name.size() > 10 || (name[0] != 'F' && name[0] != 'f')) return -1;
  for (std::size_t i = 1; i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return -1;
  return std::strtol(name.c_str() + 1, nullptr, 10);
}
}  // namespace

void TMRUEntries::Load(std::vector<std::pair<std::string, std::string>> values) {
  const bool numbered = std::all_of(values.begin(), values.end(), [](const auto& v) { return SlotNumber(v.first) >= 0; });
  if (numbered)
    std::stable_sort(values.begin(), values.end(),
                     [](const auto& a, const auto& b) { return SlotNumber(a.first) < SlotNumber(b.first); });
  items_.clear();
  for (const auto& v : values) items_.push_back(v.second);
  Trim();
}

std::vector<std::pair<std::string, std::string>> TMRUEntries::SaveValues() const {
  std::vector<std::pair<std::string, std::string>> out;
  for (int i = 0; i < Count(); ++i) out.emplace_back("F" + IntToStr(i), items_[i]);
  return out;
}

std::string MRUPrefix(int index) {
  static const char kKeys[] = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (index < 0 || index >= 36) return {};
  return std::string("&") + kKeys[index] + " ";
}

std::string MenuLiteral(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

std::string MRUCaption(TMRUDisplay display, int index, const std::string& entry, int maxWidth,
                       const std::function<int(const std::string&)>& widthOf) {
  const std::string prefix = MRUPrefix(index);
  switch (display) {
    case TMRUDisplay::mdFullPath:
      if (maxWidth != 0 && widthOf) return prefix + MenuLiteral(MinimizePath(entry, maxWidth, widthOf));
      return prefix + MenuLiteral(entry);
    case TMRUDisplay::mdFileNameExt:
      return MenuLiteral(ExtractFileName(prefix + entry));
    case TMRUDisplay::mdFileNameOnly: {
      std::string name = ExtractFileName(prefix + entry);
      const std::string ext = ExtractFileExt(name);
      return MenuLiteral(name.substr(0, name.size() - ext.size()));
    }
    case TMRUDisplay::mdCustom:
      break;
  }
  return prefix + MenuLiteral(entry);
}

std::string MinimizePath(const std::string& path, int maxWidth, const std::function<int(const std::string&)>& widthOf) {
  if (widthOf(path) <= maxWidth) return path;
  // The drive ("C:" or "\\server\share") stays in front of the folders.
  std::string drive;
  std::size_t rest = 0;
  if (path.size() >= 2 && path[1] == ':') {
    drive = path.substr(0, 2);
    rest = 2;
  } else if (path.rfind("\\\\", 0) == 0) {
    std::size_t share = path.find('\\', 2);
    share = share == std::string::npos ? std::string::npos : path.find('\\', share + 1);
    rest = share == std::string::npos ? path.size() : share;
    drive = path.substr(0, rest);
  }
  std::vector<std::string> parts;
  for (std::size_t i = rest; i <= path.size();) {
    std::size_t cut = path.find('\\', i);
    if (cut == std::string::npos) cut = path.size();
    if (cut > i) parts.push_back(path.substr(i, cut - i));
    i = cut + 1;
  }
  if (parts.empty()) return MinimizeText(path, widthOf, maxWidth);
  const std::string name = parts.back();
  parts.pop_back();
  // Drop folders from the left until the rest fits.
  for (std::size_t k = 1; k <= parts.size(); ++k) {
    std::string tail;
    for (std::size_t i = k; i < parts.size(); ++i) tail += parts[i] + "\\";
    const std::string candidate = drive + "\\...\\" + tail + name;
    if (widthOf(candidate) <= maxWidth) return candidate;
  }
  const std::string bare = "...\\" + name;
  if (widthOf(bare) <= maxWidth) return bare;
  return MinimizeText(name, widthOf, maxWidth);
}
