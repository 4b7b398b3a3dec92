#include "controls/win/filecopy.h"

#include <memory>

#include "base/fileops.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "forms/win/application.h"
#include "base/win/lazy_dll.h"
#include "forms/win/forms.h"

// ---- Progress controls ----

void TProgressList::Add(Matcher matches, Setter max, Setter min, Setter position) {
  entries_.push_back({std::move(matches), std::move(max), std::move(min), std::move(position)});
}

int TProgressList::IndexOf(const TObject* control) const {
  if (!control) return -1;
  for (int i = Count() - 1; i >= 0; --i)
    if (entries_[i].matches(control)) return i;
  return -1;
}

bool TProgressList::SetControlValue(TObject* control, TProgressValue which, int value) {
  const int i = IndexOf(control);
  if (i < 0) return false;
  const Entry& e = entries_[i];
  const Setter& set = which == TProgressValue::pvMax ? e.max : which == TProgressValue::pvMin ? e.min : e.position;
  if (!set) return false;
  set(control, value);
  return true;
}

TProgressList& ProgressList() {
  static TProgressList list;
  return list;
}

void SetProgressMax(TObject* control, int value) { ProgressList().SetControlValue(control, TProgressValue::pvMax, value); }
void SetProgressMin(TObject* control, int value) { ProgressList().SetControlValue(control, TProgressValue::pvMin, value); }
void SetProgressValue(TObject* control, int value) {
  ProgressList().SetControlValue(control, TProgressValue::pvPosition, value);
}

// ---- Path routines ----

bool FolderExists(const std::string& path) { return FileHasAttributes(path, FILE_ATTRIBUTE_DIRECTORY); }

bool FileHasAttributes(const std::string& name, DWORD mask) {
  const DWORD a = GetFileAttributesA(name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & mask) == mask;
}

int64_t FileSizeOf(const std::string& name) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(name.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return -1;
  FindClose(h);
  if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (static_cast<int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

void CreateFolderPath(const std::string& path) {
  if (path.empty()) return;
  std::string dir = path;
  if (dir.back() == '\\') dir.pop_back();
  if (dir.size() < 3 || FolderExists(dir)) return;
  const std::string parent = ExtractFilePath(dir);
  if (parent != dir) CreateFolderPath(parent);
  CreateDirectoryA(dir.c_str(), nullptr);
}

namespace {

std::string PathElements(std::string path, bool wantLong) {
  std::string result;
  for (std::size_t cut; (cut = path.rfind('\\')) != std::string::npos; path.resize(cut)) {
    std::string element;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      FindClose(h);
      element = fd.cFileName;
      if (!wantLong && fd.cAlternateFileName[0]) element = fd.cAlternateFileName;
    }
    result = "\\" + element + result;
  }
  return path + result;
}

}  // namespace

std::string LongPath(const std::string& path) { return PathElements(path, true); }
std::string ShortPath(const std::string& path) { return PathElements(path, false); }

// ---- TLkFileOperator ----

UINT ShellOperationFlags(const TFileOperFlags& options) {
  static const UINT values[] = {
      FOF_ALLOWUNDO,        FOF_CONFIRMMOUSE,       FOF_FILESONLY, FOF_MULTIDESTFILES, FOF_NOCONFIRMATION,
      FOF_NOCONFIRMMKDIR,   FOF_RENAMEONCOLLISION,  FOF_SILENT,    FOF_SIMPLEPROGRESS, FOF_NOERRORUI,
  };
  UINT flags = 0;
  for (TFileOperFlag f : options) flags |= values[f];
  return flags;
}

bool TLkFileOperator::Execute() { return Run(BuildNameList(Source), BuildNameList(Destination)); }

bool TLkFileOperator::ExecuteSingle() { return Run(SingleNameList(Source), SingleNameList(Destination)); }

namespace {
HWND OwnerWindow() {
  if (!Application) return nullptr;
  TCustomForm* main = Application->MainForm();
  if (main && main->HandleAllocated()) return main->Handle();
  return Application->Handle();
}
}  // namespace

bool TLkFileOperator::Run(const std::string& fromList, const std::string& toList) {
  static const UINT codes[] = {FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME};
  aborted_ = false;
  TDisabledThreadWindows disabled;
  SHFILEOPSTRUCTA op{};
  op.hwnd = OwnerWindow();
  op.wFunc = codes[static_cast<int>(Operation)];
  // The lists end in two NULs: their own and the string's.
  op.pFrom = fromList.empty() ? nullptr : fromList.c_str();
  op.pTo = toList.empty() ? nullptr : toList.c_str();
  op.fFlags = static_cast<FILEOP_FLAGS>(ShellOperationFlags(Options));
  op.lpszProgressTitle = ProgressTitle.c_str();
  const int r = shell::SHFileOperationA(&op);
  aborted_ = op.fAnyOperationsAborted != FALSE;
  return r == 0;
}

void ShellFileOperation(const std::string& Source, const std::string& Destination, bool Confirm, bool AllowUndo,
                        bool Move) {
  TLkFileOperator op(nullptr);
  op.Source = Source;
  op.Destination = Destination;
  if (!Move)
    op.Operation = TFileOperation::foCopy;
  else if (AnsiCompareText(ExtractFilePath(Source), ExtractFilePath(Destination)) == 0)
    op.Operation = TFileOperation::foRename;
  else
    op.Operation = TFileOperation::foMove;
  if (!AllowUndo) op.Options.erase(flAllowUndo);
  if (!Confirm) op.Options.insert(flNoConfirmation);
  if (!op.ExecuteSingle() || op.Aborted()) Abort();
}

// ---- Buffered copy ----

namespace {

constexpr DWORD kBufferSize = 8192;

struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  Handle() = default;
  explicit Handle(HANDLE v) : h(v) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return h != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!Valid()) return true;
    const bool ok = CloseHandle(h) != 0;
    h = INVALID_HANDLE_VALUE;
    return ok;
  }
};

