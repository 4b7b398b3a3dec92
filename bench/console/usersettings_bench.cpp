// What the User Settings page adds to the container's own work when it loads
// and saves the user-data file: 10, 1,000 and 10,000 users, page and
// container alone on the same file in the same run, rounds alternating, the
// fastest round of each reported.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/streams.h"
#include "console/core/userdata.h"
#include "bench/console/quietconsole.h"
#include "bench/console/race.h"
#include "console/win/lkmainform.h"
#include "console/win/usersettingspage.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"

namespace {

constexpr int kRounds = 7;

std::vector<TUserRow> Users(int n) {
  std::vector<TUserRow> rows;
  for (int i = 0; i < n; ++i) {
    TUserRow r{i == 0 ? "All Users" : "user" + std::to_string(i), {}};
    r.Record.Password = "password " + std::to_string(i);
    r.Record.SetMessageText("Welcome, <uname>.\r\nThis machine is watched; today is <date>.");
    r.Record.OptionText = "1,3,8";
    rows.push_back(std::move(r));
  }
  return rows;
}

}  // namespace

int main() {
  TLKMain* main = StartQuietConsole();
  // The page as the administrator has it: shown, its list a real window.
  main->Show();
  main->OutBarra->SetSelectedItem(2);
  main->OutBarraItemClick(main->OutBarra);
  TUserSettingsPage* page = main->UserSettingsPage;
  page->UserPassLista->HandleNeeded();
  const std::string path = UserDataPath();
  std::printf("users   page load  container load  ratio  list alone   page save  container save  ratio\n");
  for (int n : {10, 1000, 10000}) {
    const std::vector<TUserRow> users = Users(n);
    TLkStreams writer(nullptr);
    SaveUserRows(writer, path, users);
    main->State.UserNames.Clear();
    for (const TUserRow& u : users) main->State.UserNames.Add(u.Name);

    // Loading: the page reads the file and fills its list; the container
    // alone reads the file and takes every entry out.
    double pageLoad = 0, containerLoad = 0;
    TLkStreams reader(nullptr);
    reader.SetKey(kDataFileKey);
    // Each round starts from an empty list, as the page does at start.
    const HWND list = page->UserPassLista->Handle();
    Race(kRounds,
        [&] {
          page->UserPassLista->SetOwnerDataCount(0);
          page->LoadUserData();
        },
        [&] {
          reader.LoadFromFile(path);
          TMemoryStream scratch;
          for (const TUserRow& u : users) {
            scratch.Clear();
            reader.GetStream(u.Name, scratch);
          }
        },
        pageLoad, containerLoad);
    // What the common control alone takes to show that many rows, for
    // telling the page's own share from the list's.
    double listAlone = 0, unused = 0;
    Race(kRounds,
        [&] {
          SendMessageA(list, LVM_SETITEMCOUNT, 0, 0);
          SendMessageA(list, LVM_SETITEMCOUNT, n, 0);
        },
        [] {}, listAlone, unused);
    const int shown = static_cast<int>(SendMessageA(page->UserPassLista->Handle(), LVM_GETITEMCOUNT, 0, 0));
    if (shown != n) std::fprintf(stderr, "the page shows %d rows\n", shown);

    // Saving: the page writes its rows; the container alone saves what it holds.
    double pageSave = 0, containerSave = 0;
    Race(kRounds, [&] { page->SaveUserData(); }, [&] { reader.SaveToFile(path); }, pageSave, containerSave);
    std::printf("%6d %9.1f ms %11.1f ms %7.2f %8.1f ms %9.1f ms %12.1f ms %7.2f\n", n, pageLoad, containerLoad,
                pageLoad / containerLoad, listAlone, pageSave, containerSave, pageSave / containerSave);
  }
  std::printf("target: the page adds at most 50 %% (ratio <= 1.5), and grows linearly\n");
  DeleteFileA(path.c_str());
  TCustomForm::Free(main);
  return 0;
}
