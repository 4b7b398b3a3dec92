// File copy with progress and the path routines, on real files under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/fileops.h"
#include "controls/win/filecopy.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "tests/controls/win_support.h"

namespace {

// Stands in for a progress bar: records what the copy sets.
struct RecordingControl : TObject {
  std::vector<std::string> log;
  void SetMax(int v) { log.push_back("max " + std::to_string(v)); }
  void SetMin(int v) { log.push_back("min " + std::to_string(v)); }
  void SetPosition(int v) { log.push_back("pos " + std::to_string(v)); }
  std::string Log() const {
    std::string s;
    for (const auto& l : log) s += (s.empty() ? "" : ", ") + l;
    return s;
  }
};
struct DerivedRecording : RecordingControl {};
struct Unregistered : TObject {};

struct CopyTest : ::testing::Test {
  static void SetUpTestSuite() {
    if (ProgressList().IndexOf(&probe) < 0)
      ProgressList().Add<RecordingControl>(&RecordingControl::SetMax, &RecordingControl::SetMin,
                                           &RecordingControl::SetPosition);
  }
  static inline RecordingControl probe;
  ScratchFolder dir{"copy"};
  RecordingControl progress;

  static std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
  }
  // Names left in the folder besides the given ones (temporary files).
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir.Path() + "\\*").c_str(), &fd);
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
  }
};

TEST_F(CopyTest, SizesAroundTheBufferAndTheirProgress) {
  const struct {
    std::size_t size;
    const char* progress;
  } cases[] = {
      {0, "max 0, min 0, pos 0, pos 0"},
      {1, "max 1, min 0, pos 0, pos 1, pos 0"},
      {8191, "max 8191, min 0, pos 0, pos 8191, pos 0"},
      {8192, "max 8192, min 0, pos 0, pos 8192, pos 0"},
      {16384, "max 16384, min 0, pos 0, pos 8192, pos 16384, pos 0"},
      {20000, "max 20000, min 0, pos 0, pos 8192, pos 16384, pos 20000, pos 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string src = dir / ("src" + std::to_string(c.size)), dst = dir / ("dst" + std::to_string(c.size));
    WriteBytes(src, Pattern(c.size));
    progress.log.clear();
    CopyFileWithProgress(src, dst, false, false, &progress);
    EXPECT_EQ(ReadBytes(dst), Pattern(c.size));
    EXPECT_EQ(FileSizeOf(dst), static_cast<int64_t>(c.size));
    EXPECT_EQ(progress.Log(), c.progress);
  }
  EXPECT_EQ(Files().size(), 12u);  // no temporary file left behind
}

TEST_F(CopyTest, IntoAFolderUnderTheSourceName) {
  const std::string src = dir / "report.txt";
  WriteBytes(src, "hello");
  CreateDirectoryA((dir / "out").c_str(), nullptr);
  CopyFileWithProgress(src, dir / "out", false, false, nullptr);
  EXPECT_EQ(ReadBytes(dir / "out\\report.txt"), "hello");
  // Missing folders of a target are made on the way.
  CopyFileWithProgress(src, dir / "new\\deeper\\copy.txt", false, false, nullptr);
  EXPECT_EQ(ReadBytes(dir / "new\\deeper\\copy.txt"), "hello");
}

TEST_F(CopyTest, KeepsTheSourceDate) {
  const std::string src = dir / "old.bin";
  WriteBytes(src, Pattern(10000));
  SYSTEMTIME st{2001, 2, 0, 3, 4, 5, 6, 0};
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  HANDLE h = CreateFileA(src.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(h, nullptr, nullptr, &ft);
  CloseHandle(h);
  CopyFileWithProgress(src, dir / "new.bin", false, false, nullptr);
  WIN32_FILE_ATTRIBUTE_DATA a;
  ASSERT_TRUE(GetFileAttributesExA((dir / "new.bin").c_str(), GetFileExInfoStandard, &a));
  EXPECT_EQ(CompareFileTime(&a.ftLastWriteTime, &ft), 0);
}

TEST_F(CopyTest, ReadOnlyTargetWithAndWithoutOverwrite) {
  const std::string src = dir / "new.txt", dst = dir / "locked.txt";
  WriteBytes(src, "new contents");
  WriteBytes(dst, "old");
  SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_READONLY);
  try {
    CopyFileWithProgress(src, dst, false, false, &progress);
    FAIL() << "copied over a read-only file";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + dst);
  }
  EXPECT_EQ(ReadBytes(dst), "old");
  EXPECT_EQ(progress.log.back(), "pos 0");
  CopyFileWithProgress(src, dst, true, false, nullptr);
  EXPECT_EQ(ReadBytes(dst), "new contents");
  EXPECT_FALSE(FileHasAttributes(dst, FILE_ATTRIBUTE_READONLY));
}

TEST_F(CopyTest, FailuresLeaveTheOldTargetIntact) {
  const std::string dst = dir / "keep.txt";
  WriteBytes(dst, "precious");
  try {
    CopyFileWithProgress(dir / "missing.txt", dst, false, false, &progress);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + (dir / "missing.txt"));
  }
  EXPECT_EQ(ReadBytes(dst), "precious");
  EXPECT_EQ(progress.Log(), "pos 0");

  // A source whose read fails (Wine maps Z: to the Unix root; reading a
  // process's memory file at offset 0 fails): the target was never touched.
  progress.log.clear();
  EXPECT_THROW(CopyFileWithProgress("Z:\\proc\\self\\mem", dst, false, false, &progress), EReadError);
  EXPECT_EQ(ReadBytes(dst), "precious");
  EXPECT_EQ(progress.Log(), "max 0, min 0, pos 0, pos 0");

  // The whole source was read and written, but the target cannot be
  // replaced (another program holds it open): the old contents stay.
  const std::string src = dir / "big.bin";
  WriteBytes(src, Pattern(30000));
  HANDLE holder = CreateFileA(dst.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  progress.log.clear();
  try {
    CopyFileWithProgress(src, dst, false, false, &progress);
    ADD_FAILURE() << "replaced a file held open";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + dst);
  }
  CloseHandle(holder);
  EXPECT_TRUE(ReadBytes(dst) == "precious");
  EXPECT_EQ(progress.log.back(), "pos 0");
  EXPECT_EQ(Files(), (std::vector<std::string>{"big.bin", "keep.txt"}));
}

// On the 9x line the copy replaces its target by renames: into a missing
// target, over one, over a read-only one when asked, and a target held
// open stays; nothing is left beside it.
TEST_F(CopyTest, CopiesByRenamesAsOnThe9xLine) {
  struct TRenamesAsOn9x {
    TRenamesAsOn9x() { lk_fileops::SetOneStepReplaceMissing(true); }
    ~TRenamesAsOn9x() { lk_fileops::SetOneStepReplaceMissing(false); }
  } renames;
  const std::string first = dir / "first.bin", second = dir / "second.bin", dst = dir / "copy.bin";
  WriteBytes(first, Pattern(20000));
  WriteBytes(second, Pattern(9000).substr(1) + "!");
  CopyFileWithProgress(first, dst, false, false, &progress);
  EXPECT_EQ(ReadBytes(dst), Pattern(20000));
  CopyFileWithProgress(second, dst, false, false, &progress);
  EXPECT_EQ(ReadBytes(dst), Pattern(9000).substr(1) + "!");
  SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_READONLY);
  CopyFileWithProgress(first, dst, true, false, nullptr);
  EXPECT_EQ(ReadBytes(dst), Pattern(20000));
  EXPECT_FALSE(FileHasAttributes(dst, FILE_ATTRIBUTE_READONLY));

  HANDLE holder = CreateFileA(dst.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_THROW(CopyFileWithProgress(second, dst, false, false, &progress), EFCreateError);
  CloseHandle(holder);
  EXPECT_EQ(ReadBytes(dst), Pattern(20000));
  std::vector<std::string> left = Files();
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"copy.bin", "first.bin", "second.bin"}));
}

TEST_F(CopyTest, SourceEqualToTargetIsAnError) {
  const std::string src = dir / "self.txt";
  WriteBytes(src, "me");
  for (const std::string& same : {src, dir.Path() + "\\.\\self.txt", ShortPath(src)}) {
    SCOPED_TRACE(same);
    EXPECT_THROW(CopyFileWithProgress(src, same, true, false, nullptr), EFCreateError);
    EXPECT_EQ(ReadBytes(src), "me");
  }
  EXPECT_THROW(CopyFileWithProgress(src, dir.Path(), true, false, nullptr), EFCreateError);  // the folder it is in
  EXPECT_EQ(ReadBytes(src), "me");
}

TEST_F(CopyTest, ProgressRegistryMatchesByClass) {
  DerivedRecording derived;
  Unregistered other;
  EXPECT_GE(ProgressList().IndexOf(&derived), 0);
  EXPECT_EQ(ProgressList().IndexOf(&other), -1);
  EXPECT_EQ(ProgressList().IndexOf(nullptr), -1);
  EXPECT_FALSE(ProgressList().SetControlValue(&other, TProgressValue::pvMax, 3));
  const std::string src = dir / "a.txt";
  WriteBytes(src, "abc");
  CopyFileWithProgress(src, dir / "b.txt", false, false, &derived);
  EXPECT_EQ(derived.Log(), "max 3, min 0, pos 0, pos 3, pos 0");
  CopyFileWithProgress(src, dir / "c.txt", false, false, &other);  // left alone, still copies
  EXPECT_EQ(ReadBytes(dir / "c.txt"), "abc");

  // A later registration wins over an earlier one for the same control.
  TProgressList list;
  std::string seen;
  list.Add([](const TObject* o) { return dynamic_cast<const RecordingControl*>(o) != nullptr; },
           [&](TObject*, int) { seen += "first"; }, nullptr, nullptr);
  list.Add([](const TObject* o) { return dynamic_cast<const DerivedRecording*>(o) != nullptr; },
           [&](TObject*, int) { seen += "second"; }, nullptr, nullptr);
  EXPECT_TRUE(list.SetControlValue(&derived, TProgressValue::pvMax, 1));
  EXPECT_TRUE(list.SetControlValue(&progress, TProgressValue::pvMax, 1));
  EXPECT_EQ(seen, "secondfirst");
}

TEST_F(CopyTest, ShellCopyTakesTheExactNameWithASemicolon) {
  const std::string src = dir / "a;b.txt";
  WriteBytes(src, "semi");
  WriteBytes(dir / "a", "decoy");
  CreateDirectoryA((dir / "to").c_str(), nullptr);
  CopyFileWithProgress(src, dir / "to\\a;b.txt", false, true, nullptr);
  EXPECT_EQ(ReadBytes(dir / "to\\a;b.txt"), "semi");
  EXPECT_EQ(ReadBytes(dir / "to\\a"), "<missing>");
  ShellFileOperation(dir / "to\\a;b.txt", dir / "to\\c;d.txt", false, false, true);  // same folder: a rename
  EXPECT_EQ(ReadBytes(dir / "to\\c;d.txt"), "semi");
  EXPECT_EQ(ReadBytes(dir / "to\\a;b.txt"), "<missing>");
}

TEST_F(CopyTest, OperatorSplitsItsListsAtSemicolonsAndBars) {
  WriteBytes(dir / "one", "1");
  WriteBytes(dir / "two", "2");
  WriteBytes(dir / "three", "3");
  TLkFileOperator op(nullptr);
  op.Operation = TFileOperation::foDelete;
  op.Options = {flNoConfirmation, flSilent, flNoErrorUI};
  op.Source = (dir / "one") + ";" + (dir / "two") + "|" + (dir / "three");
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(op.Aborted());
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(ShellOperationFlags({flAllowUndo, flNoConfirmMkDir}), 0x240u);
  EXPECT_EQ(ShellOperationFlags({flMultiDest, flConfirmMouse, flSilent, flRenameOnCollision, flNoConfirmation,
                                 flFilesOnly, flSimpleProgress, flNoErrorUI}),
            0x1u | 0x2u | 0x4u | 0x8u | 0x10u | 0x80u | 0x100u | 0x400u);
}

TEST_F(CopyTest, PathRoutines) {
  const std::string file = dir / "Long File Name.text";
  WriteBytes(file, "12345");
  EXPECT_EQ(FileSizeOf(file), 5);
  EXPECT_EQ(FileSizeOf(dir.Path()), -1);
  EXPECT_EQ(FileSizeOf(dir / "nothing"), -1);
  EXPECT_TRUE(FolderExists(dir.Path()));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FolderExists(dir / "nothing"));
  EXPECT_TRUE(FileHasAttributes(file, 0));
  EXPECT_FALSE(FileHasAttributes(file, FILE_ATTRIBUTE_DIRECTORY));
  const std::string shortForm = ShortPath(file);
  EXPECT_EQ(ExtractFileName(shortForm).find(' '), std::string::npos) << shortForm;
  EXPECT_EQ(AnsiLowerCase(LongPath(shortForm)), AnsiLowerCase(file));
  EXPECT_EQ(LongPath("C:\\"), "C:\\");
}

}  // namespace
