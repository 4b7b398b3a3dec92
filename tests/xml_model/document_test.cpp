// The document: declaration attributes, encodings, and byte-exact output of
// SaveToStream and SaveToFile, which the parser reads back to the same tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/xml_model/fake_parser.h"
#include "tests/xml_model/test_util.h"
#include "xml/dtd.h"
#include "xml/xmlerrors.h"
#include "xml/xmlparser.h"

namespace {

std::string Saved(TLkXMLDocument& d) {
  TMemoryStream m;
  d.SaveToStream(m);
  return m.AsString();
}

std::string FileBytes(const std::string& name) {
  TMemoryStream m;
  m.LoadFromFile(name);
  return m.AsString();
}

std::string BigEndian(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out += '\0';
    out += c;
  }
  return out;
}

class DocumentTest : public ::testing::Test {
 protected:
  FakeParser parser;
  TLkXMLDocument doc;
  void SetUp() override {
    doc.AssignParser(&parser);
    UnmappedChars().Reset();
  }
  TLkXMLElement* Element(TLkContainer* parent, const WideString& name,
                         std::initializer_list<std::pair<const char16_t*, const char16_t*>> attrs = {}) {
    auto* e = doc.NewElement(name);
    for (const auto& a : attrs) e->SetAttributeValue(a.first, a.second);
    if (parent == &doc)
      doc.setDocumentElement(e);
    else
      static_cast<TLkXMLElement*>(parent)->AppendNode(e);
    return e;
  }
};

TEST_F(DocumentTest, NewDocumentIsADeclarationInUtf8) {
  EXPECT_EQ(doc.Encoding(), UTF_8);
  EXPECT_EQ(doc.GetVersion(), "1.0");
  EXPECT_EQ(doc.GetAttributeNode(u"version")->Specified, 1);
  EXPECT_EQ(Saved(doc), "<?xml version = \"1.0\"?>\r\n");
  EXPECT_EQ(parser.unconverted, u"");
  doc.Clear();
  EXPECT_EQ(doc.Encoding(), US_ASCII);
  EXPECT_EQ(Saved(doc), "<?xml version = \"1.0\"?>\r\n");
}

TEST_F(DocumentTest, FormattedSkinDocument) {
  doc.Clear();
  doc.SetEncoding("UTF-8");
  auto* skin = Element(&doc, u"skin", {{u"version", u"1.0"}, {u"name", u"Blue"}});
  auto* window = Element(skin, u"window", {{u"background", u"main.bmp"}});
  Element(window, u"text", {{u"x", u"10"}, {u"color", u"#FF8000"}});
  Element(window, u"button", {{u"x", u"1"}});
  EXPECT_EQ(Saved(doc),
            "<?xml version = \"1.0\" encoding = \"UTF-8\"?>\r\n"
            "\r\n<skin version = \"1.0\" name = \"Blue\">"
            "\r\n   <window background = \"main.bmp\">"
            "\r\n      <text x = \"10\" color = \"#FF8000\"/>"
            "\r\n      <button x = \"1\"/>"
            "\r\n   </window>"
            "\r\n</skin>");
}

TEST_F(DocumentTest, MixedContentAndEscaping) {
  auto* root = Element(&doc, u"doc", {{u"a", u"x\"y>z"}, {u"b", u"tab&#9;line&#10;cr&#13;"}});
  root->AppendNode(new TLkXMLText(u"a<b & c>d", &doc));
  Element(root, u"c");
  root->AppendNode(new TLkXMLText(u"tail", &doc));
  root->AppendComment(new TLkXMLComment(u"note", &doc));
  root->AppendPi(new TLkXMLPi(u"php", &doc, u"echo 1"));
  root->AppendNode(new TLkXMLCData(u"x]]>y", &doc));
  EXPECT_EQ(root->GetAttributeValue(u"b"), u"tab\tline\ncr\r");
  EXPECT_EQ(Saved(doc),
            "<?xml version = \"1.0\"?>\r\n"
            "\r\n<doc a = \"x&quot;y>z\" b = \"tab&#9;line&#10;cr&#13;\">"
            "a&lt;b &amp; c&gt;d<c/>tail<!--note-->"
            "\r\n      <?php echo 1?>"
            "\r\n      <![CDATA[x]]]]><![CDATA[>y]]>"
            "\r\n</doc>");
}

