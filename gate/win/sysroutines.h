// Small routines around the Windows interfaces that the gate uses for its
// messages, its log and its watch.
#pragma once

#include <cstdint>
#include <string>

// The logged-on user's name, or "Default user" when nobody is logged on.
std::string DisplayUserName();
// The folder name of the calling user's profile, by which the console names
// per-user entries ("john.PC" for the login "john"): the last component of
// "ProfileImagePath" under the profile list key of the process token's
// user. Empty on the 9x line and when there is none.
std::string CurrentProfileFolderName();
// The short (8.3) and long forms of a path; empty when the short form
// cannot be had. Components that do not exist stay as written.
std::string ShortPathOf(const std::string& path);
std::string LongPathOf(const std::string& path);
// The attributes of the first match of a search for `path`, or -1; no
// critical-error boxes meanwhile.
int32_t FileAttributesOf(const std::string& path);
bool PathExists(const std::string& path);  // files and folders
// The program the shell associates with `target`: empty when there is
// none, when it is "explorer.exe", or when the path is too long to ask.
std::string FindAssociatedProgram(const std::string& target);
// The time as the log writes it: short time, " - ", short date.
std::string NowLogText();
// The tag values of the message for now.
struct TMessageTagValues;
TMessageTagValues CurrentTagValues();
