// Saves the user-data file over and over, as the User Settings page does,
// alternating between two sets of records, until it is killed. Sets the
// event RUNNING once the saves begin; with --9x the replace takes the 9x
// line's renames.
//   userdata_saver.exe FILE RUNNING [--9x]
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/fileops.h"
#include "console/core/userdata.h"

namespace {
std::vector<TUserRow> Rows(char mark) {
  std::vector<TUserRow> rows;
  for (int i = 0; i < 300; ++i) {
    TUserRow r{"user" + std::to_string(i), {}};
    r.Record.Password = std::string(12, mark) + std::to_string(i);
    r.Record.SetMessageText("Hello <uname>\r\nline " + std::to_string(i));
    r.Record.OptionText = "1,3,8";
    rows.push_back(std::move(r));
  }
  return rows;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--9x")) return 2;
  if (argc == 4) lk_fileops::SetOneStepReplaceMissing(true);
  const std::vector<TUserRow> a = Rows('a'), b = Rows('b');
  TLkStreams container(nullptr);
  // Told once the saves begin: the test kills the process after that.
  HANDLE running = CreateEventA(nullptr, TRUE, FALSE, argv[2]);
  SetEvent(running);
  for (unsigned n = 0;; ++n) SaveUserRows(container, argv[1], n % 2 ? b : a);
}
