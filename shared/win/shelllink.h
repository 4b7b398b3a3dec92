// Shell link files (".lnk") read into and written from a plain record,
// through IShellLinkA and IPersistFile. The calling thread has initialised
// COM. Failures come back as HRESULTs; nothing here raises.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <string>

// An item-ID list from the shell allocator, freed with it when the last
// copy goes.
using TItemIdList = std::shared_ptr<ITEMIDLIST>;

struct TShellLink {
  std::string Arguments;
  int32_t ShowCommand = SW_SHOWNORMAL;
  std::string WorkingFolder;
  TItemIdList ItemIdList;  // read only; never written back
  std::string Target;      // read in its short (8.3) form
  std::string Description;
  std::string IconFile;
  int32_t IconIndex = 0;
  uint16_t HotKey = 0;     // low byte virtual key, high byte HOTKEYF_ modifiers
};

// Loads, resolves (SLR_ANY_MATCH: the shell may show its search window) and
// reads every field; a link whose save stopped between its renames (the 9x
// line) is put back from its aside copy first, or read there. On failure
// the record is left as it was. Texts are read whole, however long (a Gate
// argument is never cut). ShowCommand is the one the file's header stores
// (Wine's link object always answers SW_SHOWNORMAL).
HRESULT ReadShellLink(const std::string& linkPath, TShellLink& link);
// Sets every field but ItemIdList and saves; the first failing setter or the
// save is answered. A record with an empty Target is refused (E_INVALIDARG)
// and no file is written. The link is saved beside its place and moved
// over the old one, so a failure leaves the old link whole; a read-only
// link is refused (E_ACCESSDENIED).
HRESULT WriteShellLink(const TShellLink& link, const std::string& linkPath);
void FreeShellLinkIdList(TShellLink& link);
// Frees a list the shell allocator owns and clears it; true also for an
// empty list, false when the allocator does not know the block.
bool FreeShellItemList(LPITEMIDLIST& list);
