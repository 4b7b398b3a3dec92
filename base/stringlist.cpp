#include "base/stringlist.h"

#include <algorithm>

#include "base/locale.h"
#include "base/streams.h"
#include "base/sysutils.h"

TStringList::~TStringList() {
  OnChange = nullptr;
  Clear();
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TStringList::Changed() {
  if (OnChange) OnChange(this);
}

void TStringList::FreeObject(TObject* o) {
  if (owns_objects_) delete o;
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[index].s;
}

void TStringList::SetString(int index, const std::string& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index);
  items_[index].s = s;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::SetObject(int index, TObject* object) {
  CheckIndex(index);
  items_[index].object = object;
  Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  if (compare_) return compare_(a, b);
  return case_sensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::SetCompare(std::function<int(const std::string&, const std::string&)> compare) {
  compare_ = std::move(compare);
  if (sorted_) Sort();
}

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (duplicates_ == TDuplicates::dupIgnore) return index;
      if (duplicates_ == TDuplicates::dupError) throw EListError("String list does not allow duplicates");
    }
  }
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
  return index;
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  TObject* o = items_[index].object;
  items_.erase(items_.begin() + index);
  FreeObject(o);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  auto old = std::move(items_);
  items_.clear();
  for (auto& it : old) FreeObject(it.object);
  Changed();
}

void TStringList::Exchange(int a, int b) {
  CheckIndex(a);
  CheckIndex(b);
  std::swap(items_[a], items_[b]);
  Changed();
}

void TStringList::Move(int from, int to) {
  CheckIndex(from);
  CheckIndex(to);
  Item it = items_[from];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, it);
  Changed();
}

void TStringList::AddStrings(const TStringList& other) {
  for (const auto& it : other.items_) AddObject(it.s, it.object);
}

void TStringList::Assign(const TStringList& other) {
  if (&other == this) return;
  Clear();
  AddStrings(other);
}

int TStringList::IndexOf(const std::string& s) const {
  if (sorted_) {
    int i;
    return Find(s, i) ? i : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(items_[i].s, s) == 0) return i;
  return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i].object == object) return i;
  return -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Strings added in their order (a sorted file read back) belong after the
  // last one: one comparison instead of a search.
  if (!items_.empty() && CompareStrings(items_.back().s, s) < 0) {
    index = Count();
    return false;
  }
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(items_[mid].s, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != TDuplicates::dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted_ == sorted) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool cs) {
  if (case_sensitive_ == cs) return;
  case_sensitive_ = cs;
  if (sorted_) Sort();
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.s, b.s) < 0; });
  Changed();
}

void TStringList::CustomSort(const std::function<int(const TStringList&, int, int)>& compare) {
  if (sorted_ || Count() < 2) return;
  // Sort an index permutation, then apply it.
  std::vector<int> order(Count());
  for (int i = 0; i < Count(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(items_[i]);
  items_.swap(sorted);
  Changed();
}

std::string TStringList::Text() const {
  std::string r;
  for (const auto& it : items_) {
    r += it.s;
    r += "\r\n";
  }
  return r;
}

void TStringList::SetText(const std::string& text) {
  Clear();
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    std::size_t j = i;
    while (j < n && text[j] != '\r' && text[j] != '\n') ++j;
    Add(text.substr(i, j - i));
    if (j < n && text[j] == '\r') ++j;
    if (j < n && text[j] == '\n') ++j;
    i = j;
  }
}

std::string TStringList::DelimitedText(char delimiter, char quote) const {
  if (Count() == 1 && items_[0].s.empty()) return std::string(2, quote);
  std::string r;
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = items_[i].s;
    const bool needs = std::any_of(s.begin(), s.end(), [&](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == delimiter || c == quote;
    });
    if (i) r += delimiter;
    if (needs) {
      r += quote;
      for (char c : s) {
        if (c == quote) r += quote;
        r += c;
      }
      r += quote;
    } else {
      r += s;
    }
  }
  return r;
}

void TStringList::SetDelimitedText(const std::string& text, char delimiter, char quote) {
  Clear();
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto isBlank = [](char c) { return c > 0 && static_cast<unsigned char>(c) <= ' '; };
  while (i < n && isBlank(text[i])) ++i;
  while (i < n) {
    std::string item;
    if (text[i] == quote) {
      ++i;
      while (i < n) {
        if (text[i] == quote) {
          if (i + 1 < n && text[i + 1] == quote) {
            item += quote;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < n && text[i] != delimiter && !isBlank(text[i])) item += text[i++];
    }
    Add(item);
    while (i < n && isBlank(text[i])) ++i;
    if (i < n && text[i] == delimiter) {
      ++i;
      // A trailing delimiter stands for one more, empty, item.
      if (i >= n) Add("");
      while (i < n && isBlank(text[i])) ++i;
    }
  }
}

std::string TStringList::CommaText() const { return DelimitedText(',', '"'); }
void TStringList::SetCommaText(const std::string& text) { SetDelimitedText(text, ',', '"'); }

std::string TStringList::Names(int index) const {
  const std::string& s = Strings(index);
  const auto p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& s = Strings(index);
  const auto p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

int TStringList::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const auto p = items_[i].s.find('=');
    if (p != std::string::npos && CompareStrings(items_[i].s.substr(0, p), name) == 0) return i;
  }
  return -1;
}

std::string TStringList::Values(const std::string& name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(const std::string& name, const std::string& value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i >= 0) {
    items_[i].s = name + "=" + value;
    Changed();
  } else {
    Add(name + "=" + value);
  }
}

void TStringList::LoadFromStream(TStream& stream) {
  const int64_t n = stream.Size() - stream.Position();
  std::string text(static_cast<std::size_t>(std::max<int64_t>(n, 0)), '\0');
  stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  SetText(text);
}

void TStringList::SaveToStream(TStream& stream) const {
  const std::string t = Text();
  stream.WriteBuffer(t.data(), static_cast<int64_t>(t.size()));
}

void TStringList::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStringList::SaveToFile(const std::string& fileName) const {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
  f.Flush();
}
