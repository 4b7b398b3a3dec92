#include <gtest/gtest.h>

#include <filesystem>

#include "base/fileops.h"
#include "base/filereplace.h"
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

  // A folder where the file should be is no missing file.
  std::filesystem::remove(data);
  std::filesystem::create_directory(data);
  EXPECT_EQ(ReadUserData(reader, data, "All Users", rec), TUserDataStatus::Unreadable);
}

// A replace by renames (the 9x line's) stopped between its two moves leaves
// the log under its aside name only: the append puts it back and adds to
// it, on either path of its own replace, instead of starting a new log.
TEST_F(LogFile, ALogLeftAsideByAStoppedReplaceIsAppendedTo) {
  for (bool renames : {false, true}) {
    SCOPED_TRACE(renames ? "renames" : "one step");
    std::filesystem::remove(path_);
    TLkStreams c(nullptr);
    c.SetEncrypted(true);
    c.SetKey("4617");
    for (const char* user : {"a", "b"}) AppendLogRecord(c, path_, Run(user));
    std::filesystem::rename(path_, lk_replace::AsideName(path_));
    lk_fileops::SetOneStepReplaceMissing(renames);
    const TLogAppendResult r = AppendLogRecord(c, path_, Run("c"));
    lk_fileops::SetOneStepReplaceMissing(false);
    EXPECT_EQ(r.RecordName, "3");
    EXPECT_TRUE(r.SetAside.empty());
    EXPECT_EQ(Names(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(FileExists(lk_replace::AsideName(path_)));
  }
}

TEST_F(LogFile, UserDataLeftAsideByAStoppedReplaceIsRead) {
  const std::string data = (dir_ / "lmdata.bin").string();
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  TUserRecord stored;
  stored.Password = "pw";
  TMemoryStream m;
  const std::string bytes = EncodeUserRecord(stored);
  m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  c.AddStream("All Users", m);
  c.SaveToFile(lk_replace::AsideName(data));
  TLkStreams reader(nullptr);
  reader.SetKey("4617");
  TUserRecord rec;
  ASSERT_EQ(ReadUserData(reader, data, "All Users", rec), TUserDataStatus::Read);
  EXPECT_EQ(rec.Password, "pw");
  EXPECT_TRUE(FileExists(data));
  // Something in the file's place that cannot be read is not passed over
  // for the copy: the gate fails closed.
  std::filesystem::remove(data);
  std::filesystem::create_directory(data);
  c.SaveToFile(lk_replace::AsideName(data));
  EXPECT_EQ(ReadUserData(reader, data, "All Users", rec), TUserDataStatus::Unreadable) << "the folder in its place";
}

// Only "file not found" and "path not found" mean there is no file; any
// other failure to look it up, and a folder in its place, is unreadable.
TEST(DataFileLookup, OnlyNotFoundMeansMissing) {
  const struct {
    lk_fileops::TLookup found;
    TDataFileLookup expected;
  } cases[] = {
      {{true, false, 0}, TDataFileLookup::Load},
      {{true, true, 0}, TDataFileLookup::Unreadable},      // a folder of that name
      {{false, false, 2}, TDataFileLookup::Missing},       // ERROR_FILE_NOT_FOUND
      {{false, false, 3}, TDataFileLookup::Missing},       // ERROR_PATH_NOT_FOUND
      {{false, false, 5}, TDataFileLookup::Unreadable},    // ERROR_ACCESS_DENIED
      {{false, false, 21}, TDataFileLookup::Unreadable},   // ERROR_NOT_READY
      {{false, false, 32}, TDataFileLookup::Unreadable},   // ERROR_SHARING_VIOLATION
      {{false, false, 53}, TDataFileLookup::Unreadable},   // ERROR_BAD_NETPATH
      {{false, false, 67}, TDataFileLookup::Unreadable},   // ERROR_BAD_NET_NAME
      {{false, false, 123}, TDataFileLookup::Unreadable},  // ERROR_INVALID_NAME ("|" in a folder name)
      {{false, false, 161}, TDataFileLookup::Unreadable},  // ERROR_BAD_PATHNAME
      {{false, false, 206}, TDataFileLookup::Unreadable},  // ERROR_FILENAME_EXCED_RANGE
      {{false, false, 1231}, TDataFileLookup::Unreadable}, // ERROR_NETWORK_UNREACHABLE
      {{false, false, 0}, TDataFileLookup::Unreadable},    // a failure without a code
  };
  for (const auto& c : cases)
    EXPECT_EQ(DataFileLookup(c.found), c.expected) << c.found.Found << c.found.Folder << " " << c.found.Error;
}

// A damaged log in a folder that takes neither a temporary file nor a
// moved-aside file (folders hold those names): its bytes are kept in the
// first other folder that takes a file, and the log is rewritten in place,
// so this run and the next are in the log.
TEST_F(LogFile, DamagedLogThatCannotBeMovedIsKeptElsewhereAndRewrittenInPlace) {
  const std::string junk = "&*a damaged log";
  ReplaceFileAtomically(path_, junk.data(), junk.size());
  std::filesystem::create_directory(path_ + ".tmp~");
  std::filesystem::create_directory(path_ + ".bad");
  const std::filesystem::path keep = dir_ / "keep";
  std::filesystem::create_directory(keep);
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  // Nowhere to keep its bytes: the damaged log is left as it is.
  EXPECT_THROW(AppendLogRecord(c, path_, Run("a"), {(dir_ / "no such folder").string()}), EStreamError);
  EXPECT_EQ(ReadFileBytes(path_), junk);

  const TLogAppendResult r = AppendLogRecord(c, path_, Run("a"), {(dir_ / "no such folder").string(), keep.string()});
  EXPECT_EQ(r.RecordName, "1");
  EXPECT_EQ(r.SetAside, (keep / "lmlog.bin.bad").string());
  EXPECT_EQ(ReadFileBytes(r.SetAside), junk);
  EXPECT_EQ(AppendLogRecord(c, path_, Run("b"), {keep.string()}).RecordName, "2");
  EXPECT_EQ(Names(), (std::vector<std::string>{"1", "2"}));
  EXPECT_TRUE(std::filesystem::is_directory(path_ + ".bad"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(keep), {}), 1) << "one copy, of the damaged log only";
}

// A log longer than the limit is not read: moved aside like a damaged one,
// or, where it cannot be moved, left as it is (too large to copy).
TEST_F(LogFile, OversizedLogIsNotReadButMovedAside) {
  {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    std::filesystem::resize_file(path_, kLogSizeLimit + 1);  // sparse
  }
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  std::filesystem::create_directory(path_ + ".bad");
  EXPECT_THROW(AppendLogRecord(c, path_, Run("a"), {dir_.string()}), EStreamError);
  EXPECT_EQ(std::filesystem::file_size(path_), static_cast<std::uintmax_t>(kLogSizeLimit + 1));
  std::filesystem::remove(path_ + ".bad");

  const TLogAppendResult r = AppendLogRecord(c, path_, Run("a"), {dir_.string()});
  EXPECT_EQ(r.RecordName, "1");
  EXPECT_EQ(r.SetAside, path_ + ".bad");
  EXPECT_EQ(std::filesystem::file_size(r.SetAside), static_cast<std::uintmax_t>(kLogSizeLimit + 1));
  EXPECT_EQ(Names(), (std::vector<std::string>{"1"}));
}

}  // namespace
