#include <gtest/gtest.h>

#include <filesystem>

#include "base/streams.h"
#include "gate/core/logfile.h"

namespace {

class LogFile : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("gate_logfile_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "lmlog.bin").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static TLogRecord Run(const std::string& user) { return {user, "C:\\App\\app.exe", "1:00 PM - 1/1/2026", "1:05 PM - 1/1/2026", "7"}; }
  std::vector<std::string> Names() {
    TLkStreams c(nullptr);
    c.SetKey("4617");
    c.LoadFromFile(path_);
    std::vector<std::string> names;
    for (int i = 0; i < c.StreamList().Count(); ++i) names.push_back(c.StreamList()[i]);
    return names;
  }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(LogFile, ThreeRunsGiveOneTwoThreeAndTheRecordsReadBack) {
  for (const char* user : {"a", "b", "c"}) {
    TLkStreams c(nullptr);
    c.SetEncrypted(true);
    c.SetKey("4617");
    AppendLogRecord(c, path_, Run(user));
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"1", "2", "3"}));
  TLkStreams c(nullptr);
  c.SetKey("4617");
  c.LoadFromFile(path_);
  TMemoryStream m;
  c.GetStream("2", m);
  EXPECT_EQ(DecodeLogRecord(m.AsString()), Run("b"));
  EXPECT_TRUE(c.Encrypted());
}

TEST_F(LogFile, NumberingSurvivesADeletion) {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  for (const char* user : {"a", "b", "c"}) AppendLogRecord(c, path_, Run(user));
  // The console deletes record "2": the next one is "4", and "3" keeps its run.
  c.ClearStreams();
  c.LoadFromFile(path_);
  TMemoryStream one, three;
  c.GetStream("1", one);
  c.GetStream("3", three);
  c.ClearStreams();
  c.AddStream("1", one);
  c.AddStream("3", three);
  c.SaveToFile(path_);
  EXPECT_EQ(AppendLogRecord(c, path_, Run("d")).RecordName, "4");
  EXPECT_EQ(Names(), (std::vector<std::string>{"1", "3", "4"}));
  c.ClearStreams();
  c.LoadFromFile(path_);
  TMemoryStream m;
  c.GetStream("3", m);
  EXPECT_EQ(DecodeLogRecord(m.AsString()).UserName, "c");
}

TEST_F(LogFile, UnreadableLogIsMovedAsideNotOverwritten) {
  const std::string junk = "&*this is not a container";
  ReplaceFileAtomically(path_, junk.data(), junk.size());
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  const TLogAppendResult r = AppendLogRecord(c, path_, Run("a"));
  EXPECT_EQ(r.RecordName, "1");
  ASSERT_FALSE(r.SetAside.empty());
  EXPECT_EQ(ReadFileBytes(r.SetAside), junk);
  EXPECT_EQ(Names(), (std::vector<std::string>{"1"}));
  // A second bad log goes beside the first, never over it.
  ReplaceFileAtomically(path_, junk.data(), junk.size());
  const TLogAppendResult r2 = AppendLogRecord(c, path_, Run("b"));
  EXPECT_NE(r2.SetAside, r.SetAside);
  EXPECT_TRUE(FileExists(r.SetAside));
}

// Users may write the log but make no file beside it: no temporary file
// can be made (here a folder holds its name), so the log is written in place.
TEST_F(LogFile, WithoutATemporaryFileTheLogIsWrittenInPlace) {
  std::filesystem::create_directory(path_ + ".tmp~");
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  EXPECT_THROW(AppendLogRecord(c, path_, Run("a")), EStreamError) << "no log yet: nothing to write over";
  ReplaceFileAtomically(path_ + ".x", "", 0);
  std::filesystem::rename(path_ + ".x", path_);  // the administrator's empty log
  EXPECT_EQ(AppendLogRecord(c, path_, Run("a")).RecordName, "1");
  EXPECT_EQ(AppendLogRecord(c, path_, Run("b")).RecordName, "2");
  EXPECT_EQ(Names(), (std::vector<std::string>{"1", "2"}));
  EXPECT_FALSE(FileExists(path_ + ".bad")) << "an empty log is no bad log";
  EXPECT_TRUE(std::filesystem::is_directory(path_ + ".tmp~"));
}

TEST_F(LogFile, RecordKeptAsideGoesToTheFirstFolderThatTakesIt) {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  const std::string missing = (dir_ / "no such folder").string();
  const std::string aside = KeepLogRecordAside(c, {missing, dir_.string()}, "lmlog.bin", "12-34", Run("a"));
  EXPECT_EQ(aside, (dir_ / "lmlog.bin.12-34.rec").string());
  TLkStreams r(nullptr);
  r.SetKey("4617");
  r.LoadFromFile(aside);
  ASSERT_EQ(r.StreamList().Count(), 1);
  TMemoryStream m;
  r.GetStream("1", m);
  EXPECT_EQ(DecodeLogRecord(m.AsString()), Run("a"));
  EXPECT_TRUE(r.Encrypted());
  // Never over an earlier one; no folder at all raises.
  EXPECT_THROW(KeepLogRecordAside(c, {dir_.string()}, "lmlog.bin", "12-34", Run("b")), EStreamError);
  EXPECT_THROW(KeepLogRecordAside(c, {missing}, "lmlog.bin", "1", Run("b")), EStreamError);
}

TEST_F(LogFile, UserDataStatuses) {
  const std::string data = (dir_ / "lmdata.bin").string();
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  TUserRecord rec;
  EXPECT_EQ(ReadUserData(c, data, "All Users", rec), TUserDataStatus::Missing);

  TUserRecord stored;
  stored.Password = "pw";
  stored.SetMessageText("Hi\r\n<uname>");
  stored.OptionText = "1,6";
  TMemoryStream m;
  const std::string bytes = EncodeUserRecord(stored);
  m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  c.AddStream("All Users", m);
  c.SaveToFile(data);

  TLkStreams reader(nullptr);
  reader.SetKey("4617");
  ASSERT_EQ(ReadUserData(reader, data, "all users", rec), TUserDataStatus::Read);
  EXPECT_EQ(rec.Password, "pw");
  EXPECT_EQ(rec.MessageText(), "Hi\r\n<uname>");
  EXPECT_EQ(rec.OptionText, "1,6");
  EXPECT_EQ(ReadUserData(reader, data, "bob", rec), TUserDataStatus::Missing);
  EXPECT_EQ(rec.Password, "");

  std::string corrupt = ReadFileBytes(data);
  corrupt[corrupt.size() / 2] ^= 0x5A;
  corrupt[corrupt.size() - 1] ^= 0x33;
  ReplaceFileAtomically(data, corrupt.data(), corrupt.size());
  EXPECT_EQ(ReadUserData(reader, data, "All Users", rec), TUserDataStatus::Unreadable);
  EXPECT_EQ(rec.Password, "");
}

}  // namespace
