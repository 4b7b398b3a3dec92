#include "shared/win/shellops.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/win/dib.h"
#include "base/win/lazy_dll.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"

namespace {

// An icon's pixels at a size, top row first, as BGRA with straight alpha:
// from its own alpha channel where it has one, else from its mask.
bool IconPixels(HICON icon, int cx, int cy, std::vector<uint32_t>& out) {
  HICON sized = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0));
  if (!sized) return false;
  ICONINFO ii{};
  const bool got = GetIconInfo(sized, &ii);
  DestroyIcon(sized);
  if (!got) return false;
  bool ok = ii.hbmColor != nullptr;  // a two-colour icon is no overlay's ground
  if (ok) {
    BITMAPINFO bi = TopDownDib32(cx, cy);
    std::vector<uint32_t> mask(static_cast<size_t>(cx) * cy);
    out.assign(mask.size(), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    ok = GetDIBits(dc, ii.hbmColor, 0, cy, out.data(), &bi, DIB_RGB_COLORS) == cy &&
         GetDIBits(dc, ii.hbmMask, 0, cy, mask.data(), &bi, DIB_RGB_COLORS) == cy;
    DeleteDC(dc);
    bool alpha = false;
    for (uint32_t p : out) alpha = alpha || (p >> 24) != 0;
    if (!alpha)
      for (size_t i = 0; i < out.size(); ++i) out[i] = (out[i] & 0xFFFFFFu) | ((mask[i] & 0xFFFFFFu) ? 0u : 0xFF000000u);
  }
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  return ok;
}

// `top` over `ground`, both straight alpha.
uint32_t Over(uint32_t top, uint32_t ground) {
  const uint32_t at = top >> 24, ag = ground >> 24;
  const uint32_t a = at + ag * (255 - at) / 255;
  if (a == 0) return 0;
  uint32_t result = a << 24;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t ct = (top >> shift) & 0xFF, cg = (ground >> shift) & 0xFF;
    result |= ((ct * at + cg * ag * (255 - at) / 255) / a) << shift;
  }
  return result;
}

HICON IconFromPixels(const std::vector<uint32_t>& pixels, int cx, int cy) {
  BITMAPINFO bi = TopDownDib32(cx, cy);
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!colour) return nullptr;
  memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));
  // The mask for systems that draw without the alpha channel: set bits are
  // transparent; rows are whole 16-bit words.
  const int row = (cx + 15) / 16 * 2;
  std::vector<uint8_t> maskBits(static_cast<size_t>(row) * cy, 0);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x)
      if ((pixels[static_cast<size_t>(y) * cx + x] >> 24) == 0) maskBits[y * row + x / 8] |= 0x80 >> (x % 8);
  HBITMAP mask = CreateBitmap(cx, cy, 1, 1, maskBits.data());
  ICONINFO ii{TRUE, 0, 0, mask, colour};
  HICON icon = mask ? CreateIconIndirect(&ii) : nullptr;
  if (mask) DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

}  // namespace

bool MergeOverlayIcon(HICON& icon, HICON overlay, bool large) {
  // Composed here pixel by pixel: the image list's merge loses every pixel
  // of an icon with an alpha channel under Wine.
  if (!icon || !overlay) return false;
  const int cx = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
  const int cy = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
  std::vector<uint32_t> ground, top;
  if (!IconPixels(icon, cx, cy, ground) || !IconPixels(overlay, cx, cy, top)) return false;
  for (size_t i = 0; i < ground.size(); ++i) ground[i] = Over(top[i], ground[i]);
  HICON result = IconFromPixels(ground, cx, cy);
  if (!result) return false;
  DestroyIcon(icon);
  icon = result;
  return true;
}

namespace {
constexpr int kShortcutArrowId = 30;
}  // namespace

void AddLinkArrowOverlay(HICON& largeIcon, HICON& smallIcon) {
  HICON arrowLarge = nullptr, arrowSmall = nullptr;
  // The shortcut arrow by its resource id (icon 29 of the shell's library on
  // Windows): the library's order differs between systems, and under Wine
  // icon 29 is a whole picture that hid every program's own icon.
  if (shell::ExtractIconExA("shell32.dll", -kShortcutArrowId, &arrowLarge, &arrowSmall, 1) == 2) {
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

bool ExecuteViaShell(const std::string& file, const std::string& parameters, const std::string& verb, int showCommand,
                     HANDLE* startedProcess) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
  if (startedProcess) info.fMask |= SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = TextOrNothing(file);
  info.lpParameters = TextOrNothing(parameters);
  info.lpVerb = TextOrNothing(verb);
  info.nShow = showCommand;
  const bool accepted = shell::ShellExecuteExA(&info) != 0;
  // Handed over whatever the answer: a handle the shell filled in is the
  // caller's to close.
  if (startedProcess) *startedProcess = info.hProcess;
  return accepted;
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
