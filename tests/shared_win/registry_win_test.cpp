#include <gtest/gtest.h>

#include <cstring>

#include "base/stringlist.h"
#include "base/sysutils.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "tests/shared_win/winfixture.h"

namespace {

// Each test works in its own key, removed again at the end.
class RegistryWin : public testing::Test {
 protected:
  void SetUp() override {
    key_ =
        std::string("Software\\Velmora\\LkSvcTest\\") + testing::UnitTest::GetInstance()->current_test_info()->name();
    DeleteRegistryKey(key_, HKEY_CURRENT_USER);
  }
  void TearDown() override { DeleteRegistryKey(key_, HKEY_CURRENT_USER); }

  void RawSet(const char* name, DWORD type, const std::string& bytes) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), 0);
    RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(h);
  }
  TRegData RawGet(const char* name) {
    HKEY h;
    TRegData d;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &h) != 0) return d;
    DWORD size = 0;
    RegQueryValueExA(h, name, nullptr, reinterpret_cast<DWORD*>(&d.Type), nullptr, &size);
    d.Bytes.resize(size);
    RegQueryValueExA(h, name, nullptr, reinterpret_cast<DWORD*>(&d.Type), reinterpret_cast<BYTE*>(d.Bytes.data()),
                     &size);
    RegCloseKey(h);
    return d;
  }
  TLkVariant Read(const char* name, const TLkVariant& fallback) {
    return ReadRegistryValue(HKEY_CURRENT_USER, key_, name, fallback);
  }

  std::string key_;
};

TEST_F(RegistryWin, EachKindIsStoredWithItsExactType) {
  // The fallback differs from the value, so a failed read cannot pass.
  struct Case {
    const char* name;
    TLkVariant value, fallback;
    DWORD type;
    std::size_t size;
  } cases[] = {
      {"Integer", TLkVariant(int32_t(-123456)), TLkVariant(int32_t(0)), REG_DWORD, 4},
      {"SmallInt", TLkVariant(int16_t(-5)), TLkVariant(int16_t(0)), REG_DWORD, 4},
      {"BoolTrue", TLkVariant(true), TLkVariant(false), REG_DWORD, 4},
      {"BoolFalse", TLkVariant(false), TLkVariant(true), REG_DWORD, 4},
      {"Double", TLkVariant(3.25), TLkVariant(0.0), REG_BINARY, 8},
      {"Single", TLkVariant(1.5f), TLkVariant(0.0f), REG_BINARY, 8},
      {"Currency", TLkVariant::Currency(-98765), TLkVariant::Currency(0), REG_BINARY, 8},
      {"Date", TLkVariant::Date(46000.5), TLkVariant::Date(0), REG_BINARY, 8},
      {"Text", TLkVariant("C:\\Program Files\\Lockmere\\"), TLkVariant("-"), REG_SZ, 27},
      {"Empty", TLkVariant(""), TLkVariant("-"), REG_SZ, 1},
  };
  EXPECT_FALSE(WriteRegistryValue(key_, "First", TLkVariant(int32_t(1)), HKEY_CURRENT_USER));  // key was new
  for (const Case& c : cases) {
    EXPECT_TRUE(WriteRegistryValue(key_, c.name, c.value, HKEY_CURRENT_USER)) << c.name;
    const TRegData raw = RawGet(c.name);
    EXPECT_EQ(raw.Type, c.type) << c.name;
    EXPECT_EQ(raw.Bytes.size(), c.size) << c.name;
    // Read back with a default of the same kind.
    EXPECT_EQ(Read(c.name, c.fallback), c.value) << c.name;
    EXPECT_EQ(Read(c.name, TLkVariant()), TLkVariant()) << c.name;  // an unstored kind reads nothing
  }
  EXPECT_EQ(RawGet("BoolTrue").Bytes, std::string("\1\0\0\0", 4));
  double d;
  std::memcpy(&d, RawGet("Double").Bytes.data(), 8);
  EXPECT_EQ(d, 3.25);
  int64_t cur;
  std::memcpy(&cur, RawGet("Currency").Bytes.data(), 8);
  EXPECT_EQ(cur, -98765);
  // The prefix's own reg.exe sees the same types.
  const std::string out = lkfix::RunProgram("reg query \"HKCU\\" + key_ + "\"").Output;
  EXPECT_NE(out.find("Integer    REG_DWORD    0xfffe1dc0"), std::string::npos) << out;
  EXPECT_NE(out.find("Double    REG_BINARY    0000000000000A40"), std::string::npos) << out;
  EXPECT_NE(out.find("Text    REG_SZ    C:\\Program Files\\Lockmere\\"), std::string::npos) << out;
}

