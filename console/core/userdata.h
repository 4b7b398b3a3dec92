// The user-data file as the User Settings page reads and writes it: one user
// record per listed entry, in the data files' container.
#pragma once

#include <string>
#include <vector>

#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"

struct TUserRow {
  std::string Name;
  TUserRecord Record;
};

// The record of each of `names`, in that order, from the file at `path`
// (its aside copy put back first where a save stopped between its renames);
// empty records when the file or an entry is missing. The container takes
// the data files' key. Raises what the
// container raises (ECorruptFile, EReadError, the file errors).
std::vector<TUserRow> LoadUserRows(TLkStreams& container, const std::string& path,
                                   const std::vector<std::string>& names);
// Writes the rows as the whole file: compressed and enciphered with the data
// files' key whatever the container last read, through a temporary file, so
// the file on disk is always the old one or the new one. The container is
// left empty.
void SaveUserRows(TLkStreams& container, const std::string& path, const std::vector<TUserRow>& rows);
