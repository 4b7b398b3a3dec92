// The log survives a gate killed in the middle of its append: it always
// loads, holds only whole records, and loses none: after each kill it holds
// what it held before, every run the writer finished, and at most the one
// it was writing. On both paths of the replace: one step, and the 9x
// line's renames.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "base/fileops.h"
#include "base/filereplace.h"
#include "base/streams.h"
#include "console/core/logrows.h"
#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"
#include "tests/console/kill_support.h"

namespace {

struct TSavePath {
  const char* name;
  const char* flag;  // the writer's
};
void PrintTo(const TSavePath& path, std::ostream* out) { *out << path.name; }

// The whole lines of the writer's notes: one per run it finished.
int NotedRuns(const std::string& notes) {
  if (!FileExists(notes)) return 0;
  int lines = 0;
  for (char c : ReadFileBytes(notes)) lines += c == '\n';
  return lines;
}

class LogFileKill : public ::testing::TestWithParam<TSavePath> {};

TEST_P(LogFileKill, AKilledAppendLeavesALogOfWholeRecords) {
  const std::string folder = lkkill::ScratchFolder(std::string("lk-log-kill-") + GetParam().name);
  const std::string log = folder + "\\lmlog.bin", notes = folder + "\\notes.txt";
  const std::string running = std::string("LkLogWriterRunning-") + GetParam().name;
  DeleteFileA(log.c_str());

  std::mt19937 random(20270114);
  int held = 0, fromAside = 0;
  constexpr int kRounds = 60;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    DeleteFileA(notes.c_str());
    const std::string command = lkkill::Quoted(lkkill::WindowsPath(LK_LOG_WRITER_EXE)) + " " + lkkill::Quoted(log) +
                                " 1000000 killed " + lkkill::Quoted(notes) + " --first " + std::to_string(held) +
                                " --running " + running + GetParam().flag;
    ASSERT_EQ(lkkill::RunAndKill(command, running, random() % 40), "");
    const int noted = NotedRuns(notes);
    fromAside += !FileExists(log) && FileExists(lk_replace::AsideName(log));
    // As the Log View reads it.
    const std::string file = lk_fileops::ReplacedFileToRead(log);
    if (!FileExists(file)) {
      ASSERT_EQ(held + noted, 0) << "a log with runs in it is gone";
      continue;
    }
    TLkStreams container(nullptr);
    container.SetKey("4617");
    ASSERT_NO_THROW(LoadLogFile(container, file));
    const TStringList& list = container.StreamList();
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i]);
    const std::vector<int> order = LogRecordOrder(names);
    // Whole records, one per run, in the order they were written.
    for (std::size_t k = 0; k < order.size(); ++k) {
      const auto* stream = static_cast<const TMemoryStream*>(list.Objects(order[k]));
      const TLogRecord record = DecodeLogRecord(stream->AsString());
      ASSERT_EQ(record, (TLogRecord{"killed", "C:\\App\\app.exe", std::to_string(k), std::nullopt, std::nullopt}))
          << "record " << names[order[k]];
    }
    const int now = static_cast<int>(order.size());
    ASSERT_GE(now, held + noted) << "a run the writer finished is missing";
    ASSERT_LE(now, held + noted + 1) << "more than the run being written was added";
    held = now;
  }
  EXPECT_FALSE(FileExists(log + ".bad")) << "the log was never found damaged";
  EXPECT_GT(held, kRounds);
  std::printf("%d runs logged in %d rounds; %d rounds found the log between its renames\n", held, kRounds, fromAside);
  lkkill::RemoveFolder(folder);
}

INSTANTIATE_TEST_SUITE_P(Paths, LogFileKill,
                         ::testing::Values(TSavePath{"OneStep", ""}, TSavePath{"Renames9x", " --9x"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
