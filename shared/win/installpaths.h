// The install paths and the facts about the running Windows, fixed once per
// process. Both programs call InitInstallPaths first thing in their entry
// point, before any window exists; everything else only reads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "shared/core/sysfacts.h"
#include "shared/core/versioninfo.h"

// System facts, then install paths; later calls do nothing. The accessors
// below call it themselves when a program forgot, so they never answer empty.
void InitInstallPaths();

const std::string& InstallFolder();
const std::string& SystemFolder();
const std::string& CommonEntryName();
const std::string& GateFileName();
const std::string& GatePath();
const std::string& ContextPath();
const std::string& UserDataPath();
const std::string& LogPath();
const std::string& SkinsFolder();
const std::string& BackupFolder();
const TInstallPaths& InstallPaths();

bool RunningOnNT();
uint32_t KernelVersion();
// The kind of the running system (TWindowsVersionKind).
int WindowsVersionKind();
// VersionKindFlags: true only for the running system's kind (1..8).
bool VersionKindFlag(int kind);

// The inputs as the operating system reports them now, and the paths they
// give; InitInstallPaths fixes the result of these once.
TOsVersionFacts ReadOsVersionFacts();
TInstallPaths ReadInstallPaths(bool runningOnNT);

// The Windows system directory; empty when the system reports no size.
std::string GetSystemFolder();
// The file-system path of a shell special folder (CSIDL_ value); empty when
// it has none.
std::string SpecialFolderPath(int folderId);
std::string UserStartMenuFolder();
std::string CommonStartMenuFolder();
std::string UserDesktopFolder();
std::string CommonDesktopFolder();
// The login name of the calling process's user.
std::string CurrentUserName();
// Whether the caller's token lists the local Administrators group (also as
// deny-only). A token that cannot be opened gives false; a failure to read
// its groups raises EOSError.
bool UserIsAdministrator();
// Creates the mutex "LMere" owned by the caller; false when another process
// holds it already (or it cannot be claimed). The handle lives as long as
// the process.
bool ClaimSingleInstance();
// Creates a new empty file, failing (EOSError) when it exists.
void CreateEmptyFile(const std::string& path);
// The module's full path (nullptr: the running program).
std::string ModuleFileName(HMODULE module);

bool HasVersionInfo(const std::string& fileName);
// Reads and parses the file's block; ELkFileVersionInfoError when it has
// none, EOSError when it cannot be read.
TLkFileVersionInfo LoadFileVersionInfo(const std::string& fileName);

// The last Windows error as EOSError, with the system's message.
[[noreturn]] void RaiseLastWin32Error();
[[noreturn]] void RaiseWin32Error(DWORD code);
