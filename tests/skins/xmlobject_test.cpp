// TXMLObject: parse failures as results, the shared parser's confinement to
// the loaded file's folder, and the ANSI conversion of the model's texts.
#include <gtest/gtest.h>

#include <string>

#include "base/streams.h"
#include "base/sysutils.h"
#include "tests/skins/skin_files.h"
#include "xml/dom.h"
#include "xml/platform.h"
#include "xml/xmlobject.h"

namespace {

class XMLObjectTest : public SkinFolder {};

TEST_F(XMLObjectTest, MalformedInputIsFalseWithItsLineAndRaisesNothing) {
  TXMLObject x;
  const std::string path = Write("bad.xml", "<a>\n<b></a>");
  bool loaded = true;
  EXPECT_NO_THROW(loaded = x.LoadFromFile(path));
  EXPECT_FALSE(loaded);
  EXPECT_EQ(x.LastFailure().Line, 2);
  EXPECT_NE(x.LastFailure().Message.find("does not match"), std::string::npos) << x.LastFailure().Message;
  for (const char* bad : {"", "<", "<a", "<a></b>", "<?xml version=\"1.1\"?><a/>", "<!DOCTYPE a [<!ENTITY"})
    EXPECT_FALSE(x.LoadFromString(bad)) << bad;
  ASSERT_TRUE(x.LoadFromString("<a x='1'><b/></a>"));
  ASSERT_NE(x.GetDocumentElement(), nullptr);
  EXPECT_EQ(x.GetDocumentElement()->GetAttributeValue(u"X"), u"1");
}

TEST_F(XMLObjectTest, MissingFileRaisesTheOpenError) {
  TXMLObject x;
  EXPECT_THROW(x.LoadFromFile((dir_ / "missing.xml").string()), EFOpenError);
}

TEST_F(XMLObjectTest, FreshObjectGivesTheDeclarationOfAnEmptyDocument) {
  TXMLObject x;
  EXPECT_EQ(x.GetXMLText(), "<?xml version = \"1.0\"?>\r\n");
}

// Counts what the parse would fetch over the network.
class CountingFetcher : public TLkResourceFetcher {
 public:
  bool Fetch(const std::string& url, TStream& dest) override {
    ++calls;
    const std::string body = "<!ENTITY secret 'FETCHED'>";
    dest.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    return true;
  }
  int calls = 0;
};

TEST_F(XMLObjectTest, DocumentTypeReachesNoNetworkAndNoFileOutsideTheFolder) {
  CountingFetcher fetcher;
  TLkResourceFetcher* saved = XMLPlatform().Fetcher;
  XMLPlatform().Fetcher = &fetcher;
  Write("outside.dtd", "<!ENTITY secret 'OUTSIDE'>");
  Write("outside.txt", "OUTSIDE");
  const std::string outsideAbsolute = (dir_ / "outside.dtd").string();
  const std::string skinFolder = "skins/Night/";
  Write(skinFolder + "inside.dtd", "<!ENTITY secret 'INSIDE'>");
  struct Case {
    std::string doctype;
    const char* expected;  // the root's text, "" when the reference stays unresolved
  };
  const Case cases[] = {
      {"<!DOCTYPE skin SYSTEM 'http://127.0.0.1:9/skin.dtd'>", ""},
      {"<!DOCTYPE skin PUBLIC '-//Velmora//Skin' 'ftp://127.0.0.1/skin.dtd'>", ""},
      {"<!DOCTYPE skin SYSTEM '../../outside.dtd'>", ""},
      {"<!DOCTYPE skin SYSTEM '" + outsideAbsolute + "'>", ""},
      {"<!DOCTYPE skin SYSTEM '..\\..\\outside.dtd'>", ""},
      {"<!DOCTYPE skin [<!ENTITY secret SYSTEM '../../outside.txt'>]>", ""},
      {"<!DOCTYPE skin SYSTEM 'inside.dtd'>", "INSIDE"},
  };
  for (const Case& c : cases) {
    const std::string path = Write(skinFolder + "skin.xml", c.doctype + "<skin>&secret;</skin>");
    TXMLObject x;
    std::string text = "<not parsed>";
    if (x.LoadFromFile(path)) text = x.GetXMLText();
    EXPECT_EQ(text.find("OUTSIDE"), std::string::npos) << c.doctype << "\n" << text;
    EXPECT_EQ(text.find("FETCHED"), std::string::npos) << c.doctype << "\n" << text;
    if (*c.expected) EXPECT_NE(text.find(c.expected), std::string::npos) << c.doctype << "\n" << text;
  }
  EXPECT_EQ(fetcher.calls, 0);
  // A string has no folder: no file at all.
  TXMLObject x;
  if (x.LoadFromString("<!DOCTYPE skin SYSTEM '" + (dir_ / skinFolder / "inside.dtd").string() +
                       "'><skin>&secret;</skin>"))
    EXPECT_EQ(x.GetXMLText().find("INSIDE"), std::string::npos);
  XMLPlatform().Fetcher = saved;
}

TEST(AnsiText, WindowsCodePageByDefaultAndNoLookAlikes) {
  EXPECT_EQ(WideToAnsi(u"A\u20AC\u00E9\u0178"), "A\x80\xE9\x9F");
  EXPECT_EQ(AnsiToWide("A\x80\xE9\x9F\x81"), u"A\u20AC\u00E9\u0178\u0081");
  EXPECT_EQ(WideToAnsi(u"a\uFF3Cb\uFF0E\U0001F600"), "a?b??") << "a pair is one character";
  EXPECT_EQ(WideToAnsiExact(u"back.bmp"), "back.bmp");
  EXPECT_THROW(WideToAnsiExact(u"..\uFF3Cx.bmp"), EConvertError);
  EXPECT_EQ(WideToAnsi(WideString(u"ab\0cd", 5)), "ab") << "a wide text ends at U+0000";
}

}  // namespace
