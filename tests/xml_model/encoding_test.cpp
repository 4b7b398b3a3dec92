// Encoding names, the single-byte tables and the conversions.
#include <gtest/gtest.h>

#include "tests/xml_model/test_util.h"
#include "xml/codepages.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {

class EncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { UnmappedChars().Reset(); }
};

TEST_F(EncodingTest, EncodingFromNameMatchesIgnoringAsciiCaseOnly) {
  struct Case {
    const char* name;
    TEncoding want;
  } cases[] = {
      {"utf-8", UTF_8},        {"Utf-16", UTF_16},     {"iso-8859-1", i8859_1}, {"ISO-8859-10", i8859_10},
      {"iso-8859-7", i8859_7}, {"us-ascii", US_ASCII}, {"UTF_8", n_sup},        {"UTF8", n_sup},
      {"latin1", n_sup},       {"", n_sup},            {"not supported", n_sup}, {"ISO-8859-1 ", n_sup},
      {"ISO-8859-11", n_sup},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodingFromName(c.name), c.want) << c.name;
}

TEST_F(EncodingTest, NamesFollowTheOrdinals) {
  EXPECT_STREQ(EncodingNames[n_sup], "not supported");
  EXPECT_STREQ(EncodingNames[i8859_10], "ISO-8859-10");
  EXPECT_STREQ(EncodingNames[US_ASCII], "US-ASCII");
  EXPECT_STREQ(EncodingNames[UTF_16], "UTF-16");
  static_assert(sizeof(TEncoding) == 1);
}

TEST_F(EncodingTest, TablesPassOnlyXmlControlsAndPrintableAscii) {
  for (int e = i8859_1; e <= i8859_10; ++e) {
    for (int b = 0; b < 0xA0; ++b) {
      bool kept = b == 9 || b == 10 || b == 13 || (b >= 0x20 && b <= 0x7E);
      EXPECT_EQ(CodePageTables[e - 1][b], kept ? b : 0) << "encoding " << e << " byte " << b;
    }
  }
  for (int b = 0; b < 256; ++b) EXPECT_EQ(CodePageTables[US_ASCII - 1][b], b >= 1 && b <= 0x7F ? b : 0);
}

TEST_F(EncodingTest, UpperHalvesFollowThePublishedParts) {
  struct Case {
    TEncoding e;
    int byte;
    uint16_t unit;
  } cases[] = {
      {i8859_1, 0xE9, 0x00E9}, {i8859_1, 0xA0, 0x00A0}, {i8859_2, 0xA1, 0x0104}, {i8859_3, 0xA5, 0},
      {i8859_3, 0xA1, 0x0126}, {i8859_4, 0xA2, 0x0138}, {i8859_5, 0xB0, 0x0410}, {i8859_5, 0xF0, 0x2116},
      {i8859_6, 0xC1, 0x0621}, {i8859_6, 0xA1, 0},      {i8859_9, 0xD0, 0x011E}, {i8859_10, 0xA1, 0x0104},
      {i8859_10, 0xFF, 0x0138},
      // ISO 8859-7 in its older form.
      {i8859_7, 0xA1, 0x02BD}, {i8859_7, 0xA2, 0x02BC}, {i8859_7, 0xA4, 0}, {i8859_7, 0xA5, 0},
      {i8859_7, 0xAA, 0},      {i8859_7, 0xAE, 0},      {i8859_7, 0xD2, 0}, {i8859_7, 0xC1, 0x0391},
      {i8859_7, 0xFE, 0x03CE}, {i8859_7, 0xFF, 0},
      // ISO 8859-8: overline at 0xAF, no direction marks.
      {i8859_8, 0xAF, 0x203E}, {i8859_8, 0xFD, 0}, {i8859_8, 0xFE, 0}, {i8859_8, 0xE0, 0x05D0},
      {i8859_8, 0xFA, 0x05EA}, {i8859_8, 0xA1, 0}, {i8859_8, 0xAA, 0x00D7}, {i8859_8, 0xDF, 0x2017},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CodePageTables[c.e - 1][c.byte], c.unit) << EncodingNames[c.e] << " byte " << std::hex << c.byte;
}

