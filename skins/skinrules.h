// How the gate takes what a skin names: its files only from inside the
// skin's own folder, its link only as a web or mail address. A skin is an
// input the gate must not trust: it is read at every protected launch,
// before any password.
#pragma once

#include <string>

// The skin folder joined with `name`; empty when the name could reach
// outside that folder (absolute, UNC, drive, "..", a device: see
// IsNameInsideFolder).
std::string SkinFilePath(const std::string& skinFolder, const std::string& name);

// Whether the shell may open `url` for the link: the scheme http, https or
// ftp followed by "//" and a host, or mailto followed by an address (scheme
// letters of any case), with no blank, control character or quote. A
// program's or a document's name is none of these.
bool IsWebAddress(const std::string& url);
