#include "shared/core/shellrules.h"

#include <cstring>

std::string IconLookupTypeKey(const std::string& typeKey) { return typeKey == ".EXE" ? ".COM" : typeKey; }

std::string FallbackIconLocation(const std::string& typeKey, const std::string& systemFolder,
                                 const std::string& gatePath) {
  struct Row {
    const char* key;
    const char* index;
  };
  static const Row table[] = {
      {".DOC", "1"},  {".COM", "2"},  {".EXE", "2"},  {".HLP", "23"}, {".INI", "63"}, {".INF", "63"},
      {".TXT", "64"}, {".BAT", "65"}, {".DLL", "66"}, {".SYS", "66"}, {".VBX", "66"}, {".OCX", "66"},
      {".VXD", "66"}, {".FON", "67"}, {".TTF", "68"}, {".FOT", "69"},
  };
  for (const Row& r : table)
    if (typeKey == r.key) return systemFolder + "SHELL32.DLL," + r.index;
  return gatePath + ",0";
}

std::string NewLinkFileName(const std::string& folder, int attempt) {
  if (attempt <= 1) return folder + "\\newlink.lnk";
  return folder + "\\newlink (" + std::to_string(attempt) + ").lnk";
}

std::string NewLinkCommandLine(const std::string& command, const std::string& linkFile) {
  std::size_t at = command.find("%1");
  if (at == std::string::npos) at = command.find("%2");
  if (at == std::string::npos) return command;
  return command.substr(0, at) + linkFile + command.substr(at + 2);
}

uint16_t DeleteOperationFlags(uint32_t options) {
  uint16_t flags = 0;
  if (options & kDeleteSilent) flags |= 0x614;  // FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI
  if (options & kDeleteAllowUndo) flags |= 0x40;
  if (options & kDeleteFilesOnly) flags |= 0x80;
  return flags;
}

std::string DoubleNulPathList(const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& p : paths) {
    list += p;
    list += '\0';
  }
  list.append(2, '\0');
  return list;
}

std::optional<int32_t> ShowCommandFromLinkHeader(std::string_view header) {
  // HeaderSize 0x4C, then the CLSID 00021401-0000-0000-C000-000000000046.
  static const unsigned char start[20] = {0x4C, 0, 0, 0, 0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  if (header.size() < 76 || std::memcmp(header.data(), start, sizeof start) != 0) return std::nullopt;
  int32_t show;
  std::memcpy(&show, header.data() + 0x3C, 4);
  if (show == 1 || show == 3 || show == 7) return show;
  return std::nullopt;
}
