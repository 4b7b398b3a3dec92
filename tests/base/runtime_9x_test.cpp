// The programs' runtime makes its semaphores through CreateSemaphoreA: the
// import slot it calls CreateSemaphoreW through holds our routine.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/win/runtime_9x.h"

namespace {

TEST(Runtime9x, TheWideSemaphoreCallIsMadeThroughTheAnsiOne) {
  EXPECT_EQ(reinterpret_cast<void*>(&::CreateSemaphoreW), reinterpret_cast<void*>(&CreateSemaphoreThroughAnsi));

  HANDLE unnamed = CreateSemaphoreW(nullptr, 0, 2, nullptr);
  ASSERT_NE(unnamed, nullptr);
  EXPECT_TRUE(ReleaseSemaphore(unnamed, 2, nullptr));
  EXPECT_EQ(WaitForSingleObject(unnamed, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(unnamed);

  // A name arrives in the ANSI code page: the same object by its ANSI name.
  HANDLE named = CreateSemaphoreW(nullptr, 1, 1, L"LkRuntime9x\u00E9");
  ASSERT_NE(named, nullptr);
  HANDLE again = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "LkRuntime9x\xE9");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(WaitForSingleObject(again, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(named, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "one count, shared";
  CloseHandle(again);
  CloseHandle(named);
}

}  // namespace