TEST_F(EncodingTest, ByteToWideRecordsUnmappedBytesOnce) {
  for (int e = i8859_1; e <= i8859_10; ++e) EXPECT_EQ(ByteToWide(0x85, static_cast<TEncoding>(e)), u'_');
  EXPECT_EQ(ByteToWide(7, i8859_1), u'_');
  EXPECT_EQ(ByteToWide(7, US_ASCII), 7);
  EXPECT_EQ(ByteToWide(0xE9, i8859_1), 0xE9);
  EXPECT_EQ(UnmappedChars().GetText(), (WideString{0x85, 7}));
}

TEST_F(EncodingTest, WideToEncodedInEachEncoding) {
  struct Case {
    WideString text;
    TEncoding e;
    bool bigEndian;
    std::string bytes;
  } cases[] = {
      {u"\u00E9", i8859_1, false, "\xE9"},
      {u"\u00E9", UTF_8, false, "\xC3\xA9"},
      {u"\u00E9", UTF_16, false, Bytes({0xE9, 0x00})},
      {u"\u00E9", UTF_16, true, Bytes({0x00, 0xE9})},
      {u"\u00E9", US_ASCII, false, "_"},
      {u"\u20AC", UTF_8, false, "\xE2\x82\xAC"},
      {u"\u20AC", i8859_7, false, "_"},
      {u"\u0391\u03C9", i8859_7, false, "\xC1\xF9"},
      {u"\u02BD", i8859_7, false, "\xA1"},
      {u"\u203E\u05D0", i8859_8, false, "\xAF\xE0"},
      {u"\u007F", i8859_1, false, "_"},
      {u"\u007F", US_ASCII, false, "_"},
      {u"a\tb", US_ASCII, false, "a\tb"},
      {u"\U0001F600", UTF_8, false, "\xF0\x9F\x98\x80"},  // one four-byte sequence
      {u"\U0001F600", UTF_16, true, Bytes({0xD8, 0x3D, 0xDE, 0x00})},
      {WideString(u"ab\0cd", 5), UTF_8, false, "ab"},     // measured up to U+0000
      {WideString(u"ab\0cd", 5), UTF_16, false, Bytes({'a', 0, 'b', 0})},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WideToEncoded(c.text, c.e, c.bigEndian), c.bytes) << U8(c.text) << " in " << EncodingNames[c.e];
}

TEST_F(EncodingTest, EverySingleByteEncodingRoundTripsItsOwnCharacters) {
  for (int e = i8859_1; e <= US_ASCII; ++e) {
    auto enc = static_cast<TEncoding>(e);
    for (int b = 1; b < 256; ++b) {
      uint16_t u = CodePageTables[e - 1][b];
      if (u == 0 || u == 0x7F) continue;
      EXPECT_EQ(WideToByte(u, enc), b) << EncodingNames[e] << " byte " << b;
    }
  }
  EXPECT_EQ(UnmappedChars().Count(), 0);
}

TEST_F(EncodingTest, UnmappedCharactersAreRecordedOnceInOrder) {
  WideToEncoded(u"\u00E9x\u20AC\u00E9\u20AC", US_ASCII, false);
  WideToEncoded(u"\u00E9", US_ASCII, false);
  EXPECT_EQ(UnmappedChars().GetText(), u"\u00E9\u20AC");
  UnmappedChars().Reset();
  EXPECT_EQ(UnmappedChars().GetText(), u"");
  EXPECT_FALSE(UnmappedChars().Contains(0xE9));
  EXPECT_FALSE(UnmappedChars().Contains(0x20AC));
  // Recorded again after the reset; a reset with nothing recorded keeps nothing.
  WideToEncoded(u"\u20AC\u00E9\uFFFF", US_ASCII, false);
  EXPECT_EQ(UnmappedChars().GetText(), u"\u20AC\u00E9\uFFFF");
  UnmappedChars().Reset();
  UnmappedChars().Reset();
  EXPECT_EQ(UnmappedChars().Count(), 0);
  for (WideChar c : {WideChar{0xE9}, WideChar{0x20AC}, WideChar{0xFFFF}}) EXPECT_FALSE(UnmappedChars().Contains(c));
}

