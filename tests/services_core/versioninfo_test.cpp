#include <gtest/gtest.h>

#include "shared/core/errors.h"
#include "shared/core/versioninfo.h"
#include "versionblock.h"

namespace {

TEST(VersionInfo, ParsesFixedBlockTablesAndTranslation) {
  const std::string block = SampleVersionBlock(0x0004005A, 0x0B, 0x3F) + "FE2X trailing copy";
  const TLkFileVersionInfo info = TLkFileVersionInfo::FromBlock(block);
  EXPECT_EQ(info.FixedFileInfo().Signature, 0xFEEF04BDu);
  EXPECT_EQ(info.FixedFileInfo().ProductVersionMS, 0x0004005Au);
  EXPECT_EQ(info.FixedFileInfo().FileVersionMS, 0x00050001u);
  EXPECT_EQ(info.Languages(), std::vector<std::string>{"040904E4"});
  EXPECT_EQ(info.StringTables().at("040904E4"),
            (std::vector<std::string>{"CompanyName=Velmora", "FileDescription=Kernel\xE9", "ProductVersion=4.10"}));
  EXPECT_EQ(info.Value("040904E4", "ProductVersion"), "4.10");
  EXPECT_EQ(info.Value("040904E4", "Product"), "");
  EXPECT_EQ(info.Translation(), std::vector<uint32_t>{0x04E40409});
  EXPECT_TRUE(info.HasFileFlag(TLkFileFlag::Debug));
  EXPECT_TRUE(info.HasFileFlag(TLkFileFlag::PreRelease));
  EXPECT_FALSE(info.HasFileFlag(TLkFileFlag::Patched));
  EXPECT_TRUE(info.HasFileFlag(TLkFileFlag::PrivateBuild));
  EXPECT_EQ(info.Block(), SampleVersionBlock(0x0004005A, 0x0B, 0x3F));  // the block without what follows it
  // Flags outside the mask do not count.
  EXPECT_FALSE(TLkFileVersionInfo::FromBlock(SampleVersionBlock(0, 0x01, 0x3E)).HasFileFlag(TLkFileFlag::Debug));
}

TEST(VersionInfo, RejectsBlocksThatAreNotVersionInformation) {
  std::string fixed(52, '\0');
  fixed[0] = '\xBD', fixed[1] = '\x04', fixed[2] = '\xEF', fixed[3] = '\xFE';
  struct Case {
    const char* what;
    std::string block;
  } cases[] = {
      {"empty", ""},
      {"other key", EncodeVersionNode({"VS_VERSION_INFX", 0, fixed, {}})},
      {"short fixed block", EncodeVersionNode({"VS_VERSION_INFO", 0, fixed.substr(0, 48), {}})},
      {"no signature", EncodeVersionNode({"VS_VERSION_INFO", 0, std::string(52, '\0'), {}})},
      {"child longer than parent", [] {
         std::string b = SampleVersionBlock(1);
         b[0x5C] = '\xFF';  // length of StringFileInfo
         return b;
       }()},
  };
  for (const Case& c : cases) EXPECT_THROW(TLkFileVersionInfo::FromBlock(c.block), ELkFileVersionInfoError) << c.what;
  EXPECT_NO_THROW(TLkFileVersionInfo::FromBlock(EncodeVersionNode({"VS_VERSION_INFO", 0, fixed, {}})));
}

TEST(VersionInfo, EveryTruncationRaisesOrParses) {
  // Cut the block short and also shrink its stated length with it: each
  // prefix must end in the error or a parse, never a read past the end.
  const std::string whole = SampleVersionBlock(0x00050001);
  for (std::size_t n = 0; n < whole.size(); ++n) {
    std::string cut = whole.substr(0, n);
    try {
      TLkFileVersionInfo::FromBlock(cut);
    } catch (const ELkFileVersionInfoError&) {
    }
    if (n >= 2) {
      cut[0] = static_cast<char>(n & 0xFF), cut[1] = static_cast<char>(n >> 8);
      try {
        const TLkFileVersionInfo info = TLkFileVersionInfo::FromBlock(cut);
        EXPECT_EQ(info.FixedFileInfo().ProductVersionMS, 0x00050001u) << n;
      } catch (const ELkFileVersionInfoError&) {
      }
    }
  }
}

}  // namespace
