// Which names a skin may use for its files and its link.
#include <gtest/gtest.h>

#include <string>

#include "base/sysutils.h"
#include "skins/skinrules.h"

namespace {

TEST(SkinNames, OnlyNamesThatStayInsideTheFolder) {
  for (const char* inside : {"back.bmp", "img\\up.bmp", "img/up.bmp", "a..b.bmp", ".hidden.bmp", "Night Sky",
                             "COM10.bmp", "console.bmp", "\xE9t\xE9.bmp"})
    EXPECT_TRUE(IsNameInsideFolder(inside)) << inside;
  for (const char* outside :
       {"", "..\\..\\x.bmp", "../x.bmp", "img\\..\\..\\x.bmp", "..", "...\\x.bmp", ". .\\x.bmp", ".\\x.bmp",
        "C:\\Windows\\x.bmp", "C:x.bmp", "\\\\host\\share\\x.bmp", "\\x.bmp", "/etc/passwd", "img\\\\x.bmp",
        "img\\", "x.bmp:stream", "nul", "NUL.bmp", "con.d\\x.bmp", "img\\con", "aux .bmp", "com1.txt", "LPT9", "COM\xB9",
        "CONOUT$", "*.bmp", "a?.bmp", "a<b", "a|b", "a\"b", "a\tb", "a\x7F"})
    EXPECT_FALSE(IsNameInsideFolder(outside)) << outside;
}

TEST(SkinNames, FilePathJoinsOrRefuses) {
  EXPECT_EQ(SkinFilePath("C:\\LM\\skins\\Night\\", "up.bmp"), "C:\\LM\\skins\\Night\\up.bmp");
  EXPECT_EQ(SkinFilePath("C:\\LM\\skins\\Night", "img\\up.bmp"), "C:\\LM\\skins\\Night\\img\\up.bmp");
  EXPECT_EQ(SkinFilePath("C:\\LM\\skins\\Night\\", "..\\..\\x.bmp"), "");
  EXPECT_EQ(SkinFilePath("C:\\LM\\skins\\Night\\", "C:\\x.bmp"), "");
}

TEST(SkinLink, OnlyWebAndMailAddressesOpen) {
  for (const char* web : {"http://www.example.com/", "HTTPS://example.com", "ftp://files.example.com/a",
                          "mailto:someone@example.com", "http://x/?a=1&b=%20"})
    EXPECT_TRUE(IsWebAddress(web)) << web;
  for (const char* other :
       {"", "calc.exe", "C:\\Windows\\system32\\cmd.exe", "\\\\host\\share\\run.exe", "file:///C:/x.exe",
        "javascript:alert(1)", "shell:startup", "ms-settings:", "http:calc.exe", "http:///etc", "http://",
        "mailto:", "http://x/\" --run", "http://a b/", "http://a\tb/", " http://x/", "www.example.com"})
    EXPECT_FALSE(IsWebAddress(other)) << other;
}

}  // namespace
