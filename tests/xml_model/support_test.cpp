// Symbol table, element stack, error list, string buffer and file streams.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/sysutils.h"
#include "tests/xml_model/test_util.h"
#include "xml/dom.h"
#include "xml/parsersupport.h"

namespace {

TEST(SymTabTest, HashIgnoresAsciiCase) {
  // h = (h * 16 + upcased unit) mod 65536, bucket h mod 211.
  EXPECT_EQ(TSymTab::Hash(u""), 0);
  EXPECT_EQ(TSymTab::Hash(u"A"), 65 % 211);
  EXPECT_EQ(TSymTab::Hash(u"ab"), (65 * 16 + 66) % 211);
  EXPECT_EQ(TSymTab::Hash(u"abcde"), ((((65 * 16 + 66) * 16 + 67) * 16 + 68) * 16 + 69) % 65536 % 211);
  EXPECT_EQ(TSymTab::Hash(u"<!doctype"), TSymTab::Hash(u"<!DOCTYPE"));
  EXPECT_EQ(TSymTab::Hash(u"\u0100"), 0x100 % 211);
  EXPECT_NE(TSymTab::Hash(u"\u00E9"), TSymTab::Hash(u"\u00C9"));
}

TEST(SymTabTest, InsertAndLookup) {
  TSymTab t;
  EXPECT_EQ(t.Lookup(u"x"), -1);
  int32_t h1 = t.Insert(u"<!DOCTYPE", 260);
  int32_t h2 = t.Insert(u"<!doctype", 999);
  EXPECT_EQ(h1 & 0xFF, TSymTab::Hash(u"<!DOCTYPE"));
  EXPECT_EQ(h1 >> 8, 0);
  EXPECT_EQ(h2, h1 + 256);  // never merged: second position of the bucket
  EXPECT_EQ(t.Lookup(u"<!DocType"), h1);
  EXPECT_EQ(t.GetValue(h1), 260);
  EXPECT_EQ(t.GetName(h2), u"<!doctype");
  EXPECT_EQ(t.Entry(h1).Extra, -1);
  EXPECT_EQ(t.Lookup(u"<!DOCTYP"), -1);
  // "A" (65) and "B@" (66 * 16 + 64 = 1120 = 5 * 211 + 65) share a bucket.
  ASSERT_EQ(TSymTab::Hash(u"A"), TSymTab::Hash(u"B@"));
  int32_t ha = t.Insert(u"a", 1), hb = t.Insert(u"B@", 2);
  EXPECT_EQ(hb, ha + 256);
  EXPECT_EQ(t.Lookup(u"b@"), hb);
  EXPECT_EQ(t.Lookup(u"A"), ha);
}

// A table copied from a base goes back to the base's entries however often
// entries were added, in buckets of the base's or new ones.
TEST(SymTabTest, ResetToTheBaseAgainAndAgain) {
  TSymTab base;
  base.Insert(u"A", 1);
  base.Insert(u"<", 2);
  TSymTab t(base);
  for (int round = 0; round < 3; ++round) {
    t.Insert(u"B@", 10);  // the bucket of "A"
    t.Insert(u"zz", 11);
    t.Insert(u"zz", 12);
    t.Insert(u"q" + std::u16string(static_cast<std::size_t>(round), u'x'), 13);
    EXPECT_NE(t.Lookup(u"zz"), -1);
    t.ResetTo(base);
    EXPECT_EQ(t.Lookup(u"B@"), -1);
    EXPECT_EQ(t.Lookup(u"zz"), -1);
    EXPECT_EQ(t.Lookup(u"q"), -1);
    EXPECT_EQ(t.GetValue(t.Lookup(u"a")), 1);
    EXPECT_EQ(t.GetValue(t.Lookup(u"<")), 2);
  }
  t.ResetTo(base);  // nothing added
  EXPECT_EQ(t.Lookup(u"A"), base.Lookup(u"A"));
}

TEST(SymTabTest, EntrySetters) {
  TSTEntry e(5, u"name", 7), f;
  f.Assign(e);
  EXPECT_EQ(f.Value, 5);
  EXPECT_EQ(f.Name, u"name");
  EXPECT_EQ(f.Extra, 7);
  f.Set(1, u"n", -1);
  EXPECT_EQ(f.Value, 1);
}

TEST(StackTest, PushPopTop) {
  TXMLStack s;
  EXPECT_EQ(s.Top(), nullptr);
  TLkXMLNode n(u"elem", 1, nullptr);
  s.Push(nullptr);
  s.Push(&n);
  EXPECT_EQ(s.Top(), &n);
  EXPECT_EQ(s.Pop(), u"elem");
  EXPECT_EQ(s.Pop(), u"");
  EXPECT_TRUE(s.Empty());
}

TEST(ErrorListTest, OwnsItsErrors) {
  TLkErrorsList l;
  l.Add("[XML]: Root element not found.", nullptr);
  ASSERT_EQ(l.Count(), 1);
  EXPECT_EQ(l.Items(0).Message, "[XML]: Root element not found.");
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST(StringBufferTest, CapacityRule) {
  TStringBuffer b(100);
  EXPECT_EQ(b.Capacity(), 100);
  EXPECT_EQ(b.Count(), 1);
  for (int i = 0; i < 98; ++i) b.AddChar(u'x');
  EXPECT_EQ(b.Capacity(), 100);
  b.AddChar(u'y');  // the 99th character: Count reaches Capacity
  EXPECT_EQ(b.Capacity(), 1124);
  EXPECT_EQ(b.Count(), 100);
  EXPECT_EQ(b.GetText().size(), 99u);
  for (int i = 0; i < 1024; ++i) b.AddChar(u'z');
  EXPECT_EQ(b.Capacity(), 2148);
  b.Reset();
  EXPECT_EQ(b.GetText(), u"");
  EXPECT_EQ(b.Capacity(), 2148);
  b.AddString(WideString(u"ab\0c", 4));
  EXPECT_EQ(b.GetText(), u"ab");
}

TEST(StringBufferTest, MillionsOfCharactersAreLinear) {
  TStringBuffer b(100);
  for (int i = 0; i < 5'000'000; ++i) b.AddChar(static_cast<WideChar>(u'a' + i % 26));
  EXPECT_EQ(b.Length(), 5'000'000);
  EXPECT_EQ(b.Capacity(), 100 + 1024 * ((5'000'000 + 1 - 100) / 1024 + 1));
}

class FileStreamTest : public ::testing::Test {
 protected:
  // One file per case: ctest runs the cases side by side, and each removes its file.
  std::string path_ = std::string(LK_BINARY_DIR) + "/xml_model_handle_stream_" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".tmp";
  void TearDown() override { std::remove(path_.c_str()); }
};

TEST_F(FileStreamTest, WriteSeekSetSizeAndRead) {
  {
    TXMLFileStream f(path_, xmlGenericWrite, xmlFileShareRead, xmlCreateAlways, xmlFileAttributeNormal);
    EXPECT_EQ(f.Write("hello world", 11), 11);
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0);  // write-only handle
    EXPECT_EQ(f.Seek(0, TSeekOrigin::soEnd), 11);
    f.SetSize(5);
    EXPECT_EQ(f.Seek(0, TSeekOrigin::soCurrent), 5);
  }
  {
    TXMLFileStream f(path_, xmlGenericRead, xmlFileShareRead, xmlOpenExisting, xmlFileAttributeNormal);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, 16), 5);
    EXPECT_STREQ(buf, "hello");
  }
  {
    // Always create truncates; the bytes are written untranslated.
    TXMLFileStream f(path_, xmlGenericWrite, xmlFileShareRead, xmlCreateAlways, xmlFileAttributeNormal);
    EXPECT_EQ(f.Write("a\nb", 3), 3);
  }
  TMemoryStream m;
  m.LoadFromFile(path_);
  EXPECT_EQ(m.AsString(), "a\nb");
}

TEST_F(FileStreamTest, FailureToCreateNamesTheFile) {
  std::string bad = std::string(LK_BINARY_DIR) + "/no/such/folder/x.xml";
  try {
    TXMLFileStream f(bad, xmlGenericWrite, xmlFileShareRead, xmlCreateAlways, xmlFileAttributeNormal);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Error creating file stream for " + bad);
  }
}

}  // namespace