TEST_F(DocumentTest, UnformattedOutputStartsEachElementOnANewLine) {
  parser.formatted = false;
  auto* a = Element(&doc, u"a");
  auto* b = Element(a, u"b");
  Element(b, u"c");
  doc.ChildNodes().insertBefore(new TLkXMLComment(u"top", &doc), a);
  EXPECT_EQ(Saved(doc), "<?xml version = \"1.0\"?>\r\n\r\n<!--top-->\r\n<a>\r\n<b>\r\n<c/>\r\n</b>\r\n</a>");
}

TEST_F(DocumentTest, SingleByteEncodingAndUnmappedCharacters) {
  doc.SetEncoding("iso-8859-7");
  auto* r = Element(&doc, u"r");
  r->AppendNode(new TLkXMLText(u"\u03A9\u20AC\u02BD", &doc));
  EXPECT_EQ(Saved(doc), "<?xml version = \"1.0\" encoding = \"iso-8859-7\"?>\r\n\r\n<r>\xD9_\xA1</r>");
  EXPECT_EQ(UnmappedChars().GetText(), u"\u20AC");
  EXPECT_EQ(parser.unconverted, u"");  // the document's Buffer holds nothing
}

TEST_F(DocumentTest, Utf16FileHasItsByteOrderMark) {
  std::string name = std::string(LK_BINARY_DIR) + "/xml_model_utf16.xml";
  doc.Clear();
  doc.SetEncoding("UTF-16");
  Element(&doc, u"r");
  doc.SaveToFile(name);
  EXPECT_EQ(FileBytes(name),
            "\xFE\xFF" + BigEndian("<?xml version = \"1.0\" encoding = \"UTF-16\"?>\r\n\r\n<r/>"));
  doc.ByteOrder = 0;
  doc.SaveToFile(name);
  std::string le = FileBytes(name);
  EXPECT_EQ(le.substr(0, 4), Bytes({0xFF, 0xFE, '<', 0}));
  std::remove(name.c_str());
  doc.ByteOrder = 1;
  doc.SetEncoding("utf-8");
  doc.SaveToFile(name);
  EXPECT_EQ(FileBytes(name), "<?xml version = \"1.0\" encoding = \"utf-8\"?>\r\n\r\n<r/>");
  std::remove(name.c_str());
}

TEST_F(DocumentTest, DocumentTypeOutput) {
  auto* dt = new TLkDocumentType(u"r", &doc);
  auto* decl = new TLkElementDecl(u"r", &doc);
  decl->SetContentModel(new TLkContentModel(ctAny, &doc));
  dt->AddElementDecl(decl);
  auto* e = new TLkGEntityDecl(u"e", &doc);
  e->SetValue(u"v");
  dt->AddEntityDecl(e);
  Element(&doc, u"r");
  doc.SetDocType(dt);  // goes before the root element
  EXPECT_EQ(Saved(doc),
            "<?xml version = \"1.0\"?>\r\n<!DOCTYPE r [\r\n   <!ELEMENT r  ANY>\r\n   <!ENTITY e \"v\">\r\n]>\r\n"
            "\r\n<r/>");
  dt->SystemId = u"xml_model_sub.dtd";
  EXPECT_EQ(Saved(doc), "<?xml version = \"1.0\"?>\r\n<!DOCTYPE r SYSTEM \"xml_model_sub.dtd\" []>\r\n\r\n<r/>");
  std::string name = std::string(LK_BINARY_DIR) + "/xml_model_doctype.xml";
  std::remove("xml_model_sub.dtd");
  doc.SaveToFile(name);
  EXPECT_EQ(FileBytes("xml_model_sub.dtd"),
            "\xFF\xFE" + WideToEncoded(u"<!ELEMENT r  ANY>\r\n<!ENTITY e \"v\">\r\n", UTF_16, false));
  std::remove("xml_model_sub.dtd");
  std::remove(name.c_str());
  dt->PublicId = u"-//P";
  EXPECT_NE(Saved(doc).find("\r\n<!DOCTYPE r PUBLIC \"-//P\" \"xml_model_sub.dtd\" []>\r\n"), std::string::npos);
  TLkDocumentType empty(u"x", &doc);
  TMemoryStream m;
  empty.WriteTo(m, 0);
  EXPECT_EQ(U8(WideString(reinterpret_cast<const char16_t*>(m.Memory()), static_cast<std::size_t>(m.Size() / 2))),
            "<!DOCTYPE x []>\r\n");
}

