// Replacing a file by renames alone, where the system has no one-step
// replace (the 9x line exports MoveFileExA as a stub answering
// ERROR_CALL_NOT_IMPLEMENTED): the old file moves aside under a fixed second
// name, the new one moves into place, and only then the aside copy goes.
// Stopped at any moment, this leaves a whole file under one of the two
// names: the old one aside with no target (stopped between the two moves),
// or a whole target beside a stale copy. Readers take the file through
// FileToRead, which puts the aside copy back in the first case.
//
// The sequence and the rule are written against TRenameOps so a test can
// stop or fail them after any step; base/fileops_*.cpp give the system's.
#pragma once

#include <string>
#include <vector>

#include "base/fileops.h"

namespace lk_replace {

// One step on disk each.
class TRenameOps {
 public:
  virtual ~TRenameOps() = default;
  virtual lk_fileops::TLookup LookUp(const std::string& name) = 0;
  // Renames `from` to `to`; fails when `to` exists.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& name) = 0;
};

// "<target>.old~". The extension must not begin with the target's own: a
// short (8.3) name keeps the first three letters after the last dot, and
// "x.lnk~old" would be "X~1.LNK", which a search for "*.lnk" finds as a
// second link.
std::string AsideName(const std::string& target);
// The target whose aside copy `name` is; empty when it is no aside name.
std::string TargetOfAside(const std::string& name);

// Moves `from` over `to`. False, with `to` left as it was (or its old file
// aside, where putting it back failed too), whenever the new file is not
// in place; `from` then stays for the caller to remove. A stale aside copy
// is removed first; one whose target is missing is the old file of a
// replace that stopped between its moves and is taken as the old file. A
// failing removal of the aside copy after the new file is in place still
// answers true: the copy is stale, and the next replace removes it.
bool ReplaceByRenames(TRenameOps& ops, const std::string& from, const std::string& to);

// The name to read `target` under: the target, unless it is missing and
// its aside copy is there; the copy is then moved back, and where that
// fails it is read where it lies (its name is answered).
std::string FileToRead(TRenameOps& ops, const std::string& target);

// Removes `target` and its aside copy, the copy first, so a deleted file
// never comes back from its copy. True when neither is left.
bool RemoveWithAside(TRenameOps& ops, const std::string& target);

// The names a folder listing shows for `names` (the files found, all of
// one kind) and `asides` (the aside copies found there): `names`, and the
// target of every aside copy whose target is not among them (letter case
// ignored), so a replace stopped between its moves loses no entry and a
// stale copy beside a whole target adds none.
std::vector<std::string> NamesWithStoppedReplaces(std::vector<std::string> names,
                                                  const std::vector<std::string>& asides);

}  // namespace lk_replace
