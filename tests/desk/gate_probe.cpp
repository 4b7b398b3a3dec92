// A stand-in for the gate in the system folder: appends the one argument it
// was started with to C:\lkdesk\gate-runs.txt, a line per start, and ends.
#include <cstdio>

int main(int argc, char** argv) {
  std::FILE* f = std::fopen("C:\\lkdesk\\gate-runs.txt", "ab");
  if (!f) return 1;
  std::fprintf(f, "%s\n", argc == 2 ? argv[1] : "<not one argument>");
  std::fclose(f);
  return 0;
}