TEST_F(DocumentTest, DeclarationAttributes) {
  doc.SetStandalone(true);
  doc.SetEncoding("US-ASCII");  // inserted right after the version
  EXPECT_EQ(Saved(doc), "<?xml version = \"1.0\" encoding = \"US-ASCII\" standalone = \"yes\"?>\r\n");
  doc.SetEncoding("ISO-8859-1");
  EXPECT_EQ(doc.GetAttributeValue(u"encoding"), u"ISO-8859-1");
  EXPECT_EQ(doc.Encoding(), i8859_1);
  try {
    doc.SetEncoding("latin1");
    FAIL();
  } catch (const ELkXMLParserError& e) {
    EXPECT_EQ(e.Message(), "Encoding 'latin1' is not supported in this version of XMLParser.");
    EXPECT_EQ(e.Line, 7);
    EXPECT_EQ(e.SourceName, "fake");
  }
  EXPECT_EQ(doc.Encoding(), i8859_1);
  EXPECT_EQ(doc.GetAttributeValue(u"encoding"), u"ISO-8859-1");
  EXPECT_TRUE(doc.GetStandalone());
  doc.GetAttributeNode(u"standalone")->SetValue(u"YES");
  EXPECT_TRUE(doc.GetStandalone());
  doc.SetStandalone(false);
  EXPECT_FALSE(doc.GetStandalone());
  EXPECT_TRUE(doc.Implementation().HasFeature(u"anything", u"1.0"));
  EXPECT_TRUE(doc.Implementation().HasFeature(u"", u"no"));
  EXPECT_FALSE(doc.Implementation().HasFeature(u"XML", u"1.1"));
}

TEST_F(DocumentTest, MisuseAndFailures) {
  TLkXMLDocument orphan;
  try {
    TMemoryStream m;
    orphan.SaveToStream(m);
    FAIL();
  } catch (const ELkXMLParserError& e) {
    EXPECT_EQ(e.Message(),
              "XMLParser component not assigned to XMLDocument. Use TLkXMLDocument.AssignParser method");
  }
  std::string missing = std::string(LK_BINARY_DIR) + "/xml_model_orphan.xml";
  EXPECT_THROW(orphan.SaveToFile(missing), ELkXMLParserError);
  EXPECT_FALSE(FileExists(missing));  // nothing touched
  std::string bad = std::string(LK_BINARY_DIR) + "/no/such/dir/x.xml";
  try {
    doc.SaveToFile(bad);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Error creating file stream for " + bad);
  }
  Element(&doc, u"r");
  std::unique_ptr<TLkXMLElement> second(doc.NewElement(u"second"));
  EXPECT_THROW(doc.setDocumentElement(second.get()), ELkDOMException);  // still the caller's
  EXPECT_EQ(doc.GetDocumentElement()->GetNodeName(), u"r");
  std::unique_ptr<TLkXMLElement> free(doc.NewElement(u"free"));
  EXPECT_EQ(free->GetParent(), nullptr);
}

