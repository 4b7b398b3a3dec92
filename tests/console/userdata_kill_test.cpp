// The user-data file survives the process being killed in the middle of a
// save: it always loads, as the old records or the new ones.
#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

#include "console/core/userdata.h"

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string SaverPath() {
  std::string p = std::string("Z:") + LK_SAVER_EXE;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

TEST(UserDataFile, AKilledSaveLeavesAFileThatLoads) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "lk-userdata-kill";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\lmdata.bin";
  DeleteFileA(path.c_str());
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) names.push_back("user" + std::to_string(i));

  std::mt19937 random(20261210);
  int loaded = 0;
  HANDLE running = CreateEventA(nullptr, TRUE, FALSE, "LkUserDataSaverRunning");
  for (int round = 0; round < 100; ++round) {
    ResetEvent(running);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = Quoted(SaverPath()) + " " + Quoted(path);
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &si, &pi));
    // Killed once its saves run, at a moment of the loop nobody chose (one
    // save takes a few milliseconds).
    ASSERT_EQ(WaitForSingleObject(running, 60000), WAIT_OBJECT_0) << "the saver starts";
    Sleep(random() % 60);
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // killed before the first save ended
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
  CloseHandle(running);
  EXPECT_GT(loaded, 50);
  DeleteFileA(path.c_str());
  DeleteFileA((path + ".tmp~").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
