// TStringList: a list of byte strings, each with an optional object, that
// can keep itself sorted and converts to and from line text and comma text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/events.h"

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TObject {
 public:
  TStringList() = default;
  ~TStringList() override;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int index) const;
  void SetString(int index, const std::string& s);
  std::string operator[](int index) const { return Strings(index); }
  TObject* Objects(int index) const;
  void SetObject(int index, TObject* object);

  int Add(const std::string& s) { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* object);
  void Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }
  void InsertObject(int index, const std::string& s, TObject* object);
  void Delete(int index);
  void Clear();
  void Exchange(int a, int b);
  void Move(int from, int to);
  void AddStrings(const TStringList& other);
  void Assign(const TStringList& other);

  int IndexOf(const std::string& s) const;
  int IndexOfObject(const TObject* object) const;
  // Binary search in a sorted list: true and the index when found, else
  // false and the index where it would go.
  bool Find(const std::string& s, int& index) const;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates d) { duplicates_ = d; }
  bool CaseSensitive() const { return case_sensitive_; }
  void SetCaseSensitive(bool cs);
  // Owned objects are deleted with their entry and by Clear.
  bool OwnsObjects() const { return owns_objects_; }
  void SetOwnsObjects(bool owns) { owns_objects_ = owns; }
  // Replaces the comparison (locale compare by default).
  void SetCompare(std::function<int(const std::string&, const std::string&)> compare);
  void Sort();
  void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);

  // Lines joined by CR LF, each ending in one. Setting splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(const std::string& text);
  // Items separated by commas; an item with a blank, comma or quote (or an
  // empty one) is double-quoted with inner quotes doubled. Setting splits at
  // commas and at blanks/control characters outside quotes.
  std::string CommaText() const;
  void SetCommaText(const std::string& text);
  std::string DelimitedText(char delimiter, char quote) const;
  void SetDelimitedText(const std::string& text, char delimiter, char quote);

  // NAME=VALUE entries.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  std::string Values(const std::string& name) const;
  void SetValue(const std::string& name, const std::string& value);
  int IndexOfName(const std::string& name) const;

  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  TNotifyEvent OnChange;

 protected:
  int CompareStrings(const std::string& a, const std::string& b) const;

 private:
  struct Item {
    std::string s;
    TObject* object = nullptr;
  };
  void CheckIndex(int index) const;
  void Changed();
  void FreeObject(TObject* o);
  std::vector<Item> items_;
  bool sorted_ = false;
  bool case_sensitive_ = false;
  bool owns_objects_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
  std::function<int(const std::string&, const std::string&)> compare_;
  int updating_ = 0;
};
