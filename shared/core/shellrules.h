// The fixed rules of the shell operations: the fallback icon table of file
// types, the new-link command line and the delete options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A type key as the icon lookup uses it: ".EXE" is looked up as ".COM".
std::string IconLookupTypeKey(const std::string& typeKey);

// The icon specification used when the registry names none for the type:
// systemFolder + "SHELL32.DLL," + an index by type key, or gatePath + ",0"
// for a type outside the table. Compared exactly (".TXT", not ".txt").
std::string FallbackIconLocation(const std::string& typeKey, const std::string& systemFolder,
                                 const std::string& gatePath);

// The file the new-link command works on: folder + "\newlink.lnk" for the
// first try (1), folder + "\newlink (N).lnk" for try N: a file left by an
// earlier command never blocks a new one.
std::string NewLinkFileName(const std::string& folder, int attempt = 1);
// The shell's "Command" with the first "%1" (or, without one, the first "%2")
// replaced by the new link's file name.
std::string NewLinkCommandLine(const std::string& command, const std::string& linkFile);

// Options of DeleteFilesViaShell.
enum : uint32_t { kDeleteSilent = 1, kDeleteAllowUndo = 2, kDeleteFilesOnly = 4 };
// The FOF_ flags for an option set.
uint16_t DeleteOperationFlags(uint32_t options);
// Paths each followed by a NUL, then two more NULs, as the shell file
// operation takes them.
std::string DoubleNulPathList(const std::vector<std::string>& paths);

// The show command stored in a link file's header (the first 76 bytes of a
// ".lnk"): nothing when the bytes are no link header or hold a value other
// than SW_SHOWNORMAL (1), SW_SHOWMAXIMIZED (3) or SW_SHOWMINNOACTIVE (7),
// which readers treat as SW_SHOWNORMAL.
std::optional<int32_t> ShowCommandFromLinkHeader(std::string_view header);
