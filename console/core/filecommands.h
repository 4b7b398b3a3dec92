// The Desktop page's file commands decided without a window: the status
// texts of backup, restore and paste from what was copied, the view style a
// view button stands for, the stored view position read back, and the
// caption of a browsed folder.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kStatusPleaseWait = " Please, wait...";
inline constexpr const char* kStatusBackupDone = " Selected file(s) backup process was successful.";
inline constexpr const char* kStatusRestoreDone = " Backup file(s) restored successfully.";
inline constexpr const char* kStatusNoBackups = " No backup files were found.";

// How a batch of copies went: the files to copy, and how many were copied
// before the first one failed or was cancelled (the rest is not tried).
struct TCopyOutcome {
  int Total = 0;
  int Copied = 0;
  bool AllCopied() const { return Copied == Total; }
  int Failed() const { return Total - Copied; }
};

// The success text only when every file was copied; otherwise how many failed.
std::string BackupStatusText(const TCopyOutcome& o);
// No backup found, all restored, or how many failed.
std::string RestoreStatusText(const TCopyOutcome& o);
// Empty when every file was pasted (Paste has no success text).
std::string PasteStatusText(const TCopyOutcome& o);

// The list's views, in the order of the platform's view styles.
enum class TLinkView { lvIcon = 0, lvSmallIcon = 1, lvList = 2, lvReport = 3 };
// A view button's Tag read as a view style; any other value shows large icons.
TLinkView ViewOfTag(intptr_t tag);
// The pressed view button as stored ("IconView"): a position outside
// 0 .. buttons - 1 falls back to 0.
int ViewButtonPosition(int32_t stored, int buttons);

// The page's caption after browsing a folder.
std::string BrowseCaption(int rows);