TEST_F(EncodingTest, LoneSurrogateHasNoUtf8Form) {
  EXPECT_EQ(WideToEncoded(WideString{u'a', 0xD800, u'b'}, UTF_8, false), "a_b");
  EXPECT_EQ(WideToEncoded(WideString{0xDC00}, UTF_8, false), "_");
  EXPECT_EQ(UnmappedChars().GetText(), (WideString{0xD800, 0xDC00}));
}

TEST_F(EncodingTest, Utf8OfOneUnit) {
  EXPECT_EQ(WideCharToUTF8(u'A'), "A");
  EXPECT_EQ(WideCharToUTF8(0x7FF), "\xDF\xBF");
  EXPECT_EQ(WideCharToUTF8(0x800), "\xE0\xA0\x80");
  EXPECT_EQ(WideCharToUTF8(0xFFFD), "\xEF\xBF\xBD");
}

TEST_F(EncodingTest, Utf8DecodingIsStrict) {
  EXPECT_EQ(UTF8ToWideChar("\xC3\xA9"), u"\u00E9");
  EXPECT_EQ(UTF8ToWideChar("\xE2\x82\xAC..."), u"\u20AC");
  EXPECT_EQ(UTF8ToWideChar("\xF0\x9F\x98\x80"), u"\U0001F600");
  const char* bad[] = {"\xA9", "\xC3", "\xC3\x41", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                       "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\xF0\x9F\x98"};
  for (const char* b : bad) EXPECT_THROW(UTF8ToWideChar(b), ELkXMLParserError) << b;
}

TEST_F(EncodingTest, WideCharBytes) {
  EXPECT_EQ(MakeWideChar(0x20, 0xAC), 0x20AC);
  EXPECT_EQ(HiByte(0x20AC), 0x20);
  EXPECT_EQ(LoByte(0x20AC), 0xAC);
}

TEST_F(EncodingTest, StringOperations) {
  EXPECT_EQ(XMLStrLen(WideString(u"ab\0c", 4)), 2);
  EXPECT_EQ(XMLStrCompare(u"b", u"aa"), -1);
  EXPECT_EQ(XMLStrCompare(u"abd", u"abc"), 1);
  EXPECT_EQ(XMLStrCompare(u"abc", u"abc"), 0);
  EXPECT_EQ(XMLStrCompare(u"\uFFFF", u"a"), 1);  // units compare unsigned
  EXPECT_EQ(XMLStrCompare(WideString(u"ab\0x", 4), u"ab"), 0);
  EXPECT_EQ(XMLStrCompareText(u"Skin", u"SKIN"), 0);
  EXPECT_NE(XMLStrCompareText(u"\u00E9", u"\u00C9"), 0);
  EXPECT_NE(XMLStrCompareText(u"\u03A9", u"\u03C9"), 0);
  EXPECT_EQ(XMLStrCompareText(u"b", u"AA"), -1);
  EXPECT_EQ(XMLStrTrim(u" \t\r\nab c\n "), u"ab c");
  EXPECT_EQ(XMLStrTrim(u" \t "), u"");
  EXPECT_EQ(XMLStrTrim(u""), u"");
  EXPECT_EQ(XMLStrTrim(u"\u00A0x"), u"\u00A0x");
  EXPECT_EQ(XMLUpCase(u'z'), u'Z');
  EXPECT_EQ(XMLUpCase(0xE9), 0xE9);
  EXPECT_EQ(XMLCharCode(0xFFFF), 0xFFFFu);
  WideChar dest[8];
  XMLStrCopy(dest, u"abc");
  EXPECT_EQ(WideString(dest), u"abc");
}

TEST_F(EncodingTest, StringFunctionsRecordCallsTheOperations) {
  EXPECT_EQ(XMLStringFunctions.Length(u"abc"), 3);
  EXPECT_EQ(XMLStringFunctions.Compare(u"a", u"b"), -1);
  EXPECT_EQ(XMLStringFunctions.CompareText(u"a", u"A"), 0);
  EXPECT_EQ(XMLStringFunctions.Trim(u" a "), u"a");
  EXPECT_EQ(XMLStringFunctions.UpCase(u'q'), u'Q');
}

}  // namespace
