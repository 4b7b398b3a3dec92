#include "gate/win/processlist.h"

#include <tlhelp32.h>

#include "base/stringlist.h"
#include "base/sysutils.h"
#include "shared/win/installpaths.h"

namespace {

using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using GetModuleInformationFn = BOOL(WINAPI*)(HANDLE, HMODULE, void*, DWORD);
using GetModuleBaseNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using ModuleWalkFn = BOOL(WINAPI*)(HANDLE, MODULEENTRY32*);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
using QueryFullNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

struct TPsapi {
  bool bound = false;
  EnumProcessesFn EnumProcesses = nullptr;
  EnumProcessModulesFn EnumProcessModules = nullptr;
  GetModuleFileNameExFn GetModuleFileNameExA = nullptr;
  GetModuleInformationFn GetModuleInformation = nullptr;
  GetModuleBaseNameFn GetModuleBaseNameA = nullptr;
};

struct TToolHelp {
  bool bound = false;
  CreateSnapshotFn CreateToolhelp32Snapshot = nullptr;
  ModuleWalkFn Module32First = nullptr;
  ModuleWalkFn Module32Next = nullptr;
  ProcessWalkFn Process32First = nullptr;
  ProcessWalkFn Process32Next = nullptr;
  QueryFullNameFn QueryFullProcessImageNameA = nullptr;  // NT 6 and later
};

template <class F>
F Entry(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Bound once; the library stays loaded for the process's life.
const TPsapi& Psapi() {
  static const TPsapi p = [] {
    TPsapi r;
    HMODULE lib = LoadLibraryA("PSAPI.dll");
    r.EnumProcesses = Entry<EnumProcessesFn>(lib, "EnumProcesses");
    r.EnumProcessModules = Entry<EnumProcessModulesFn>(lib, "EnumProcessModules");
    r.GetModuleFileNameExA = Entry<GetModuleFileNameExFn>(lib, "GetModuleFileNameExA");
    r.GetModuleInformation = Entry<GetModuleInformationFn>(lib, "GetModuleInformation");
    r.GetModuleBaseNameA = Entry<GetModuleBaseNameFn>(lib, "GetModuleBaseNameA");
    r.bound = r.EnumProcesses && r.EnumProcessModules && r.GetModuleFileNameExA && r.GetModuleInformation &&
              r.GetModuleBaseNameA;
    return r;
  }();
  return p;
}

const TToolHelp& ToolHelp() {
  static const TToolHelp t = [] {
    TToolHelp r;
    HMODULE k = GetModuleHandleA("kernel32.dll");
    r.CreateToolhelp32Snapshot = Entry<CreateSnapshotFn>(k, "CreateToolhelp32Snapshot");
    r.Module32First = Entry<ModuleWalkFn>(k, "Module32First");
    r.Module32Next = Entry<ModuleWalkFn>(k, "Module32Next");
    r.Process32First = Entry<ProcessWalkFn>(k, "Process32First");
    r.Process32Next = Entry<ProcessWalkFn>(k, "Process32Next");
    r.QueryFullProcessImageNameA = Entry<QueryFullNameFn>(k, "QueryFullProcessImageNameA");
    r.bound = r.CreateToolhelp32Snapshot && r.Module32First && r.Module32Next && r.Process32First && r.Process32Next;
    return r;
  }();
  return t;
}

TObject* IdObject(DWORD id) { return reinterpret_cast<TObject*>(static_cast<uintptr_t>(id)); }

std::string CutAtNul(const char* buffer, std::size_t size) {
  std::size_t n = 0;
  while (n < size && buffer[n]) ++n;
  return std::string(buffer, n);
}

bool IsBareFileName(const std::string& name) {
  return name.find('\\') == std::string::npos && name.find('/') == std::string::npos;
}

bool ListWithToolHelp(TStringList& list, bool fullPath) {
  const TToolHelp& th = ToolHelp();
  if (!th.bound) return false;
  HANDLE snapshot = th.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  struct Closer {
    HANDLE h;
    ~Closer() { CloseHandle(h); }
  } closer{snapshot};

  const bool majorVersion5 = VersionKindFlag(wvkNT5);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);  // 296 bytes
  for (BOOL more = th.Process32First(snapshot, &entry); more; more = th.Process32Next(snapshot, &entry)) {
    const std::string field = CutAtNul(entry.szExeFile, sizeof(entry.szExeFile));
    std::string name;
    if (entry.th32ProcessID == 0) {
      name = "System Idle Process";
    } else if (majorVersion5) {
      name = ProcessImageName(entry.th32ProcessID, fullPath);
      if (name.empty()) name = field;
    } else if (fullPath && IsBareFileName(field)) {
      // NT 6 and later (and Wine) give only the file name here; the watch
      // needs the path the shell reported, or it ends at the first tick.
      name = FullProcessImagePath(entry.th32ProcessID);
      if (name.empty()) name = field;
    } else {
      name = fullPath ? field : ExtractFileName(field);
    }
    list.AddObject(name, IdObject(entry.th32ProcessID));
    entry.dwSize = sizeof(entry);
  }
  return true;
}

bool ListWithPsapi(TStringList& list, bool fullPath) {
  const TPsapi& ps = Psapi();
  if (!ps.bound) return false;
  DWORD ids[1025];
  DWORD bytes = 0;
  if (!ps.EnumProcesses(ids, sizeof(ids), &bytes)) return false;
  const bool nt4 = VersionKindFlag(wvkNT4);
  const bool majorVersion5 = VersionKindFlag(wvkNT5);
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    const DWORD id = ids[i];
    std::string name;
    if (id == 0)
      name = "System Idle Process";
    else if (id == 2 && nt4)
      name = "System Process";
    else if (id == 8 && majorVersion5)
      name = "System Process";
    else
      name = ProcessImageName(id, fullPath);
    if (!name.empty()) list.AddObject(name, IdObject(id));
  }
  return true;
}

}  // namespace

