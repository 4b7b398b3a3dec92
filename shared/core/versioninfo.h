// TLkFileVersionInfo: the version-information block of one file (the
// VS_VERSION_INFO resource layout, 32-bit form with UTF-16 keys), parsed
// with every length checked against its enclosing block.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct TLkFixedFileInfo {
  uint32_t Signature = 0;  // 0xFEEF04BD
  uint32_t StrucVersion = 0;
  uint32_t FileVersionMS = 0, FileVersionLS = 0;
  uint32_t ProductVersionMS = 0, ProductVersionLS = 0;
  uint32_t FileFlagsMask = 0, FileFlags = 0;
  uint32_t FileOS = 0, FileType = 0, FileSubtype = 0;
  uint32_t FileDateMS = 0, FileDateLS = 0;
};

enum class TLkFileFlag { Debug, InfoInferred, Patched, PreRelease, PrivateBuild, SpecialBuild };

class TLkFileVersionInfo {
 public:
  // Parses a whole block as GetFileVersionInfo returns it. A block whose
  // first key is not "VS_VERSION_INFO" with a 52-byte value, whose fixed
  // block lacks its signature, or whose lengths do not fit raises
  // ELkFileVersionInfoError.
  static TLkFileVersionInfo FromBlock(std::string_view block);

  const std::string& Block() const { return block_; }
  const TLkFixedFileInfo& FixedFileInfo() const { return fixed_; }
  // String tables keyed by their eight-hex-digit language-and-code-page
  // names; each entry "name=value" (values converted byte for byte, code
  // units above 0xFF as "?").
  const std::map<std::string, std::vector<std::string>>& StringTables() const { return tables_; }
  // The table keys in block order.
  const std::vector<std::string>& Languages() const { return languages_; }
  // The "Translation" entries: language in the low word, code page in the high.
  const std::vector<uint32_t>& Translation() const { return translation_; }
  bool HasFileFlag(TLkFileFlag flag) const;
  // The value of `name` in the table `language`; empty when absent.
  std::string Value(const std::string& language, const std::string& name) const;

 private:
  std::string block_;
  TLkFixedFileInfo fixed_;
  std::map<std::string, std::vector<std::string>> tables_;
  std::vector<std::string> languages_;
  std::vector<uint32_t> translation_;
};