TEST_F(RegistryWin, ReadersFallBackOnOtherTypesAndSizes) {
  RawSet("Bool5", REG_DWORD, std::string("\5\0\0\0", 4));
  RawSet("BoolText", REG_SZ, std::string("1\0", 2));
  RawSet("Float4", REG_BINARY, std::string("\0\0\x80\x3F", 4));
  RawSet("Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15));
  RawSet("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  RawSet("TextNul", REG_SZ, std::string("ab\0cd\0", 6));
  EXPECT_EQ(Read("Bool5", TLkVariant(false)), TLkVariant(true));
  EXPECT_EQ(Read("BoolText", TLkVariant(false)), TLkVariant(false));
  EXPECT_EQ(Read("Float4", TLkVariant(9.5)), TLkVariant(9.5));
  EXPECT_EQ(Read("Expand", TLkVariant("d")), TLkVariant("%SystemRoot%\\x"));
  EXPECT_EQ(Read("Multi", TLkVariant("d")), TLkVariant("d"));
  EXPECT_EQ(Read("TextNul", TLkVariant("d")), TLkVariant("ab"));
  EXPECT_EQ(Read("Bool5", TLkVariant("d")), TLkVariant("d"));
  EXPECT_EQ(Read("Missing", TLkVariant(int32_t(42))), TLkVariant(int32_t(42)));
  EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key_ + "\\none", "x", TLkVariant(int32_t(3))), TLkVariant(int32_t(3)));
  // A leading "\" means the same key.
  EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, "\\" + key_, "Bool5", TLkVariant(false)), TLkVariant(true));
}

TEST_F(RegistryWin, UnstoredKindLeavesNoKeyBehind) {
  const std::string fresh = key_ + "\\deeper\\still";
  EXPECT_FALSE(WriteRegistryValue(fresh, "v", TLkVariant(), HKEY_CURRENT_USER));
  EXPECT_FALSE(WriteRegistryValue(fresh, "v", TLkVariant::Null(), HKEY_CURRENT_USER));
  EXPECT_FALSE(RegistryKeyExists(key_, HKEY_CURRENT_USER));
  WriteRegistryValue(key_, "a", TLkVariant(int32_t(1)), HKEY_CURRENT_USER);
  EXPECT_TRUE(WriteRegistryValue(key_, "b", TLkVariant(), HKEY_CURRENT_USER));
  EXPECT_TRUE(RegistryKeyExists(key_, HKEY_CURRENT_USER));  // an existing key stays
}

TEST_F(RegistryWin, WriteFailuresRaiseWithTheirTexts) {
  const std::string longName(20000, 'n');  // beyond the longest value name
  try {
    WriteRegistryValue(key_, longName, TLkVariant("x"), HKEY_CURRENT_USER);
    ADD_FAILURE() << "no error for a value name the registry refuses";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "Failed to set data for '" + longName + "'");
  }
  const std::string longKey = key_ + "\\" + std::string(300, 'k');  // beyond the longest key name
  EXPECT_THROW(WriteRegistryValue(longKey, "v", TLkVariant(int32_t(1)), HKEY_CURRENT_USER), ERegistryException);
  EXPECT_FALSE(RegistryKeyExists(longKey, HKEY_CURRENT_USER));
}

