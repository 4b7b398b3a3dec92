// The runtime's own locks (static initialisation guards, the locale, the
// exception pool) make their semaphores with CreateSemaphoreW. The 9x line
// exports it but answers no handle, so there the first such lock that two
// threads want at once would end the program. This object fills the import
// slot the runtime calls through: the programs link it directly (an object,
// not a library member, so it stands before the system's import library is
// searched), and the slot's call goes to CreateSemaphoreA, which every system
// carries out. The import table then names no CreateSemaphoreW.
#include "base/win/runtime_9x.h"

#include <string>

HANDLE WINAPI CreateSemaphoreThroughAnsi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name) {
  if (!name) return CreateSemaphoreA(security, initial, maximum, nullptr);
  const int size = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return nullptr;
  std::string ansi(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, ansi.data(), size, nullptr, nullptr);
  return CreateSemaphoreA(security, initial, maximum, ansi.c_str());
}

// The slot's name as the import library spells it: decorated on 32 bits.
#if defined(__i386__)
#define LK_IMPORT_SLOT(name, argBytes) "__imp__" #name "@" #argBytes
#else
#define LK_IMPORT_SLOT(name, argBytes) "__imp_" #name
#endif

extern "C" {
extern decltype(&::CreateSemaphoreW) const gCreateSemaphoreWSlot __asm__(LK_IMPORT_SLOT(CreateSemaphoreW, 16));
decltype(&::CreateSemaphoreW) const gCreateSemaphoreWSlot = &CreateSemaphoreThroughAnsi;
}
