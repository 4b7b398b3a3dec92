// The shell's browse-for-folder dialog as a component, and the routine the
// directory edit calls to run it.
#pragma once

#include <windows.h>

#include <string>

#include "base/component.h"

enum class TBrowseKind { bfFolders, bfComputers };
enum class TDialogPosition { dpDefault, dpScreenCenter };

class TBrowseFolderDlg : public TComponent {
 public:
  explicit TBrowseFolderDlg(TComponent* owner) : TComponent(owner) {}
  ~TBrowseFolderDlg() override;

  TBrowseKind BrowseKind = TBrowseKind::bfFolders;
  bool DesktopRoot = true;
  std::string DialogText;
  std::string FolderName;  // in: preselected; out: the choice
  int HelpContext = 0;     // not 0: a Help button opening this topic
  TDialogPosition Position = TDialogPosition::dpScreenCenter;
  TNotifyEvent OnInitialized;
  TNotifyEvent OnSelChanged;

  // True when the user chose an item; FolderName and ImageIndex then hold it.
  bool Execute();

  const std::string& DisplayName() const { return displayName_; }
  const std::string& SelectedPath() const { return selectedPath_; }
  int ImageIndex() const { return imageIndex_; }
  // The dialog window while it is open, else null.
  HWND Handle() const { return wnd_; }

 private:
  static int CALLBACK Callback(HWND wnd, UINT msg, LPARAM lp, LPARAM data);
  static LRESULT CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  void Initialized(HWND wnd);
  void SelectionChanged(HWND wnd, LPARAM item);
  void Unhook();

  std::string displayName_;
  std::string selectedPath_;
  int imageIndex_ = 0;
  HWND wnd_ = nullptr;
  WNDPROC oldProc_ = nullptr;
};

// Runs the dialog; true and `Folder` set when the user chose a folder.
bool BrowseFolder(std::string& Folder, const std::string& DialogText, int HelpContext);

