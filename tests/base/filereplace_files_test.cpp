// The atomic replace on real files, with the one-step replace missing as on
// the 9x line (natively and under Wine, where MoveFileA and DeleteFileA do
// the renames).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/filereplace.h"
#include "base/fileops.h"
#include "base/streams.h"
#include "base/sysutils.h"

namespace {

class ReplaceOnFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("lk-replace-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "lmdata.bin").string();
    aside_ = lk_replace::AsideName(path_);
    lk_fileops::SetOneStepReplaceMissing(true);
  }
  void TearDown() override {
    lk_fileops::SetOneStepReplaceMissing(false);
    std::filesystem::remove_all(dir_);
  }
  void Write(const std::string& name, const std::string& bytes) {
    lk_fileops::SetOneStepReplaceMissing(false);
    ReplaceFileAtomically(name, bytes.data(), bytes.size());
    lk_fileops::SetOneStepReplaceMissing(true);
  }
  // The names left in the folder.
  std::vector<std::string> Left() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::filesystem::path dir_;
  std::string path_, aside_;
};

TEST_F(ReplaceOnFiles, OverAnExistingFileAndIntoAMissingOne) {
  ReplaceFileAtomically(path_, "first", 5);
  EXPECT_EQ(ReadFileBytes(path_), "first");
  ReplaceFileAtomically(path_, "second", 6);
  EXPECT_EQ(ReadFileBytes(path_), "second");
  EXPECT_EQ(Left(), std::vector<std::string>{"lmdata.bin"}) << "no temporary file, no aside copy";
}

TEST_F(ReplaceOnFiles, AStaleAsideCopyIsClearedAndNeverRead) {
  Write(path_, "whole");
  Write(aside_, "stale");
  EXPECT_EQ(lk_fileops::ReplacedFileToRead(path_), path_);
  ReplaceFileAtomically(path_, "new", 3);
  EXPECT_EQ(ReadFileBytes(path_), "new");
  EXPECT_FALSE(FileExists(aside_));
}

TEST_F(ReplaceOnFiles, AReplaceStoppedBetweenItsMovesIsReadFromItsAsideCopy) {
  Write(aside_, "old");
  EXPECT_EQ(lk_fileops::ReplacedFileToRead(path_), path_);
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_FALSE(FileExists(aside_));
  // And a save that finds it so takes it as the old file.
  Write(aside_, "older");
  std::filesystem::remove(path_);
  ReplaceFileAtomically(path_, "new", 3);
  EXPECT_EQ(ReadFileBytes(path_), "new");
  EXPECT_EQ(Left(), std::vector<std::string>{"lmdata.bin"});
}

TEST_F(ReplaceOnFiles, AFailingSecondMovePutsTheOldFileBack) {
  Write(path_, "old");
  // No new file to move in: the old one has gone aside by then.
  EXPECT_FALSE(lk_fileops::MoveReplace((dir_ / "gone.tmp~").string(), path_));
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_EQ(Left(), std::vector<std::string>{"lmdata.bin"});
}

TEST_F(ReplaceOnFiles, AFailureIsReportedAndLeavesTheFileAsItWas) {
  Write(path_, "old");
  std::filesystem::create_directory(aside_);  // the aside name is taken by a folder
  EXPECT_THROW(ReplaceFileAtomically(path_, "new", 3), EWriteError);
  EXPECT_EQ(ReadFileBytes(path_), "old");
  EXPECT_FALSE(FileExists(path_ + ".tmp~"));
  std::filesystem::remove(aside_);
  std::filesystem::create_directory(dir_ / "folder");
  EXPECT_THROW(ReplaceFileAtomically((dir_ / "folder").string(), "new", 3), EWriteError);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder"));
}

TEST_F(ReplaceOnFiles, DeletingTakesTheAsideCopyToo) {
  Write(path_, "whole");
  Write(aside_, "stale");
  EXPECT_TRUE(lk_fileops::DeleteReplacedFile(path_));
  EXPECT_EQ(lk_fileops::ReplacedFileToRead(path_), path_);
  EXPECT_TRUE(Left().empty());
  EXPECT_TRUE(lk_fileops::DeleteReplacedFile(path_)) << "nothing to delete is deleted";
}

}  // namespace
