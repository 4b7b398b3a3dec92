#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "base/filereplace.h"
#include "base/streams.h"
#include "console/core/userdata.h"
#include "shared/core/errors.h"

namespace {

class UserData : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("lk-userdata-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "lmdata.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  TUserRow Row(const char* name, const char* password, const char* message, const char* options) {
    TUserRow r{name, {}};
    r.Record.Password = password;
    r.Record.SetMessageText(message);
    r.Record.OptionText = options;
    return r;
  }

  std::filesystem::path dir_;
  std::string path_;
  TLkStreams container_{nullptr};
};

TEST_F(UserData, RowsComeBackForTheListedNamesInTheirOrder) {
  SaveUserRows(container_, path_, {Row("All Users", "pw", "Hi\r\n<uname>", "1,3,8"), Row("ann", "", "", "")});
  const std::vector<TUserRow> rows = LoadUserRows(container_, path_, {"ANN", "bob", "All Users"});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Name, "ANN");  // looked up without regard to case
  EXPECT_EQ(rows[0].Record.LineCount, 3);
  EXPECT_EQ(rows[1].Record.LineCount, 0);  // not in the file: empty
  EXPECT_EQ(rows[2].Record.Password, "pw");
  EXPECT_EQ(rows[2].Record.StoredMessage, "Hi\xFF<uname>");
  EXPECT_EQ(rows[2].Record.OptionText, "1,3,8");
  EXPECT_EQ(container_.Count(), 0);
}

// A save by renames (the 9x line's) stopped between its two moves leaves
// the old file under its aside name only: it is put back and read.
TEST_F(UserData, AFileLeftAsideByAStoppedSaveIsPutBackAndRead) {
  SaveUserRows(container_, path_, {Row("All Users", "old", "", "")});
  std::filesystem::rename(path_, lk_replace::AsideName(path_));
  const std::vector<TUserRow> rows = LoadUserRows(container_, path_, {"All Users"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Record.Password, "old");
  EXPECT_TRUE(FileExists(path_));
  EXPECT_FALSE(FileExists(lk_replace::AsideName(path_)));
}

TEST_F(UserData, AMissingFileGivesEmptyRecords) {
  const std::vector<TUserRow> rows = LoadUserRows(container_, path_, {"All Users"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Record.Password, "");
}

TEST_F(UserData, SavingTwiceGivesTheSameFile) {
  const std::vector<TUserRow> rows = {Row("All Users", "a", "b", "1"), Row("bob", "c", "", "6")};
  SaveUserRows(container_, path_, rows);
  const std::string first = ReadFileBytes(path_);
  SaveUserRows(container_, path_, rows);
  EXPECT_EQ(ReadFileBytes(path_), first);
}

// A plain file read before (the log is one users can write) does not decide
// how the user data is written: always compressed and enciphered.
TEST_F(UserData, ASaveIsEncipheredWhateverWasReadBefore) {
  const std::string plainPath = (dir_ / "plain.bin").string();
  container_.SetCompressed(false);
  container_.SetEncrypted(false);
  container_.SetKey("other");
  TMemoryStream one;
  one.WriteBuffer("x", 1);
  container_.AddStream("1", one);
  container_.SaveToFile(plainPath);
  container_.LoadFromFile(plainPath);
  SaveUserRows(container_, path_, {Row("All Users", "secret", "", "")});
  EXPECT_EQ(ReadFileBytes(path_).find("secret"), std::string::npos);
  TLkStreams reader(nullptr);
  reader.SetKey(kDataFileKey);
  reader.LoadFromFile(path_);
  EXPECT_TRUE(reader.Compressed());
  EXPECT_TRUE(reader.Encrypted());
}

TEST_F(UserData, ADamagedFileRaisesAndIsLeftAsItWas) {
  ReplaceFileAtomically(path_, "&damaged", 8);
  EXPECT_THROW(LoadUserRows(container_, path_, {"All Users"}), ECorruptFile);
  EXPECT_EQ(ReadFileBytes(path_), "&damaged");
}

}  // namespace
