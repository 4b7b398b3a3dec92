// The replace by renames (the 9x line's) on a disk in memory that can stop
// or fail after any step: whatever happens, a reader finds the whole old
// file or the whole new one, and a save is reported done only when the new
// file is in place.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/filereplace.h"

namespace {

using lk_replace::AsideName;
using lk_replace::FileToRead;
using lk_replace::ReplaceByRenames;

// The process ends here: nothing after this step happens.
struct TStopped {};

// Files by name; each Move and Remove is one step, counted from 0. A step
// at `stopAt` ends the process before it is done; the steps in `failing`
// fail without changing anything.
class TFakeDisk : public lk_replace::TRenameOps {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::set<std::string> readOnly;
  std::map<std::string, uint32_t> unreadable;  // look-ups that fail with this code
  std::optional<int> stopAt;
  std::set<int> failing;
  int steps = 0;

  lk_fileops::TLookup LookUp(const std::string& name) override {
    if (auto u = unreadable.find(name); u != unreadable.end()) return {false, false, u->second};
    if (folders.count(name)) return {true, true, 0};
    if (!files.count(name)) return {false, false, 2};
    return {true, false, 0, readOnly.count(name) > 0};
  }
  bool Move(const std::string& from, const std::string& to) override {
    if (!Step() || !files.count(from) || files.count(to) || folders.count(to)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  bool Remove(const std::string& name) override {
    if (!Step() || !files.count(name)) return false;
    files.erase(name);
    return true;
  }

  // What a reader of `target` finds afterwards; "-" for no file.
  std::string Read(const std::string& target) {
    stopAt.reset();
    failing.clear();
    const std::string name = FileToRead(*this, target);
    return files.count(name) ? files[name] : "-";
  }

 private:
  bool Step() {
    const int step = steps++;
    if (stopAt && step == *stopAt) throw TStopped{};
    return !failing.count(step);
  }
};

const std::string kTarget = "C:\\Lockmere\\lmdata.bin", kNew = kTarget + ".tmp~", kAside = kTarget + ".old~";

// The disk before a replace of kTarget by kNew ("new").
struct TStart {
  const char* what;
  std::map<std::string, std::string> files;
  const char* old;  // what the target holds before: "-" for none
};
const TStart kStarts[] = {
    {"an old file", {{kTarget, "old"}, {kNew, "new"}}, "old"},
    {"no file yet", {{kNew, "new"}}, "-"},
    {"a stale aside copy beside a whole file", {{kTarget, "old"}, {kAside, "older"}, {kNew, "new"}}, "old"},
    {"only the aside copy of a replace stopped between its moves", {{kAside, "old"}, {kNew, "new"}}, "old"},
};

TFakeDisk DiskAt(const TStart& start) {
  TFakeDisk disk;
  disk.files = start.files;
  return disk;
}

int StepsOfAWholeReplace(const TStart& start) {
  TFakeDisk disk = DiskAt(start);
  EXPECT_TRUE(ReplaceByRenames(disk, kNew, kTarget));
  EXPECT_EQ(disk.files, (std::map<std::string, std::string>{{kTarget, "new"}})) << "nothing else is left";
  return disk.steps;
}

TEST(ReplaceByRenames, StoppedAfterAnyStepAReaderFindsTheWholeOldOrNewFile) {
  for (const TStart& start : kStarts) {
    const int steps = StepsOfAWholeReplace(start);
    for (int stop = 0; stop <= steps; ++stop) {
      SCOPED_TRACE(std::string(start.what) + ", stopped before step " + std::to_string(stop));
      TFakeDisk disk = DiskAt(start);
      disk.stopAt = stop;
      bool done = false;
      try {
        done = ReplaceByRenames(disk, kNew, kTarget);
      } catch (const TStopped&) {
      }
      const std::string found = disk.Read(kTarget);
      EXPECT_TRUE(found == start.old || found == "new") << found;
      if (done) {
        EXPECT_EQ(found, "new");
      }
      // The next save starts from whatever was left and completes.
      disk.files[kNew] = "newer";
      EXPECT_TRUE(ReplaceByRenames(disk, kNew, kTarget));
      EXPECT_EQ(disk.Read(kTarget), "newer");
      EXPECT_EQ(disk.files, (std::map<std::string, std::string>{{kTarget, "newer"}}));
    }
  }
}

TEST(ReplaceByRenames, EachFailingStepIsAFailureUnlessTheNewFileIsInPlace) {
  for (const TStart& start : kStarts) {
    const int steps = StepsOfAWholeReplace(start);
    // One failing step, and each pair: the put-back after a failed move may fail too.
    std::vector<std::set<int>> cases;
    for (int a = 0; a < steps + 1; ++a) {
      cases.push_back({a});
      for (int b = a + 1; b < steps + 1; ++b) cases.push_back({a, b});
    }
    for (const std::set<int>& failing : cases) {
      std::string trace = std::string(start.what) + ", failing steps";
      for (int f : failing) trace += " " + std::to_string(f);
      SCOPED_TRACE(trace);
      TFakeDisk disk = DiskAt(start);
      disk.failing = failing;
      const bool done = ReplaceByRenames(disk, kNew, kTarget);
      const bool newInPlace = disk.files.count(kTarget) && disk.files[kTarget] == "new";
      EXPECT_EQ(done, newInPlace);
      // A failed save leaves its new file for the caller to remove, and,
      // where only one step failed, the old file in its place.
      if (!done) {
        EXPECT_EQ(disk.files[kNew], "new");
        if (failing.size() == 1) {
          EXPECT_EQ(disk.files.count(kTarget) ? disk.files[kTarget] : "-", start.old);
        }
      }
      const std::string found = disk.Read(kTarget);
      EXPECT_EQ(found, done ? "new" : start.old);
    }
  }
}

TEST(ReplaceByRenames, WhatCannotBeMovedAboutIsAFailureWithNoStep) {
  struct {
    const char* what;
    void (*arrange)(TFakeDisk&);
  } cases[] = {
      {"a folder in the target's place", [](TFakeDisk& d) { d.folders.insert(kTarget); }},
      {"a folder in the aside copy's place", [](TFakeDisk& d) { d.folders.insert(kAside); }},
      {"a read-only target", [](TFakeDisk& d) { d.readOnly.insert(kTarget); }},
      {"a target that cannot be looked up", [](TFakeDisk& d) { d.unreadable[kTarget] = 5; }},
      {"an aside name that cannot be looked up", [](TFakeDisk& d) { d.unreadable[kAside] = 53; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeDisk disk;
    disk.files = {{kTarget, "old"}, {kNew, "new"}};
    c.arrange(disk);
    EXPECT_FALSE(ReplaceByRenames(disk, kNew, kTarget));
    EXPECT_EQ(disk.steps, 0);
  }
}

TEST(FileToRead, PutsBackTheAsideCopyOnlyWhereTheTargetIsMissing) {
  struct {
    const char* what;
    std::map<std::string, std::string> files;
    std::set<int> failing;
    uint32_t targetLookupError;  // 0: the disk's own answer
    std::string read;            // the name answered
    std::map<std::string, std::string> after;
  } cases[] = {
      {"a whole file", {{kTarget, "a"}}, {}, 0, kTarget, {{kTarget, "a"}}},
      {"a whole file beside a stale copy", {{kTarget, "a"}, {kAside, "b"}}, {}, 0, kTarget,
       {{kTarget, "a"}, {kAside, "b"}}},
      {"only the aside copy", {{kAside, "b"}}, {}, 0, kTarget, {{kTarget, "b"}}},
      {"only the aside copy, which cannot be moved", {{kAside, "b"}}, {0}, 0, kAside, {{kAside, "b"}}},
      {"nothing", {}, {}, 0, kTarget, {}},
      // Present but not to be looked up: never taken for missing.
      {"a target that cannot be looked up", {{kAside, "b"}}, {}, 5, kTarget, {{kAside, "b"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeDisk disk;
    disk.files = c.files;
    disk.failing = c.failing;
    if (c.targetLookupError) disk.unreadable[kTarget] = c.targetLookupError;
    EXPECT_EQ(FileToRead(disk, kTarget), c.read);
    EXPECT_EQ(disk.files, c.after);
  }
}

TEST(RemoveWithAside, TheCopyGoesFirstSoADeletedFileNeverComesBack) {
  for (int stop = 0; stop <= 2; ++stop) {
    SCOPED_TRACE(stop);
    TFakeDisk disk;
    disk.files = {{kTarget, "a"}, {kAside, "b"}};
    disk.stopAt = stop;
    bool removed = false;
    try {
      removed = lk_replace::RemoveWithAside(disk, kTarget);
    } catch (const TStopped&) {
    }
    const std::string found = disk.Read(kTarget);
    EXPECT_TRUE(found == "a" || found == "-") << found;
    EXPECT_EQ(removed, stop == 2);
  }
  TFakeDisk none;
  EXPECT_TRUE(lk_replace::RemoveWithAside(none, kTarget));
  TFakeDisk stuck;
  stuck.files = {{kTarget, "a"}, {kAside, "b"}};
  stuck.failing = {0};
  EXPECT_FALSE(lk_replace::RemoveWithAside(stuck, kTarget));
  EXPECT_EQ(stuck.files.count(kTarget), 1u) << "the file stays while its copy does";
}

TEST(AsideName, IsTheTargetWithAnExtensionOfItsOwn) {
  EXPECT_EQ(AsideName("C:\\Users\\x\\Desktop\\Notes.lnk"), "C:\\Users\\x\\Desktop\\Notes.lnk.old~");
  EXPECT_EQ(AsideName("lmlog.bin"), "lmlog.bin.old~");
  EXPECT_EQ(lk_replace::TargetOfAside("Notes.LNK.OLD~"), "Notes.LNK");
  for (const char* none : {"Notes.lnk", ".old~", "Notes.lnk.old", "Notes.lnk~old"})
    EXPECT_EQ(lk_replace::TargetOfAside(none), "") << none;
}

TEST(NamesWithStoppedReplaces, EachLinkOnceWhateverItsReplaceLeft) {
  using Names = std::vector<std::string>;
  struct {
    const char* what;
    Names links, asides, listed;
  } cases[] = {
      {"no copies", {"A.lnk", "B.lnk"}, {}, {"A.lnk", "B.lnk"}},
      {"a stale copy beside its link", {"A.lnk", "B.lnk"}, {"A.lnk.old~"}, {"A.lnk", "B.lnk"}},
      {"letter case differs", {"Notes.lnk"}, {"NOTES.LNK.OLD~"}, {"Notes.lnk"}},
      {"a copy whose link is missing", {"B.lnk"}, {"A.lnk.old~"}, {"B.lnk", "A.lnk"}},
      {"only copies", {}, {"A.lnk.old~", "C.lnk.old~"}, {"A.lnk", "C.lnk"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(lk_replace::NamesWithStoppedReplaces(c.links, c.asides), c.listed) << c.what;
}

}  // namespace
