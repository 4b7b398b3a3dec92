// Each test process starts as the programs do: system character tables,
// install paths, then COM for the shell-link object.
#include <gtest/gtest.h>
#include <objbase.h>

#include "forms/win/syslocale.h"
#include "shared/win/installpaths.h"

int main(int argc, char** argv) {
  InstallSystemCharLocale();
  InitInstallPaths();
  CoInitialize(nullptr);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