bool LoadPsapi() { return Psapi().bound; }
bool LoadToolHelp() { return ToolHelp().bound; }

std::string ProcessImageName(DWORD processId, bool fullPath) {
  const TPsapi& ps = Psapi();
  if (!ps.bound) return {};
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return {};
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = fullPath ? ps.GetModuleFileNameExA(process, nullptr, buffer, MAX_PATH)
                           : ps.GetModuleBaseNameA(process, nullptr, buffer, MAX_PATH);
  CloseHandle(process);
  return n ? CutAtNul(buffer, sizeof(buffer)) : std::string();
}

std::string FullProcessImagePath(DWORD processId) {
  const TToolHelp& th = ToolHelp();
  if (th.QueryFullProcessImageNameA) {
    HANDLE process = OpenProcess(0x1000 /* PROCESS_QUERY_LIMITED_INFORMATION */, FALSE, processId);
    if (process) {
      char buffer[MAX_PATH + 1] = {};
      DWORD size = MAX_PATH;
      const BOOL ok = th.QueryFullProcessImageNameA(process, 0, buffer, &size);
      CloseHandle(process);
      if (ok) return CutAtNul(buffer, sizeof(buffer));
    }
  }
  return ProcessImageName(processId, true);
}

bool ListRunningProcesses(TStringList& list, bool fullPath) {
  const int kind = WindowsVersionKind();
  if (kind == wvkNT3 || kind == wvkNT4) return ListWithPsapi(list, fullPath);
  return ListWithToolHelp(list, fullPath);
}

DWORD ProcessIdOf(const TStringList& list, int index) {
  return static_cast<DWORD>(reinterpret_cast<uintptr_t>(list.Objects(index)));
}

bool ProgramListed(const TStringList& list, const std::string& name1, const std::string& name2,
                   const std::string& name3) {
  for (const std::string* name : {&name1, &name2, &name3})
    if (!name->empty() && list.IndexOf(*name) >= 0) return true;
  return false;
}

TStartedProcess StartedProcessState(HANDLE process) {
  if (!process) return TStartedProcess::Unknown;
  switch (WaitForSingleObject(process, 0)) {
    case WAIT_OBJECT_0: return TStartedProcess::Ended;
    case WAIT_TIMEOUT: return TStartedProcess::Running;
    default: return TStartedProcess::Unknown;
  }
}
