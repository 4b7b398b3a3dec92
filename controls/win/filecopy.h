// File utilities of the interface components: copy with progress (through
// the shell or through a buffer), one shell file operation, and the small
// path routines they share.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "controls/core/filepaths.h"
#include "base/component.h"
#include "forms/win/forms.h"  // TDisabledThreadWindows

// ---- Progress controls ----
//
// The copy moves any control that is registered here: an entry says how to
// set its maximum, minimum and position. A control matches the last entry
// registered for its class or one of its ancestors.
enum class TProgressValue { pvMax, pvMin, pvPosition };

class TProgressList {
 public:
  using Setter = std::function<void(TObject* control, int value)>;
  using Matcher = std::function<bool(const TObject* control)>;

  void Add(Matcher matches, Setter max, Setter min, Setter position);
  // Registers class C through three of its setters, e.g.
  // Add<TProgressBar>(&TProgressBar::SetMax, &TProgressBar::SetMin, &TProgressBar::SetPosition).
  template <class C, class M>
  void Add(M max, M min, M position) {
    Add([](const TObject* o) { return dynamic_cast<const C*>(o) != nullptr; },
        [max](TObject* o, int v) { (static_cast<C*>(o)->*max)(v); },
        [min](TObject* o, int v) { (static_cast<C*>(o)->*min)(v); },
        [position](TObject* o, int v) { (static_cast<C*>(o)->*position)(v); });
  }
  int Count() const { return static_cast<int>(entries_.size()); }
  // The entry for the control, scanning from the last; -1 when none.
  int IndexOf(const TObject* control) const;
  // False when there is no control or its class is not registered.
  bool SetControlValue(TObject* control, TProgressValue which, int value);

 private:
  struct Entry {
    Matcher matches;
    Setter max, min, position;
  };
  std::vector<Entry> entries_;
};

// The program's one list, made on first use.
TProgressList& ProgressList();
void SetProgressMax(TObject* control, int value);
void SetProgressMin(TObject* control, int value);
void SetProgressValue(TObject* control, int value);

// ---- File routines ----

// Copies one file. With `ShellDialog` the shell does it (its progress window,
// its confirmations). Otherwise through an 8192-byte buffer into a temporary
// file beside the target, which replaces the target only once it is whole,
// so a failure leaves an existing target as it was. `Destination` may be a
// folder. Raises EFOpenError, EFCreateError, EReadError, EWriteError; the
// silent abort for a failed or cancelled shell copy.
void CopyFileWithProgress(const std::string& Source, const std::string& Destination, bool OverwriteReadOnly,
                          bool ShellDialog, TObject* Progress);
// One file copied, moved or renamed by the shell; the names are passed as
// they are (";" is a legal file-name character). Raises the silent abort on
// failure or when the user aborted.
void ShellFileOperation(const std::string& Source, const std::string& Destination, bool Confirm, bool AllowUndo,
                        bool Move);

bool FolderExists(const std::string& path);
bool FileHasAttributes(const std::string& name, DWORD mask);
// From the directory entry; -1 for a missing name or a folder.
int64_t FileSizeOf(const std::string& name);
// Creates the folder and every missing parent; failures show up later, when
// a file is created there.
void CreateFolderPath(const std::string& path);
std::string LongPath(const std::string& path);
std::string ShortPath(const std::string& path);

// ---- One shell file operation ----

enum class TFileOperation { foCopy, foDelete, foMove, foRename };
enum TFileOperFlag {
  flAllowUndo,
  flConfirmMouse,
  flFilesOnly,
  flMultiDest,
  flNoConfirmation,
  flNoConfirmMkDir,
  flRenameOnCollision,
  flSilent,
  flSimpleProgress,
  flNoErrorUI
};
using TFileOperFlags = std::set<TFileOperFlag>;

class TLkFileOperator : public TComponent {
 public:
  explicit TLkFileOperator(TComponent* owner) : TComponent(owner) {}

  // Lists of names separated by ";" or "|".
  std::string Source;
  std::string Destination;
  TFileOperation Operation = TFileOperation::foCopy;
  TFileOperFlags Options{flAllowUndo, flNoConfirmMkDir};
  std::string ProgressTitle;

  // True when the shell reported success.
  bool Execute();
  // The same on Source and Destination taken as one exact name each.
  bool ExecuteSingle();
  bool Aborted() const { return aborted_; }

 private:
  bool Run(const std::string& fromList, const std::string& toList);
  bool aborted_ = false;
};

// The shell value of a flag set (for tests and the operator).
UINT ShellOperationFlags(const TFileOperFlags& options);