// What the writer produces, the parser reads back to the same document:
// saving the parsed tree gives the same bytes, and values come back equal.
TEST_F(DocumentTest, OutputReadsBackEqual) {
  TLkXMLParser reader(nullptr);
  struct Case {
    const char* encoding;
  } cases[] = {{"UTF-8"}, {"ISO-8859-1"}, {"UTF-16"}, {"US-ASCII"}};
  for (const auto& c : cases) {
    TLkXMLDocument d;
    d.AssignParser(&reader);
    d.SetEncoding(c.encoding);
    auto* root = d.NewElement(u"root");
    d.setDocumentElement(root);
    root->SetAttributeValue(u"q", u"say \"hi\" & <go> 'now'");
    root->SetAttributeValue(u"ws", u"a&#9;b&#10;c&#13;d  e");
    root->AppendNode(new TLkXMLText(u"x < y & z > w; &amp; done", &d));
    auto* kid = d.NewElement(u"kid");
    root->AppendNode(kid);
    kid->AppendNode(new TLkXMLCData(u"raw <b> ] ]> end", &d));
    root->AppendNode(new TLkXMLText(u"\u00E9t\u00E9", &d));
    std::string first;
    {
      TMemoryStream m;
      d.SaveToStream(m);
      first = m.AsString();
    }
    if (std::string(c.encoding) == "UTF-16") first = "\xFE\xFF" + first;
    TMemoryStream in;
    in.WriteBuffer(first.data(), static_cast<int64_t>(first.size()));
    TLkXMLDocument* back = new TLkXMLDocument();
    back->AssignParser(&reader);
    ASSERT_NO_THROW(reader.ParseStream(in, back)) << c.encoding << "\n" << first;
    std::unique_ptr<TLkXMLDocument> owner(back);
    TLkXMLElement* r = back->GetDocumentElement();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetAttributeValue(u"q"), u"say \"hi\" & <go> 'now'") << c.encoding;
    EXPECT_EQ(r->GetAttributeValue(u"ws"), u"a\tb\nc\rd  e") << c.encoding;
    TMemoryStream again;
    back->SaveToStream(again);
    std::string second = again.AsString();
    if (std::string(c.encoding) == "UTF-16") second = "\xFE\xFF" + second;
    if (std::string(c.encoding) == "US-ASCII") {  // é has no byte there: written and read as "_"
      EXPECT_NE(first.find("_t_"), std::string::npos);
    }
    EXPECT_EQ(second, first) << c.encoding;
  }
  // "]]>" in a CDATA section is written over two sections that read back
  // as the same characters.
  TLkXMLDocument d;
  d.AssignParser(&reader);
  auto* root = d.NewElement(u"r");
  d.setDocumentElement(root);
  root->AppendNode(new TLkXMLCData(u"a]]>b", &d));
  TMemoryStream m;
  d.SaveToStream(m);
  TLkXMLDocument* back = nullptr;
  m.SetPosition(0);
  reader.ParseStream(m, back);
  std::unique_ptr<TLkXMLDocument> owner(back);
  WideString text;
  for (TLkXMLNode* n = back->GetDocumentElement()->FirstChild(); n; n = n->NextSibling()) text += n->GetValue();
  EXPECT_EQ(text, u"a]]>b");
}

// An independent reader agrees on the values (native only: xmllint).
TEST_F(DocumentTest, AnotherParserReadsTheSameValues) {
#ifdef _WIN32
  GTEST_SKIP() << "xmllint is a native program";
#endif
  if (!FileExists("/usr/bin/xmllint")) GTEST_SKIP() << "xmllint not installed";
  doc.SetEncoding("UTF-8");
  auto* root = Element(&doc, u"root", {{u"q", u"say \"hi\" & <go>"}, {u"ws", u"a&#9;b&#10;c"}});
  root->AppendNode(new TLkXMLText(u"x < y & z > w \u00E9", &doc));
  std::string name = std::string(LK_BINARY_DIR) + "/xml_model_xmllint.xml";
  doc.SaveToFile(name);
  auto xpath = [&](const std::string& expr) {
    std::string out = name + ".out";
    std::string cmd = "/usr/bin/xmllint --xpath '" + expr + "' " + name + " > " + out + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << expr;
    std::string s = FileBytes(out);
    std::remove(out.c_str());
    if (!s.empty() && s.back() == '\n') s.pop_back();  // xmllint ends its answer with a line
    return s;
  };
  EXPECT_EQ(xpath("string(/root/@q)"), "say \"hi\" & <go>");
  EXPECT_EQ(xpath("string(/root/@ws)"), "a\tb\nc");
  EXPECT_EQ(xpath("string(/root/text())"), "x < y & z > w \xC3\xA9");
  std::remove(name.c_str());
}

}  // namespace
