#include "shared/win/shelllink.h"

#include <objidl.h>
#include <shobjidl.h>

#include <cstring>
#include <functional>
#include <vector>

#include "base/fileops.h"
#include "base/win/lazy_dll.h"
#include "shared/core/shellrules.h"

namespace {

// Releases a COM interface when it goes out of scope.
template <class I>
struct TComRef {
  I* p = nullptr;
  TComRef() = default;
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  ~TComRef() {
    if (p) p->Release();
  }
  I* operator->() const { return p; }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

std::wstring WideText(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string AbsolutePath(const std::string& path) {
  const DWORD n = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::string full(n, '\0');
  const DWORD m = GetFullPathNameA(path.c_str(), n, full.data(), nullptr);
  if (m == 0 || m >= n) return path;
  full.resize(m);
  return full;
}

// Reads one text of the link. The buffer starts well above a path's length
// and grows while the text fills it: the shell cuts a long text to the
// buffer without saying so (and Wine may leave it unterminated), which
// would silently cut a Gate argument. A link stores at most 65535
// characters per text.
HRESULT ReadLinkText(const std::function<HRESULT(char*, int)>& get, std::string& text) {
  for (int capacity = 1024;; capacity *= 2) {
    std::vector<char> buffer(capacity + 1, '\0');
    const HRESULT hr = get(buffer.data(), capacity);
    if (FAILED(hr)) return hr;
    buffer[capacity] = '\0';
    buffer[capacity - 1] = '\0';
    const std::size_t length = std::strlen(buffer.data());
    if (length < static_cast<std::size_t>(capacity) - 2 || capacity > 65536) {
      text.assign(buffer.data(), length);
      return S_OK;
    }
  }
}

// The show command as the file's header holds it. Wine's link object
// answers SW_SHOWNORMAL whatever the file says, which would turn every
// maximised or minimised link normal on its next write.
std::optional<int32_t> StoredShowCommand(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  char header[76];
  DWORD got = 0;
  const BOOL ok = ReadFile(h, header, sizeof header, &got, nullptr);
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return ShowCommandFromLinkHeader(std::string_view(header, got));
}

void FreeWithShellAllocator(ITEMIDLIST* list) {
  LPITEMIDLIST p = list;
  FreeShellItemList(p);
}

}  // namespace

bool FreeShellItemList(LPITEMIDLIST& list) {
  if (!list) return true;
  TComRef<IMalloc> malloc;
  if (FAILED(shell::SHGetMalloc(&malloc.p)) || !malloc.p) return false;
  if (malloc->DidAlloc(list) == 0) return false;  // not a block of the shell allocator
  malloc->Free(list);
  list = nullptr;
  return true;
}

void FreeShellLinkIdList(TShellLink& link) { link.ItemIdList.reset(); }

HRESULT ReadShellLink(const std::string& linkPath, TShellLink& link) {
  TComRef<IShellLinkA> shellLink;
  HRESULT hr = ole::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.Out());
  if (FAILED(hr)) return hr;
  TComRef<IPersistFile> file;
  hr = shellLink->QueryInterface(IID_IPersistFile, file.Out());
  if (FAILED(hr)) return hr;
  // Where a save stopped between its renames, the old link is put back first.
  const std::string fullPath = lk_fileops::ReplacedFileToRead(AbsolutePath(linkPath));
  hr = file->Load(WideText(fullPath).c_str(), STGM_READ);
  if (FAILED(hr)) return hr;
  hr = shellLink->Resolve(nullptr, SLR_ANY_MATCH);
  if (FAILED(hr)) return hr;

  // Filled aside so that a failing read leaves the caller's record as it was.
  TShellLink r;
  IShellLinkA* s = shellLink.p;
  if (FAILED(hr = ReadLinkText([s](char* b, int n) { return s->GetPath(b, n, nullptr, SLGP_SHORTPATH); }, r.Target)))
    return hr;
  if (FAILED(hr = ReadLinkText([s](char* b, int n) { return s->GetArguments(b, n); }, r.Arguments))) return hr;
  int show = 0;
  if (FAILED(hr = s->GetShowCmd(&show))) return hr;
  r.ShowCommand = StoredShowCommand(fullPath).value_or(show);
  if (FAILED(hr = ReadLinkText([s](char* b, int n) { return s->GetWorkingDirectory(b, n); }, r.WorkingFolder)))
    return hr;
  if (FAILED(hr = ReadLinkText([s](char* b, int n) { return s->GetDescription(b, n); }, r.Description))) return hr;
  int iconIndex = 0;
  if (FAILED(hr = ReadLinkText([s, &iconIndex](char* b, int n) { return s->GetIconLocation(b, n, &iconIndex); },
                               r.IconFile)))
    return hr;
  r.IconIndex = iconIndex;
  WORD hotKey = 0;
  if (FAILED(hr = s->GetHotkey(&hotKey))) return hr;
  r.HotKey = hotKey;
  LPITEMIDLIST list = nullptr;
  if (SUCCEEDED(s->GetIDList(&list)) && list) r.ItemIdList = TItemIdList(list, FreeWithShellAllocator);
  link = std::move(r);
  return S_OK;
}

HRESULT WriteShellLink(const TShellLink& link, const std::string& linkPath) {
  if (link.Target.empty()) return E_INVALIDARG;
  TComRef<IShellLinkA> s;
  HRESULT hr = ole::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, s.Out());
  if (FAILED(hr)) return hr;
  if (FAILED(hr = s->SetArguments(link.Arguments.c_str()))) return hr;
  if (FAILED(hr = s->SetShowCmd(link.ShowCommand))) return hr;
  if (FAILED(hr = s->SetWorkingDirectory(link.WorkingFolder.c_str()))) return hr;
  if (FAILED(hr = s->SetPath(link.Target.c_str()))) return hr;
  if (FAILED(hr = s->SetDescription(link.Description.c_str()))) return hr;
  if (FAILED(hr = s->SetHotkey(link.HotKey))) return hr;
  if (FAILED(hr = s->SetIconLocation(link.IconFile.c_str(), link.IconIndex))) return hr;
  TComRef<IPersistFile> file;
  if (FAILED(hr = s->QueryInterface(IID_IPersistFile, file.Out()))) return hr;
  // Saved beside the link and moved over it (in one step, or on the 9x line
  // by renames that ReadShellLink completes), so a failing save never leaves
  // a link half written; the old link's attributes carry over.
  const DWORD attributes = GetFileAttributesA(linkPath.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return E_ACCESSDENIED;  // as saving over it would answer
  const std::string temporary = linkPath + ".lktmp";
  hr = file->Save(WideText(temporary).c_str(), TRUE);
  if (FAILED(hr)) {
    DeleteFileA(temporary.c_str());
    return hr;
  }
  if (exists) SetFileAttributesA(temporary.c_str(), attributes);
  if (!lk_fileops::MoveReplace(temporary, linkPath)) {
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    return HRESULT_FROM_WIN32(error);
  }
  return S_OK;
}
