// The replace's 9x path against what only Windows does: sharing, read-only
// files, the error a failure leaves, and what a search for links finds.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/filereplace.h"
#include "base/fileops.h"
#include "base/streams.h"

namespace {

class ReplaceOn9xPath : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "lk-replace9x-" + std::to_string(GetCurrentProcessId()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    path_ = folder_ + "\\lmlog.bin";
    lk_fileops::SetOneStepReplaceMissing(true);
  }
  void TearDown() override {
    lk_fileops::SetOneStepReplaceMissing(false);
    for (const std::string& name : Left()) {
      SetFileAttributesA((folder_ + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((folder_ + "\\" + name).c_str());
    }
    RemoveDirectoryA(folder_.c_str());
  }
  static void Put(const std::string& name, const std::string& bytes) {
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
  }
  std::vector<std::string> Left(const char* pattern = "*") const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder_ + "\\" + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
  }

  std::string folder_, path_;
};

TEST_F(ReplaceOn9xPath, ATargetHeldOpenStaysAndTheFailureSaysWhy) {
  Put(path_, "old");
  Put(path_ + ".tmp~", "new");
  HANDLE held = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SetLastError(0);
  EXPECT_FALSE(lk_fileops::MoveReplace(path_ + ".tmp~", path_));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_EQ(Left(), (std::vector<std::string>{"lmlog.bin", "lmlog.bin.tmp~"}));
}

TEST_F(ReplaceOn9xPath, ANewFileHeldOpenFailsTheSecondMoveAndTheOldFileComesBack) {
  Put(path_, "old");
  Put(path_ + ".tmp~", "new");
  HANDLE held = CreateFileA((path_ + ".tmp~").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SetLastError(0);
  EXPECT_FALSE(lk_fileops::MoveReplace(path_ + ".tmp~", path_));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "the second move's failure, not the put-back's";
  CloseHandle(held);
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_FALSE(FileExists(lk_replace::AsideName(path_)));
}

// As MoveFileExA on the NT line refuses it (Wine's replaces it), though a
// rename alone would move it: a read-only file is not to be replaced.
TEST_F(ReplaceOn9xPath, AReadOnlyTargetIsRefused) {
  Put(path_, "old");
  SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
  Put(path_ + ".tmp~", "new");
  EXPECT_FALSE(lk_fileops::MoveReplace(path_ + ".tmp~", path_));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_FALSE(FileExists(lk_replace::AsideName(path_)));
}

// The aside name of a link is never found by a search for links, under its
// long name or its short one; a name such as "x.lnk~old" would be.
TEST_F(ReplaceOn9xPath, ALinkSearchFindsNoAsideCopy) {
  const std::string link = folder_ + "\\Notes.lnk";
  Put(lk_replace::AsideName(link), "old link");
  EXPECT_TRUE(Left("*.lnk").empty());
  EXPECT_EQ(Left(lk_replace::AsideName("*.lnk").c_str()), std::vector<std::string>{"Notes.lnk.old~"});
  char shortName[MAX_PATH] = {};
  GetShortPathNameA(lk_replace::AsideName(link).c_str(), shortName, MAX_PATH);
  const std::string s = shortName;
  EXPECT_NE(s.substr(s.size() - 4), ".LNK") << s;
  // The search matches short names too: this one is found as a link.
  Put(folder_ + "\\Notes.lnk~old", "old link");
  EXPECT_EQ(Left("*.lnk"), std::vector<std::string>{"Notes.lnk~old"});
}

}  // namespace