// The temporary file is removed unless it became the target.
struct TempFile {
  std::string name;
  ~TempFile() {
    if (!name.empty()) DeleteFileA(name.c_str());
  }
};

bool SameFile(HANDLE source, const std::string& sourceName, const std::string& target) {
  char a[MAX_PATH * 2], b[MAX_PATH * 2];
  if (GetFullPathNameA(sourceName.c_str(), sizeof a, a, nullptr) && GetFullPathNameA(target.c_str(), sizeof b, b, nullptr) &&
      AnsiCompareText(a, b) == 0)
    return true;
  // Another spelling of the same file (a short name, another path to it).
  Handle t(CreateFileA(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, 0, nullptr));
  if (!t.Valid()) return false;
  BY_HANDLE_FILE_INFORMATION x, y;
  if (!GetFileInformationByHandle(source, &x) || !GetFileInformationByHandle(t.h, &y)) return false;
  return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

void BufferedCopy(const std::string& source, const std::string& target, bool overwriteReadOnly, TObject* progress) {
  std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  const int64_t size = FileSizeOf(source);
  Handle src(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!src.Valid()) throw EFOpenError("Cannot open file " + source);
  const int shift = ProgressShift(size < 0 ? 0 : size);
  if (progress) {
    SetProgressMax(progress, static_cast<int>((size < 0 ? 0 : size) >> shift));
    SetProgressMin(progress, 0);
    SetProgressValue(progress, 0);
  }
  const std::string folder = ExtractFilePath(target);
  CreateFolderPath(folder);
  if (SameFile(src.h, source, target)) throw EFCreateError("Cannot copy file " + source + " onto itself");

  const DWORD oldAttributes = GetFileAttributesA(target.c_str());
  const bool exists = oldAttributes != INVALID_FILE_ATTRIBUTES;
  const bool readOnly = exists && (oldAttributes & FILE_ATTRIBUTE_READONLY);
  if ((exists && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY)) || (readOnly && !overwriteReadOnly))
    throw EFCreateError("Cannot create file " + target);

  TempFile temp;
  char tempName[MAX_PATH];
  if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "lkc", 0, tempName))
    throw EFCreateError("Cannot create file " + target);
  temp.name = tempName;
  Handle dst(CreateFileA(tempName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!dst.Valid()) throw EFCreateError("Cannot create file " + target);

  int64_t total = 0;
  DWORD got = 0;
  do {
    if (!ReadFile(src.h, buffer.get(), kBufferSize, &got, nullptr)) throw EReadError();
    if (got > 0) {
      DWORD put = 0;
      if (!WriteFile(dst.h, buffer.get(), got, &put, nullptr) || put != got) throw EWriteError();
      total += got;
      if (progress) SetProgressValue(progress, static_cast<int>(total >> shift));
    }
  } while (got == kBufferSize);

  FILETIME written;
  if (GetFileTime(src.h, nullptr, nullptr, &written)) SetFileTime(dst.h, nullptr, nullptr, &written);
  if (!dst.Close()) throw EWriteError();
  src.Close();

  // Only now the old target goes; a read-only one was asked to be overwritten.
  if (readOnly) SetFileAttributesA(target.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY);
  if (!lk_fileops::MoveReplace(tempName, target)) {
    if (readOnly) SetFileAttributesA(target.c_str(), oldAttributes);
    throw EFCreateError("Cannot create file " + target);
  }
  temp.name.clear();
  if (exists) SetFileAttributesA(target.c_str(), oldAttributes & ~FILE_ATTRIBUTE_READONLY);
}

bool NewStyleShell() { return LOBYTE(LOWORD(GetVersion())) >= 4; }

}  // namespace

void CopyFileWithProgress(const std::string& Source, const std::string& Destination, bool OverwriteReadOnly,
                          bool ShellDialog, TObject* Progress) {
  if (ShellDialog && NewStyleShell()) {
    ShellFileOperation(Source, Destination, !OverwriteReadOnly, false, false);
    return;
  }
  std::string target = Destination;
  if (FileHasAttributes(Destination, FILE_ATTRIBUTE_DIRECTORY))
    target = AppendPathDelimiter(Destination) + ExtractFileName(Source);
  try {
    BufferedCopy(Source, target, OverwriteReadOnly, Progress);
  } catch (...) {
    if (Progress) SetProgressValue(Progress, 0);
    throw;
  }
  if (Progress) SetProgressValue(Progress, 0);
}
