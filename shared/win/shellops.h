// Shell operations on link files and the icons drawn for them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shared/core/shellrules.h"

// Draws `overlay` over `icon` at the large or small icon size and replaces
// `icon` (the old one is destroyed). False, icon unchanged, on any failure.
bool MergeOverlayIcon(HICON& icon, HICON overlay, bool large);
// The shell's link arrow (icon 29 of "shell32.dll") over both icons.
void AddLinkArrowOverlay(HICON& largeIcon, HICON& smallIcon);

// Deletes the paths through the shell (options: kDeleteSilent,
// kDeleteAllowUndo, kDeleteFilesOnly); true when the operation returns 0.
bool DeleteFilesViaShell(HWND owner, const std::vector<std::string>& paths, uint32_t options);
bool ShowPropertiesDialog(HWND owner, const std::string& path);
// ShellExecuteEx with SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI; empty texts
// are passed as nothing. True when the shell accepted it. With
// `startedProcess` also SEE_MASK_NOCLOSEPROCESS: it receives the handle of
// the process the shell started, for the caller to close, or null where the
// shell hands none back (a DDE conversation; a link under Wine).
bool ExecuteViaShell(const std::string& file, const std::string& parameters, const std::string& verb,
                     int showCommand, HANDLE* startedProcess = nullptr);
// Runs the shell's new-link command on a new empty link file in the folder:
// "newlink.lnk", or "newlink (2).lnk" ... when that name is taken. True when
// the command started; when it cannot be started the empty file is removed
// again. Nothing happens (false) without a folder or without a command; a
// file that cannot be created raises EOSError.
bool StartNewLinkWizard(const std::string& folder);
// The icon specification ("file,index") of a type key (".TXT", "Folder",
// "Drive"): the registry's DefaultIcon, else the fallback table.
std::string DefaultIconLocation(const std::string& typeKey);
// The text, or nullptr when it is empty.
const char* TextOrNothing(const std::string& text);
