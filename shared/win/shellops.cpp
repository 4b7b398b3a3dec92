#include "shared/win/shellops.h"

#include <commctrl.h>

#include "base/win/comctl_load.h"
#include "base/win/lazy_dll.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"

bool MergeOverlayIcon(HICON& icon, HICON overlay, bool large) {
  const int cx = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
  const int cy = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
  HIMAGELIST list = comctl::ImageList_Create(cx, cy, ILC_MASK | ILC_COLOR32, 1, 0);
  if (!list) return false;
  if (comctl::ImageList_AddIcon(list, icon) < 0 || comctl::ImageList_AddIcon(list, overlay) < 0) {
    comctl::ImageList_Destroy(list);
    return false;
  }
  HIMAGELIST merged = comctl::ImageList_Merge(list, 0, list, 1, 0, 0);
  HICON result = merged ? comctl::ImageList_GetIcon(merged, 0, ILD_NORMAL) : nullptr;
  // Both lists go on every path: one refresh of a protected row must not
  // cost GDI handles.
  if (merged) comctl::ImageList_Destroy(merged);
  comctl::ImageList_Destroy(list);
  if (!result) return false;
  DestroyIcon(icon);
  icon = result;
  return true;
}

void AddLinkArrowOverlay(HICON& largeIcon, HICON& smallIcon) {
  HICON arrowLarge = nullptr, arrowSmall = nullptr;
  if (shell::ExtractIconExA("shell32.dll", 29, &arrowLarge, &arrowSmall, 1) == 2) {
    MergeOverlayIcon(largeIcon, arrowLarge, true);
    MergeOverlayIcon(smallIcon, arrowSmall, false);
  }
  if (arrowLarge) DestroyIcon(arrowLarge);
  if (arrowSmall) DestroyIcon(arrowSmall);
}

bool DeleteFilesViaShell(HWND owner, const std::vector<std::string>& paths, uint32_t options) {
  if (paths.empty()) return false;
  const std::string list = DoubleNulPathList(paths);
  SHFILEOPSTRUCTA op{};
  op.hwnd = owner;
  op.wFunc = FO_DELETE;
  op.pFrom = list.c_str();
  op.fFlags = DeleteOperationFlags(options);
  return shell::SHFileOperationA(&op) == 0;
}

bool ShowPropertiesDialog(HWND owner, const std::string& path) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST;
  info.hwnd = owner;
  info.lpVerb = "properties";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOW;
  return shell::ShellExecuteExA(&info) != 0;
}

bool ExecuteViaShell(const std::string& file, const std::string& parameters, const std::string& verb, int showCommand) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
  info.lpFile = TextOrNothing(file);
  info.lpParameters = TextOrNothing(parameters);
  info.lpVerb = TextOrNothing(verb);
  info.nShow = showCommand;
  return shell::ShellExecuteExA(&info) != 0;
}

bool StartNewLinkWizard(const std::string& folder) {
  if (folder.empty() || !RegistryKeyExists(".LNK\\ShellNew", HKEY_CLASSES_ROOT)) return false;
  const std::string command =
      ReadRegistryValue(HKEY_CLASSES_ROOT, ".LNK\\ShellNew", "Command", TLkVariant("")).AsString();
  if (command.empty()) return false;  // nothing to run: leave no stray empty link behind
  // The first free name; taken as it is made, so two calls never share one.
  std::string link;
  for (int attempt = 1;; ++attempt) {
    link = NewLinkFileName(folder, attempt);
    HANDLE h = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      break;
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 1000) RaiseWin32Error(error);
  }
  std::string line = NewLinkCommandLine(command, link);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    DeleteFileA(link.c_str());  // no command works on it: no empty link stays behind
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::string DefaultIconLocation(const std::string& typeKey) {
  const std::string key = IconLookupTypeKey(typeKey);
  std::string className = key == "Folder" || key == "Drive"
                              ? key
                              : ReadRegistryValue(HKEY_CLASSES_ROOT, key, "", TLkVariant("")).AsString();
  std::string icon;
  if (!className.empty())
    icon = ReadRegistryValue(HKEY_CLASSES_ROOT, className + "\\DefaultIcon", "", TLkVariant("")).AsString();
  if (!icon.empty()) return icon;
  return FallbackIconLocation(key, SystemFolder(), GatePath());
}

const char* TextOrNothing(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }
