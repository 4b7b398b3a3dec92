#include <gtest/gtest.h>

#include <string>

#include "controls/core/filepaths.h"

namespace {

using namespace std::string_literals;

TEST(FilePaths, AppendAndStripDelimiterTables) {
  const std::pair<const char*, const char*> append[] = {
      {"", ""}, {"C:", "C:"}, {"C:\\", "C:\\"}, {"x", "x:\\"}, {"Q", "Q:\\"},
      {"1", "1\\"}, {"C:\\DIR", "C:\\DIR\\"}, {"\\\\srv\\share", "\\\\srv\\share\\"},
  };
  for (const auto& [in, out] : append) EXPECT_EQ(AppendPathDelimiter(in), out) << in;
  const std::pair<const char*, const char*> strip[] = {
      {"", ""}, {"\\", "\\"}, {"C:\\", "C:\\"}, {"C:\\DIR\\", "C:\\DIR"},
      {"C:\\DIR", "C:\\DIR"}, {"1:\\", "1:"}, {"C:\\DIR\\\\", "C:\\DIR\\"},
  };
  for (const auto& [in, out] : strip) EXPECT_EQ(StripPathDelimiter(in), out) << in;
}

TEST(FilePaths, NameListsEndInTwoNuls) {
  EXPECT_EQ(BuildNameList(""), "");
  const std::string list = BuildNameList("a;b|c");
  EXPECT_EQ(list, "a\0b\0c\0"s);
  EXPECT_EQ(list.c_str()[list.size()], '\0');  // the list's end
  // A single name keeps its ";": it is one file.
  EXPECT_EQ(SingleNameList("C:\\x;y.lnk"), "C:\\x;y.lnk\0"s);
  EXPECT_EQ(SingleNameList(""), "");
}

TEST(FilePaths, ProgressShiftKeepsTheRangeIn32Bits) {
  EXPECT_EQ(ProgressShift(0), 0);
  EXPECT_EQ(ProgressShift(INT32_MAX), 0);
  EXPECT_EQ(ProgressShift(int64_t{INT32_MAX} + 1), 1);
  EXPECT_EQ(ProgressShift(int64_t{5} << 32), 4);
  EXPECT_LE(int64_t{5} << 32 >> ProgressShift(int64_t{5} << 32), INT32_MAX);
}

}  // namespace
