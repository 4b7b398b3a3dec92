#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/filereplace.h"
#include "base/fileops.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "shared/core/gatearg.h"
#include "shared/win/installpaths.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"

namespace {

TShellLink FullRecord() {
  TShellLink link;
  link.Target = SystemFolder() + "notepad.exe";
  link.Arguments = "/p \"C:\\lk test\\notes.txt\"";
  link.ShowCommand = SW_SHOWMINNOACTIVE;
  link.WorkingFolder = "C:\\windows";
  link.Description = "Guarded notes";
  link.IconFile = SystemFolder() + "shell32.dll";
  link.IconIndex = 41;
  link.HotKey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
  return link;
}

std::string ShortForm(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return n ? std::string(buffer, n) : path;
}

// The target comes back in short form where the system makes one.
void ExpectSameTarget(const std::string& read, const std::string& written) {
  EXPECT_TRUE(read == written || read == ShortForm(written)) << read << " vs " << written;
}

// Every field of the record as written.
void ExpectSameLink(const TShellLink& read, const TShellLink& written) {
  ExpectSameTarget(read.Target, written.Target);
  EXPECT_EQ(read.Arguments, written.Arguments);
  EXPECT_EQ(read.ShowCommand, written.ShowCommand);
  EXPECT_EQ(read.WorkingFolder, written.WorkingFolder);
  EXPECT_EQ(read.Description, written.Description);
  EXPECT_EQ(read.IconFile, written.IconFile);
  EXPECT_EQ(read.IconIndex, written.IconIndex);
  EXPECT_EQ(read.HotKey, written.HotKey);
}

TEST(ShellLinkWin, EveryFieldSurvivesARoundTrip) {
  const std::string path = lkfix::ScratchFolder("linkfields") + "\\full.lnk";
  const TShellLink written = FullRecord();
  ASSERT_EQ(WriteShellLink(written, path), S_OK);
  TShellLink read;
  ASSERT_EQ(ReadShellLink(path, read), S_OK);
  ExpectSameLink(read, written);
  ASSERT_TRUE(read.ItemIdList);
  char fromList[MAX_PATH] = {};
  ASSERT_TRUE(SHGetPathFromIDListA(read.ItemIdList.get(), fromList));
  EXPECT_TRUE(SameText(fromList, written.Target)) << fromList;
  FreeShellLinkIdList(read);
  EXPECT_FALSE(read.ItemIdList);
}

TEST(ShellLinkWin, LongArgumentsAreNeverCut) {
  const std::string folder = lkfix::ScratchFolder("linklong");
  std::string thousand;
  for (int i = 0; thousand.size() < 1000; ++i) thousand += static_cast<char>('a' + i % 26);
  // A Gate argument for a long target: Base64 of it is longer still.
  const std::string gate = WrapToken(
      ScrambleText(JoinGateText("C:\\Program Files\\" + std::string(300, 'x') + "\\app.exe", std::string(900, 'y'))),
      1);
  for (const std::string& arguments :
       {thousand, gate, std::string(259, 'q'), std::string(260, 'r'), std::string(4000, 's')}) {
    TShellLink link = FullRecord();
    link.Arguments = arguments;
    link.Description = arguments.substr(0, 900);
    const std::string path = folder + "\\long" + IntToStr(static_cast<int64_t>(arguments.size())) + ".lnk";
    ASSERT_EQ(WriteShellLink(link, path), S_OK) << arguments.size();
    TShellLink read;
    ASSERT_EQ(ReadShellLink(path, read), S_OK) << arguments.size();
    EXPECT_EQ(read.Arguments.size(), arguments.size());
    EXPECT_EQ(read.Arguments, arguments);
    EXPECT_EQ(read.Description, link.Description);
  }
  EXPECT_GT(gate.size(), 1024u);
}

TEST(ShellLinkWin, RewritingKeepsFieldsAndReplacesTargetAndArguments) {
  const std::string path = lkfix::ScratchFolder("linkrewrite") + "\\rewrite.lnk";
  ASSERT_EQ(WriteShellLink(FullRecord(), path), S_OK);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  TShellLink link;
  ASSERT_EQ(ReadShellLink(path, link), S_OK);
  link.Target = GetSystemFolder() + "\\winver.exe";
  link.Arguments = "QUJD1";
  ASSERT_EQ(WriteShellLink(link, path), S_OK);
  TShellLink again;
  ASSERT_EQ(ReadShellLink(path, again), S_OK);
  // The other fields as first written, not as this copy read them.
  TShellLink expected = FullRecord();
  expected.Target = link.Target;
  expected.Arguments = "QUJD1";
  ExpectSameLink(again, expected);
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
}

// The one-step replace missing, as on the 9x line, for one test.
struct TRenamesAsOn9x {
  TRenamesAsOn9x() { lk_fileops::SetOneStepReplaceMissing(true); }
  ~TRenamesAsOn9x() { lk_fileops::SetOneStepReplaceMissing(false); }
};

// The files in `folder` that `pattern` finds.
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

TEST(ShellLinkWin, SavedByRenamesAsOnThe9xLine) {
  const std::string folder = lkfix::ScratchFolder("link9x");
  const std::string path = folder + "\\renamed.lnk";
  TShellLink second = FullRecord();
  second.Description = "second save";
  second.Arguments = "QUJD2";
  {
    TRenamesAsOn9x renames;
    ASSERT_EQ(WriteShellLink(FullRecord(), path), S_OK) << "into a missing link";
    ASSERT_EQ(WriteShellLink(second, path), S_OK) << "over the link";
  }
  TShellLink read;
  ASSERT_EQ(ReadShellLink(path, read), S_OK);
  ExpectSameLink(read, second);
  EXPECT_EQ(FilesIn(folder, "*"), std::vector<std::string>{"renamed.lnk"})
      << "no temporary file, no aside copy";

  // Stopped between its two moves: only the aside copy is there, and the
  // next read puts it back.
  ASSERT_TRUE(MoveFileA(path.c_str(), lk_replace::AsideName(path).c_str()));
  TShellLink halfway;
  ASSERT_EQ(ReadShellLink(path, halfway), S_OK);
  ExpectSameLink(halfway, second);
  EXPECT_EQ(FilesIn(folder, "*.lnk*"), std::vector<std::string>{"renamed.lnk"});

  // A replace that cannot be done (a folder holds the aside name) is a
  // failed save, and the link stays as it was.
  TRenamesAsOn9x renames;
  ASSERT_TRUE(CreateDirectoryA(lk_replace::AsideName(path).c_str(), nullptr));
  EXPECT_EQ(WriteShellLink(FullRecord(), path), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
  RemoveDirectoryA(lk_replace::AsideName(path).c_str());
  ASSERT_EQ(ReadShellLink(path, read), S_OK);
  EXPECT_EQ(read.Description, "second save");
  EXPECT_EQ(FilesIn(folder, "*"), std::vector<std::string>{"renamed.lnk"});
}

TEST(ShellLinkWin, FailuresAreReportedAndLeaveThingsAsTheyWere) {
  const std::string folder = lkfix::ScratchFolder("linkfail");
  TShellLink empty = FullRecord();
  empty.Target.clear();
  EXPECT_EQ(WriteShellLink(empty, folder + "\\empty.lnk"), E_INVALIDARG);
  EXPECT_EQ(GetFileAttributesA((folder + "\\empty.lnk").c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_TRUE(FAILED(WriteShellLink(FullRecord(), folder + "\\no such folder\\x.lnk")));

  // A read-only link stays as it was; no temporary file is left anywhere.
  const std::string locked = folder + "\\locked.lnk";
  ASSERT_EQ(WriteShellLink(FullRecord(), locked), S_OK);
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  TShellLink other = FullRecord();
  other.Description = "changed";
  EXPECT_EQ(WriteShellLink(other, locked), E_ACCESSDENIED);
  TShellLink kept;
  ASSERT_EQ(ReadShellLink(locked, kept), S_OK);
  EXPECT_EQ(kept.Description, "Guarded notes");
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.lktmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);

  TShellLink record = FullRecord();
  EXPECT_TRUE(FAILED(ReadShellLink(folder + "\\missing.lnk", record)));
  lkfix::WriteTextFile(folder + "\\garbage.lnk", "this is not a link file at all");
  EXPECT_TRUE(FAILED(ReadShellLink(folder + "\\garbage.lnk", record)));
  EXPECT_EQ(record.Arguments, FullRecord().Arguments);  // untouched
  EXPECT_EQ(record.Description, FullRecord().Description);
}

// A protected link points at the gate even where it is not installed, and a
// target may vanish after the link was made.
TEST(ShellLinkWin, TargetsThatDoNotExistAreWrittenAndRead) {
  const std::string folder = lkfix::ScratchFolder("linkgone");
  const std::string gone = folder + "\\gone.exe";
  lkfix::WriteTextFile(gone, "MZ");
  TShellLink link = FullRecord();
  for (const std::string& target : {gone, folder + "\\never there\\nothing.exe"}) {
    link.Target = target;
    ASSERT_EQ(WriteShellLink(link, folder + "\\x.lnk"), S_OK) << target;
    DeleteFileA(gone.c_str());
    TShellLink read;
    ASSERT_EQ(ReadShellLink(folder + "\\x.lnk", read), S_OK) << target;
    EXPECT_EQ(read.Target, target);
    EXPECT_EQ(read.Arguments, link.Arguments);
  }
}

TEST(ShellLinkWin, RelativeLinkPathIsReadFromTheCurrentFolder) {
  const std::string folder = lkfix::ScratchFolder("linkrelative");
  ASSERT_EQ(WriteShellLink(FullRecord(), folder + "\\rel.lnk"), S_OK);
  char old[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, old);
  SetCurrentDirectoryA(folder.c_str());
  TShellLink read;
  const HRESULT hr = ReadShellLink("rel.lnk", read);
  SetCurrentDirectoryA(old);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(read.Description, "Guarded notes");
}

TEST(ShellItemListWin, FreedOnlyWhenTheShellAllocatorOwnsIt) {
  LPITEMIDLIST none = nullptr;
  EXPECT_TRUE(FreeShellItemList(none));
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list), S_OK);
  EXPECT_TRUE(FreeShellItemList(list));
  EXPECT_EQ(list, nullptr);
}

}  // namespace
