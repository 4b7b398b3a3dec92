#include "shared/core/regkinds.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string Dword(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Double(double v) { return std::string(reinterpret_cast<const char*>(&v), 8); }

TEST(RegistryKinds, EachKindIsStoredWithItsType) {
  struct Case {
    const char* what;
    TLkVariant value;
    uint32_t type;
    std::string bytes;
  } cases[] = {
      {"integer", TLkVariant(int32_t(-7)), kRegDword, Dword(-7)},
      {"small integer", TLkVariant(int16_t(300)), kRegDword, Dword(300)},
      {"true", TLkVariant(true), kRegDword, Dword(1)},
      {"false", TLkVariant(false), kRegDword, Dword(0)},
      {"double", TLkVariant(2.5), kRegBinary, Double(2.5)},
      {"single", TLkVariant(0.25f), kRegBinary, Double(0.25)},
      {"date", TLkVariant::Date(36526.75), kRegBinary, Double(36526.75)},
      {"currency", TLkVariant::Currency(123456), kRegBinary, std::string("\x40\xE2\x01\0\0\0\0\0", 8)},
      {"text", TLkVariant("Aqua"), kRegSz, std::string("Aqua\0", 5)},
      {"empty text", TLkVariant(""), kRegSz, std::string("\0", 1)},
  };
  for (const Case& c : cases) {
    const std::optional<TRegData> d = EncodeRegValue(c.value);
    ASSERT_TRUE(d) << c.what;
    EXPECT_EQ(d->Type, c.type) << c.what;
    EXPECT_EQ(d->Bytes, c.bytes) << c.what;
    EXPECT_EQ(DecodeRegValue(*d, c.value.Kind()), c.value) << c.what;  // and back
  }
  EXPECT_FALSE(EncodeRegValue(TLkVariant()));
  EXPECT_FALSE(EncodeRegValue(TLkVariant::Null()));
}

TEST(RegistryKinds, ReadersAcceptOnlyTheirStoredForm) {
  struct Case {
    const char* what;
    TRegData stored;
    TLkVarKind like;
    std::optional<TLkVariant> read;
  } cases[] = {
      {"boolean dword 5 is true", {kRegDword, Dword(5)}, TLkVarKind::Boolean, TLkVariant(true)},
      {"boolean from text", {kRegSz, std::string("1\0", 2)}, TLkVarKind::Boolean, std::nullopt},
      {"integer from binary", {kRegBinary, Dword(1)}, TLkVarKind::Integer, std::nullopt},
      {"integer from short dword", {kRegDword, "\x01\x00"}, TLkVarKind::Integer, std::nullopt},
      {"float of 4 bytes", {kRegBinary, Dword(0)}, TLkVarKind::Double, std::nullopt},
      {"float of 9 bytes", {kRegBinary, Double(1) + "x"}, TLkVarKind::Double, std::nullopt},
      {"float from dword", {kRegDword, Dword(1)}, TLkVarKind::Double, std::nullopt},
      {"date of 8 bytes", {kRegBinary, Double(2.0)}, TLkVarKind::Date, TLkVariant::Date(2.0)},
      {"currency of 8 bytes",
       {kRegBinary, Double(0).replace(0, 1, "\x10")},
       TLkVarKind::Currency,
       TLkVariant::Currency(16)},
      {"expand sz unexpanded",
       {kRegExpandSz, std::string("%USERPROFILE%\\Desktop\0", 22)},
       TLkVarKind::String,
       TLkVariant("%USERPROFILE%\\Desktop")},
      {"text cut at first nul", {kRegSz, std::string("ab\0cd\0", 6)}, TLkVarKind::String, TLkVariant("ab")},
      {"text without terminator", {kRegSz, "abc"}, TLkVarKind::String, TLkVariant("abc")},
      {"text from dword", {kRegDword, Dword(1)}, TLkVarKind::String, std::nullopt},
      {"text from multi sz", {kRegMultiSz, std::string("a\0\0", 3)}, TLkVarKind::String, std::nullopt},
      {"empty default kind", {kRegDword, Dword(1)}, TLkVarKind::Empty, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeRegValue(c.stored, c.like), c.read) << c.what;
}

}  // namespace
