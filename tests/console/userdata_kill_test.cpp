// The user-data file survives the process being killed in the middle of a
// save: it always loads, as the old records or the new ones, whether the
// save replaces the file in one step or by the 9x line's renames.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "base/filereplace.h"
#include "base/streams.h"
#include "console/core/userdata.h"
#include "tests/console/kill_support.h"

namespace {

struct TSavePath {
  const char* name;
  const char* flag;  // the saver's
};
void PrintTo(const TSavePath& path, std::ostream* out) { *out << path.name; }

class UserDataFile : public ::testing::TestWithParam<TSavePath> {};

TEST_P(UserDataFile, AKilledSaveLeavesAFileThatLoads) {
  const std::string folder = lkkill::ScratchFolder(std::string("lk-userdata-kill-") + GetParam().name);
  const std::string path = folder + "\\lmdata.bin";
  const std::string running = std::string("LkUserDataSaverRunning-") + GetParam().name;
  DeleteFileA(path.c_str());
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("user" + std::to_string(i));

  std::mt19937 random(20261210);
  int loaded = 0, fromAside = 0;
  for (int round = 0; round < 100; ++round) {
    // Killed once its saves run, at a moment of the loop nobody chose (one
    // save takes a few milliseconds).
    const std::string command = lkkill::Quoted(lkkill::WindowsPath(LK_SAVER_EXE)) + " " + lkkill::Quoted(path) +
                                " " + running + GetParam().flag;
    const std::string failure = lkkill::RunAndKill(command, running, random() % 60);
    ASSERT_EQ(failure, "") << "round " << round;
    const bool whole = FileExists(path), aside = FileExists(lk_replace::AsideName(path));
    if (!whole && !aside) continue;  // killed before the first save ended
    fromAside += !whole;
    TLkStreams container(nullptr);
    std::vector<TUserRow> rows;
    ASSERT_NO_THROW(rows = LoadUserRows(container, path, names)) << "round " << round;
    ASSERT_EQ(rows.size(), names.size());
    const char mark = rows[0].Record.Password[0];
    ASSERT_TRUE(mark == 'a' || mark == 'b') << "round " << round;
    // One save's records throughout, never a mix.
    for (const TUserRow& r : rows) ASSERT_EQ(r.Record.Password[0], mark) << "round " << round;
    ++loaded;
  }
  EXPECT_GT(loaded, 50);
  std::printf("%d of 100 rounds loaded, %d of them from a save stopped between its renames\n", loaded, fromAside);
  lkkill::RemoveFolder(folder);
}

INSTANTIATE_TEST_SUITE_P(Paths, UserDataFile,
                         ::testing::Values(TSavePath{"OneStep", ""}, TSavePath{"Renames9x", " --9x"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
