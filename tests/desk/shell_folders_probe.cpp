// Writes an empty file named after its argument into every shell folder of
// the user (and the common ones) and prints each path it wrote, one a line.
//   shell_folders_probe TAG
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const int folders[] = {CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,        CSIDL_MYMUSIC,     CSIDL_MYPICTURES,
                         CSIDL_MYVIDEO,          CSIDL_TEMPLATES,       CSIDL_FAVORITES,   CSIDL_STARTMENU,
                         CSIDL_PROGRAMS,         CSIDL_STARTUP,         CSIDL_APPDATA,     CSIDL_LOCAL_APPDATA,
                         CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_STARTMENU};
  int failed = 0;
  for (int id : folders) {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, id | CSIDL_FLAG_CREATE, nullptr, 0, path))) {
      ++failed;
      continue;
    }
    const std::string file = std::string(path) + "\\" + argv[1] + "-" + std::to_string(id) + ".txt";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      ++failed;
      continue;
    }
    CloseHandle(h);
    std::printf("%s\n", file.c_str());
  }
  return failed ? 1 : 0;
}
