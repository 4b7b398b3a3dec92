// Entity and notation declarations, references, entity values, external
// resources and the declarations' output.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/xml_model/fake_parser.h"
#include "tests/xml_model/test_util.h"
#include "xml/entities.h"
#include "xml/platform.h"
#include "xml/xmlerrors.h"

namespace {

template <class F>
ELkXMLParserError ParseError(F f) {
  try {
    f();
  } catch (const ELkXMLParserError& e) {
    return e;
  }
  ADD_FAILURE() << "no ELkXMLParserError";
  return ELkXMLParserError("", -1);
}

// Records the URLs asked for; answers from a table.
class FakeFetcher : public TLkResourceFetcher {
 public:
  std::vector<std::string> asked;
  std::map<std::string, std::string> content;
  bool Fetch(const std::string& url, TStream& dest) override {
    asked.push_back(url);
    auto it = content.find(url);
    if (it == content.end()) return false;
    dest.WriteBuffer(it->second.data(), static_cast<int64_t>(it->second.size()));
    return true;
  }
};

class EntityTest : public ::testing::Test {
 protected:
  FakeParser parser;
  TLkXMLDocument doc;
  TLkDocumentType* dt = nullptr;
  FakeFetcher fetcher;
  std::vector<std::string> notFound;

  void SetUp() override {
    doc.AssignParser(&parser);
    dt = new TLkDocumentType(u"r", &doc);
    doc.SetDocType(dt);
    XMLPlatform().Fetcher = &fetcher;
    parser.onFileNotFound = [this](TObject*, const std::string& name) { notFound.push_back(name); };
  }
  void TearDown() override { XMLPlatform().Fetcher = nullptr; }

