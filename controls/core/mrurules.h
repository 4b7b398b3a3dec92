// The recent-name list's rules that need no window: the order of its
// entries, their numbered captions, the storage's value names and the
// shortening of a long path to a menu's width.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

enum class TMRUDisplay { mdFullPath, mdFileNameExt, mdFileNameOnly, mdCustom };

// The entries, newest at the top (or at the bottom without AddToTop);
// names compare without regard to case.
class TMRUEntries {
 public:
  bool AddToTop = true;

  int Maximum() const { return maximum_; }
  // A smaller maximum drops entries from the far end; true when any went.
  bool SetMaximum(int value);
  const std::vector<std::string>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int i) const { return items_.at(i); }

  // A name already present moves to the near end; a new one goes there and
  // the far end is trimmed to Maximum.
  void Add(const std::string& name);
  void Delete(int index);
  void Clear() { items_.clear(); }
  // The saved values (name, data) in the order the storage lists them:
  // when every name is "F" and digits they are put in the order of their
  // numbers (a registry lists F10 before F2); the list is then trimmed.
  void Load(std::vector<std::pair<std::string, std::string>> values);
  // The value names and data to save: "F0", "F1", ... in list order.
  std::vector<std::pair<std::string, std::string>> SaveValues() const;

 private:
  void Trim();
  int maximum_ = 5;
  std::vector<std::string> items_;
};

// The accelerator prefix of the entry at a 0-based index: "&1 " ... "&9 ",
// "&0 ", "&A " ... "&Z "; nothing from the 37th entry on.
std::string MRUPrefix(int index);
// A name as a menu caption shows it: every "&" doubled.
std::string MenuLiteral(const std::string& text);

// The caption of an entry's menu item. The prefix keeps its accelerator;
// the entry is shown literally. With mdFullPath and a width, the entry is
// shortened to fit `maxWidth` (measured by `widthOf`) first; mdFileNameExt
// and mdFileNameOnly show the name part (with or without its extension).
// mdCustom: the full caption, which the owner's event may change later.
std::string MRUCaption(TMRUDisplay display, int index, const std::string& entry, int maxWidth,
                       const std::function<int(const std::string&)>& widthOf);

// A path shortened to `maxWidth`: folders are replaced by "..." from the
// left, keeping the drive and the last folders ("C:\...\dir\name.ext");
// when even "...\name.ext" is too wide, the name itself is cut with "...".
std::string MinimizePath(const std::string& path, int maxWidth, const std::function<int(const std::string&)>& widthOf);
