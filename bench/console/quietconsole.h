// The console's main form for a benchmark: the install paths set, message
// boxes told on stderr instead of waiting for a click.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "console/win/lkmainform.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"

inline TLKMain* StartQuietConsole() {
  CoInitialize(nullptr);
  InitInstallPaths();
  static TUiSeam seam;
  seam.message_box = [](const std::string& text, const std::string&, UINT) {
    std::fprintf(stderr, "box: %s\n", text.c_str());
    return IDOK;
  };
  SetUiSeam(&seam);
  return new TLKMain(Application);
}