TEST_F(RegistryWin, StrictReadersRaiseWithTheirTexts) {
  RawSet("Number", REG_DWORD, std::string("\1\0\0\0", 4));
  RawSet("Path", REG_EXPAND_SZ, std::string("%USERPROFILE%\\Desktop\0", 22));
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key_, "Path"), "%USERPROFILE%\\Desktop");
  struct Case {
    std::string key, value, message;
  } cases[] = {
      {key_ + "\\absent", "Path", "Unable to open key \"" + key_ + "\\absent\" for read"},
      {key_, "Missing", "Unable to open key \"" + key_ + "\" and access value \"Missing\""},
      {key_, "Number", "Unable to open key \"" + key_ + "\" and access value \"Number\""},
  };
  for (const Case& c : cases) {
    try {
      ReadRegistryString(HKEY_CURRENT_USER, c.key, c.value);
      ADD_FAILURE() << "no error for " << c.value;
    } catch (const ELkRegistryError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  TStringList names;
  names.Add("stale");
  try {
    ReadRegistrySubkeyNames(HKEY_CURRENT_USER, key_ + "\\absent", names);
    ADD_FAILURE() << "no error for a missing key";
  } catch (const ELkRegistryError& e) {
    EXPECT_EQ(e.Message(), "Unable to open key \"" + key_ + "\\absent\" for read");
  }
  EXPECT_EQ(names.Count(), 0);
}

TEST_F(RegistryWin, SubkeysListedAndDeletedRecursively) {
  for (const char* sub : {"b", "a", "c\\c1", "c\\c2\\deep"})
    WriteRegistryValue(key_ + "\\" + sub, "v", TLkVariant("x"), HKEY_CURRENT_USER);
  TStringList names;
  ASSERT_TRUE(ReadRegistrySubkeyNames(HKEY_CURRENT_USER, key_, names));
  EXPECT_EQ(names.CommaText(), "a,b,c");
  DeleteRegistryKey(key_ + "\\c", HKEY_CURRENT_USER);
  EXPECT_FALSE(RegistryKeyExists(key_ + "\\c", HKEY_CURRENT_USER));
  EXPECT_TRUE(RegistryKeyExists(key_ + "\\a", HKEY_CURRENT_USER));
  DeleteRegistryKey(key_, HKEY_CURRENT_USER);
  EXPECT_FALSE(RegistryKeyExists(key_, HKEY_CURRENT_USER));
  DeleteRegistryKey(key_, HKEY_CURRENT_USER);  // missing: nothing happens
}

// HKCR is shared by the whole prefix; only this test touches these keys.
TEST(ExplorerVerbsWin, CreatedAndRemoved) {
  SetLinkContextVerbs(false);
  EXPECT_FALSE(LinkContextVerbsPresent());
  SetLinkContextVerbs(true);
  EXPECT_TRUE(LinkContextVerbsPresent());
  EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "lnkfile\\shell\\Remove protection\\command", ""),
            SystemFolder() + "context.exe /u \"%1\"");
  EXPECT_EQ(ReadRegistryString(HKEY_CLASSES_ROOT, "lnkfile\\shell\\Protect\\command", ""),
            SystemFolder() + "context.exe /p \"%1\"");
  const std::string out = lkfix::RunProgram("reg query \"HKCR\\lnkfile\\shell\\Protect\\command\"").Output;
  EXPECT_NE(out.find("REG_SZ    " + SystemFolder() + "context.exe /p \"%1\""), std::string::npos) << out;
  SetLinkContextVerbs(false);
  EXPECT_FALSE(RegistryKeyExists("lnkfile\\shell\\Remove protection", HKEY_CLASSES_ROOT));
  EXPECT_FALSE(RegistryKeyExists("lnkfile\\shell\\Protect", HKEY_CLASSES_ROOT));
  EXPECT_TRUE(RegistryKeyExists("lnkfile", HKEY_CLASSES_ROOT));
  SetLinkContextVerbs(false);  // twice: harmless
  EXPECT_FALSE(LinkContextVerbsPresent());
}

// The settings block: each value's default when it is missing or of another
// type, and its stored type after a write.
TEST(SettingsBlock, DefaultsAndStoredTypes) {
  lkfix::TPrefixLock lock;
  ASSERT_TRUE(lock.Held());
  DeleteRegistryKey(kSettingsKey);
  EXPECT_EQ(ReadSetting(LKData::Malla), "RED");
  EXPECT_EQ(ReadSetting(LKData::Malla_x), 185);
  EXPECT_EQ(ReadSetting(LKData::Malla_y), 20);
  EXPECT_FALSE(ReadSetting(LKData::doAuthenticate));
  EXPECT_EQ(ReadSetting(LKData::InstallPath, "C:\\x\\"), "C:\\x\\");

  WriteSetting(LKData::doAuthenticate, true);
  WriteSetting(LKData::IconView, 2);
  WriteSetting(LKData::SkinName, "Blue sky");
  const std::pair<const char*, DWORD> types[] = {
      {"doAuthenticate", REG_DWORD}, {"IconView", REG_DWORD}, {"SkinName", REG_SZ}};
  for (auto [name, type] : types) {
    DWORD stored = 0;
    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &h), 0);
    EXPECT_EQ(RegQueryValueExA(h, name, nullptr, &stored, nullptr, nullptr), 0) << name;
    RegCloseKey(h);
    EXPECT_EQ(stored, type) << name;
  }
  EXPECT_TRUE(ReadSetting(LKData::doAuthenticate));
  EXPECT_EQ(ReadSetting(LKData::IconView), 2);
  EXPECT_EQ(ReadSetting(LKData::SkinName), "Blue sky");
  // A value of another type reads as the default.
  WriteRegistryValue(kSettingsKey, "Malla_x", TLkVariant("185"));
  EXPECT_EQ(ReadSetting(LKData::Malla_x), 185);
  WriteRegistryValue(kSettingsKey, "Malla", TLkVariant(int32_t(3)));
  EXPECT_EQ(ReadSetting(LKData::Malla), "RED");
  DeleteRegistryKey(kSettingsKey);
}

}  // namespace