  template <class T>
  T* Entity(const WideString& name, const WideString& value) {
    auto* e = new T(name, &doc);
    EXPECT_TRUE(dt->AddEntityDecl(e));
    if (!value.empty()) e->SetValue(value);
    return e;
  }
};

TEST_F(EntityTest, ReferenceCodes) {
  Entity<TLkPEntityDecl>(u"pe", u"p");
  Entity<TLkGEntityDecl>(u"internal", u"i");
  auto* ext = Entity<TLkGEntityDecl>(u"external", u"");
  ext->SetInternal(false);
  auto* unparsed = Entity<TLkGEntityDecl>(u"unparsed", u"");
  unparsed->SetUnparsed(true);
  struct Case {
    const char16_t* name;
    char code;
  } cases[] = {{u"#65", 'E'},         {u"pe", 'A'},       {u"internal", 'B'}, {u"INTERNAL", 'B'},
               {u"external", 'C'},    {u"unparsed", 'D'}, {u"amp", 'F'},      {u"nothing", 'F'}};
  for (const auto& c : cases) EXPECT_EQ(TLkGEntityReference(c.name, &doc).Code(), c.code) << U8(c.name);
  TLkXMLDocument bare;
  EXPECT_EQ(TLkGEntityReference(u"internal", &bare).Code(), 'F');
}

TEST_F(EntityTest, ResolvingReferences) {
  Entity<TLkGEntityDecl>(u"g", u"a\tb");
  Entity<TLkPEntityDecl>(u"p", u"x");
  TLkGEntityReference amp(u"amp", &doc);
  EXPECT_TRUE(amp.Resolve());
  EXPECT_EQ(amp.GetValue(), u"&");
  TLkGEntityReference g(u"g", &doc);
  EXPECT_TRUE(g.Resolve());
  EXPECT_EQ(g.GetValue(), u"a b");
  TLkGEntityReference none(u"none", &doc);
  EXPECT_FALSE(none.Resolve());
  TLkPEntityReference p(u"p", &doc);
  EXPECT_TRUE(p.Resolve());
  EXPECT_EQ(p.GetValue(), u"x");
  TLkPEntityReference predefinedIsNoParameter(u"amp", &doc);
  EXPECT_FALSE(predefinedIsNoParameter.Resolve());
  TLkCharReference c(u"#1025", &doc);
  EXPECT_TRUE(c.Resolve());
  EXPECT_EQ(c.GetValue(), u"\u0401");
}

TEST_F(EntityTest, EntityValues) {
  Entity<TLkPEntityDecl>(u"x", u"x");
  Entity<TLkGEntityDecl>(u"b", u"bee");
  struct Case {
    const char16_t* value;
    const char16_t* stored;
  } cases[] = {
      {u"&amp;", u"&amp;"},       {u"[%x;]", u"[x]"},      {u"&#65;", u"A"},        {u"&b;&c;", u"&b;&c;"},
      {u"%nope;", u"%nope;"},     {u"a   b", u"a b"}, {u"a \t b", u"a  b"},    {u" a", u" a"},          {u"a\r\nb", u"a b"},
  };
  for (const auto& c : cases) {
    TLkGEntityDecl e(u"e", &doc);
    e.SetValue(c.value);
    EXPECT_EQ(e.GetValue(), c.stored) << U8(c.value);
  }
  struct Bad {
    const char16_t* value;
    std::string message;
    int32_t line;
  } bad[] = {
      {u"ends in &", "Illegal character in the entity value '&&' or '%'.", 7},
      {u"ends in %", "Illegal character in the entity value '&&' or '%'.", 7},
      {u"&name", "Illegal character in the the entity value '&&' or '%'.", 0},
      {u"& ;", "Illegal (empty) reference name.", 7},
  };
  for (const auto& b : bad) {
    TLkGEntityDecl e(u"e", &doc);
    ELkXMLParserError err = ParseError([&] { e.SetValue(b.value); });
    EXPECT_EQ(err.Message(), b.message) << U8(b.value);
    EXPECT_EQ(err.Line, b.line) << U8(b.value);
  }
  auto* pic = Entity<TLkGEntityDecl>(u"pic", u"");
  pic->SetUnparsed(true);
  TLkGEntityDecl e(u"e", &doc);
  EXPECT_EQ(ParseError([&] { e.SetValue(u"&pic;"); }).Message(),
            "Reference to an unparsed entity is not allowed in the entity value.");
  TLkGEntityDecl ext(u"ext", &doc);
  ext.SetInternal(false);
  EXPECT_EQ(ParseError([&] { ext.SetValue(u"v"); }).Message(), "Can not set a value of an external entity.");
}

TEST_F(EntityTest, ParameterReferenceValues) {
  Entity<TLkGEntityDecl>(u"g", u"gee");
  auto* p = Entity<TLkPEntityDecl>(u"p", u"");
  p->SetValue(u"a\t\t&lt;&g;&undeclared;");
  TLkPEntityReference ref(u"p", &doc);
  EXPECT_TRUE(ref.Resolve());
  EXPECT_EQ(ref.GetValue(), u"a  <&g;&undeclared;");  // no merging; predefined resolved
  EXPECT_EQ(U8(ref.GetValue()), "a  <&g;&undeclared;");
}

TEST_F(EntityTest, RecursiveAndExplosiveEntitiesAreErrors) {
  auto* loop = Entity<TLkGEntityDecl>(u"loop", u"");
  loop->SetValue(u"x&loop;");  // kept as written in the value
  TLkXMLText t(u"&loop;", &doc);
  EXPECT_EQ(ParseError([&] { t.Normalize(); }).Message(), "Recursive reference to the entity \"loop\".");
  auto* pe = Entity<TLkPEntityDecl>(u"pe", u"");
  EXPECT_EQ(ParseError([&] { pe->SetValue(u"%pe;"); }).Message(), "Recursive reference to the entity \"pe\".");

  WideString ten = u"&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;";
  Entity<TLkGEntityDecl>(u"l0", u"lollollollollollollollol");
  for (int i = 1; i <= 8; ++i) {
    WideString v;
    for (int k = 0; k < 10; ++k) v += u"&l" + WideString(1, static_cast<WideChar>(u'0' + i - 1)) + u";";
    Entity<TLkGEntityDecl>(u"l" + WideString(1, static_cast<WideChar>(u'0' + i)), v);
  }
  TLkXMLText bomb(u"&l8;", &doc);
  EXPECT_EQ(ParseError([&] { bomb.Normalize(); }).Message(),
            "Entity references expand to more than 16777216 characters.");
}

TEST_F(EntityTest, ReplacementTextAsADocument) {
  Entity<TLkGEntityDecl>(u"m", u"<a/>");
  TLkGEntityReference ref(u"m", &doc);
  ASSERT_TRUE(ref.Resolve());
  parser.line = 12;
  parser.buildEntity = [](TLkXMLDocument&) { throw ELkXMLParserError::CreateSource("inner", 3, "entity"); };
  TLkXMLDocument* parsed = nullptr;
  ELkXMLParserError e = ParseError([&] { ref.ParseReplacementText(parsed); });
  EXPECT_EQ(e.Message(), "inner");
  EXPECT_EQ(e.Line, 12);
  EXPECT_EQ(e.InnerLine, 3);
  EXPECT_EQ(e.SourceName, "entity");
  delete parsed;
  parsed = nullptr;
  // UTF-16 text carries its mark.
  doc.SetEncoding("UTF-16");
  parser.buildEntity = nullptr;
  ref.ParseReplacementText(parsed);
  ASSERT_NE(parsed, nullptr);
  EXPECT_EQ(parser.entityTexts.back(), Bytes({0xFE, 0xFF, 0, '<', 0, 'a', 0, '/', 0, '>'}));
  delete parsed;
}

class ResourceTest : public EntityTest {
 protected:
  std::string dir = LK_BINARY_DIR;
  void SetUp() override {
    EntityTest::SetUp();
    std::remove((dir + "/sub.dtd").c_str());
  }
  void TearDown() override {
    std::remove((dir + "/sub.dtd").c_str());
    EntityTest::TearDown();
  }
};

TEST_F(ResourceTest, FilesUrlsAndPublicIdentifiers) {
  {
    TFileStream f(dir + "/sub.dtd", fmCreate);
    f.WriteBuffer("<!ELEMENT r ANY>", 16);
  }
  TLkNotation n(u"n", &doc);
  n.SystemId = Latin1ToWide("  " + dir + "/sub.dtd ");
  TMemoryStream m;
  EXPECT_TRUE(n.LoadResource(m));
  EXPECT_EQ(m.AsString(), "<!ELEMENT r ANY>");

  TLkNotation missing(u"n", &doc);
  missing.SystemId = Latin1ToWide(dir + "/MISSING.dtd");
  TMemoryStream m2;
  EXPECT_FALSE(missing.LoadResource(m2));
  EXPECT_EQ(notFound, std::vector<std::string>{dir + "/MISSING.dtd"});  // a path keeps its case

  fetcher.content["http://Example.TEST/A_B.dtd"] = "<!-- remote -->";
  TLkNotation web(u"n", &doc);
  web.SystemId = u" HTTP://Example.TEST/A   B.dtd";
  TMemoryStream m3;
  EXPECT_TRUE(web.LoadResource(m3));
  EXPECT_EQ(fetcher.asked.back(), "http://Example.TEST/A_B.dtd");  // only the scheme lower-cased
  EXPECT_EQ(m3.AsString(), "<!-- remote -->");

  TLkNotation pub(u"n", &doc);
  pub.PublicId = u"-//Velmora//DTD Skin//EN";
  pub.SystemId = u"ftp://host/skin.dtd";
  TMemoryStream m4;
  EXPECT_FALSE(pub.LoadResource(m4));
  EXPECT_EQ(fetcher.asked[fetcher.asked.size() - 2], "http://127.0.0.1/cgi-bin/PUBLIC?-//velmora//dtd_skin//en");
  EXPECT_EQ(fetcher.asked.back(), "ftp://host/skin.dtd");
  EXPECT_EQ(notFound.back(), "ftp://host/skin.dtd");

  parser.retrieve = false;
  notFound.clear();
  std::size_t asked = fetcher.asked.size();
  EXPECT_FALSE(pub.LoadResource(m4));
  EXPECT_EQ(fetcher.asked.size(), asked);  // neither the fetch nor the event
  EXPECT_TRUE(notFound.empty());
  TLkNotation onlyPublic(u"n", &doc);
  onlyPublic.PublicId = u"Only";
  EXPECT_FALSE(onlyPublic.LoadResource(m4));
  EXPECT_EQ(notFound, std::vector<std::string>{"only"});
}

TEST_F(ResourceTest, EntityAndSubsetLoads) {
  {
    TFileStream f(dir + "/sub.dtd", fmCreate);
    f.WriteBuffer("caf\xE9", 4);
  }
  auto* ext = Entity<TLkGEntityDecl>(u"ext", u"");
  ext->SetInternal(false);
  ext->SystemId = Latin1ToWide(dir + "/sub.dtd");
  ext->Load();
  EXPECT_EQ(ext->GetValue(), u"caf\u00E9");
  auto* unparsed = Entity<TLkGEntityDecl>(u"u", u"");
  unparsed->SetUnparsed(true);
  unparsed->SystemId = ext->SystemId;
  unparsed->Load();
  EXPECT_EQ(unparsed->GetValue(), u"");

  dt->SystemId = ext->SystemId;
  dt->LoadExternalSubset();
  EXPECT_EQ(parser.subsets, std::vector<std::string>{"caf\xE9"});
  parser.line = 4;
  parser.buildSubset = [](TLkXMLDocument&) { throw ELkXMLParserError("bad subset", 2); };
  ELkXMLParserError e = ParseError([&] { dt->LoadExternalSubset(); });
  EXPECT_EQ(e.Message(), "bad subset");
  EXPECT_EQ(e.Line, 4);
  EXPECT_EQ(e.InnerLine, 2);
}

std::string Written(TLkXMLNode& n, int indent) {
  TMemoryStream m;
  n.WriteTo(m, indent);
  return U8(WideString(reinterpret_cast<const char16_t*>(m.Memory()), static_cast<std::size_t>(m.Size() / 2)));
}

TEST_F(EntityTest, DeclarationOutput) {
  TLkGEntityDecl internal(u"i", &doc);
  internal.SetValue(u"say \"&amp;\" x");
  EXPECT_EQ(Written(internal, 3), "   <!ENTITY i \"say &quot;&amp;&quot; x\">\r\n");
  TLkPEntityDecl pe(u"p", &doc);
  pe.SetValue(u"x");
  EXPECT_EQ(Written(pe, 0), "<!ENTITY % p \"x\">\r\n");
  TLkGEntityDecl sys(u"s", &doc);
  sys.SetInternal(false);
  sys.SystemId = u"s.ent";
  EXPECT_EQ(Written(sys, 0), "<!ENTITY s  SYSTEM \"s.ent\">\r\n");
  TLkGEntityDecl pub(u"u", &doc);
  pub.SetInternal(false);
  pub.PublicId = u"-//P";
  pub.SystemId = u"u.gif";
  pub.SetUnparsed(true);
  pub.NotationName = u"gif";
  EXPECT_EQ(Written(pub, 0), "<!ENTITY u  PUBLIC \"-//P\" \"u.gif\"\r\n          NDATA gif>\r\n");
  TLkNotation n1(u"gif", &doc);
  n1.PublicId = u"-//GIF";
  n1.SystemId = u"viewer.exe";
  EXPECT_EQ(Written(n1, 0), "<!NOTATION gif\r\n          PUBLIC \"-//GIF\" \"viewer.exe\">\r\n");
  TLkNotation n2(u"png", &doc);
  n2.SystemId = u"png.exe";
  EXPECT_EQ(Written(n2, 3), "   <!NOTATION png\r\n             SYSTEM \"png.exe\">\r\n");
  TLkPEntityReference r(u"p", &doc);
  EXPECT_EQ(Written(r, 2), "  p\r\n");
}

}  // namespace
