// Saves the user-data file over and over, as the User Settings page does,
// alternating between two sets of records, until it is killed.
#include <windows.h>

#include <cstdio>
#include <string>

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
  if (argc != 2) return 2;
  const std::vector<TUserRow> a = Rows('a'), b = Rows('b');
  TLkStreams container(nullptr);
  // Told once the saves begin: the test kills the process after that.
  HANDLE running = CreateEventA(nullptr, TRUE, FALSE, "LkUserDataSaverRunning");
  SetEvent(running);
  for (unsigned n = 0;; ++n) SaveUserRows(container, argv[1], n % 2 ? b : a);
}
