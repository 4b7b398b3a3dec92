// Entity references in content and attribute values: replacement in place,
// in document order, and the bounds that stop recursive and exponential
// expansion.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/xml_parser/parser_test_util.h"
#include "xml/lexexpansion.h"
#include "xml/platform.h"

namespace {

std::string Body(const std::string& subset, const std::string& root) {
  std::string dump = Dump("<!DOCTYPE r [" + subset + "]>" + root);
  std::size_t at = dump.find("<r");
  return at == std::string::npos ? dump : dump.substr(at);
}

struct BodyCase {
  const char* name;
  const char* subset;
  const char* root;
  const char* body;
};

const BodyCase kBodies[] = {
    {"MarkupInDocumentOrder", "<!ENTITY e '<b>B</b>'>", "<r>x&e;y</r>",
     "<r>\n  TEXT \"x\"\n  <b>\n    TEXT \"B\"\n  </b>\n  TEXT \"y\"\n</r>\n"},
    {"TextJoinsSurroundingText", "<!ENTITY e 'mid'>", "<r>a&e;b</r>", "<r>\n  TEXT \"amidb\"\n</r>\n"},
    {"NestedEntities", "<!ENTITY in '<i/>'><!ENTITY out '[&in;]'>", "<r>&out;</r>",
     "<r>\n  TEXT \"[\"\n  <i>\n  </i>\n  TEXT \"]\"\n</r>\n"},
    {"AmpInValueIsAReference", "<!ENTITY e 'x&amp;y'>", "<r>&e;</r>", "<r>\n  TEXT \"x&amp;y\"\n</r>\n"},
    {"CharReferenceMakesMarkup", "<!ENTITY e '&#60;b/>'>", "<r>&e;</r>", "<r>\n  <b>\n  </b>\n</r>\n"},
    {"EntityAtStartOfContent", "<!ENTITY e '<b/>'>", "<r>&e;</r>", "<r>\n  <b>\n  </b>\n</r>\n"},
    {"InAttributeValue", "<!ENTITY e 'v&amp;w'>", "<r a='1&e;2'/>", "<r a=\"1v&amp;w2\">\n</r>\n"},
    {"UndeclaredStaysAsWritten", "", "<r>&nope;</r>", "<r>\n  TEXT \"&amp;nope;\"\n</r>\n"},
    {"ParameterEntityValueInGeneral", "<!ENTITY % p 'x'><!ENTITY e 'a%p;b'>", "<r>&e;</r>",
     "<r>\n  TEXT \"axb\"\n</r>\n"},
    // Replacement text is read as the UTF-16 it is, whatever the document's
    // encoding: the Greek letter survives in an ASCII document.
    {"WideCharacterKept", "<!ENTITY e '&#x3A9;<b/>&#x10348;'>", "<r>&e;</r>",
     "<r>\n  TEXT \"&#x3A9;\"\n  <b>\n  </b>\n  TEXT \"&#x10348;\"\n</r>\n"},
    {"WideCharacterInParameterEntity", "<!ENTITY % p '<!ENTITY e \"&#x3A9;\">'>%p;", "<r>&e;</r>",
     "<r>\n  TEXT \"&#x3A9;\"\n</r>\n"},
    {"SameEntityTwice", "<!ENTITY e '<b/>'>", "<r>&e;&e;</r>", "<r>\n  <b>\n  </b>\n  <b>\n  </b>\n</r>\n"},
};

class Bodies : public testing::TestWithParam<BodyCase> {};

TEST_P(Bodies, Tree) {
  const BodyCase& c = GetParam();
  EXPECT_EQ(c.body, Body(c.subset, c.root));
}

INSTANTIATE_TEST_SUITE_P(All, Bodies, testing::ValuesIn(kBodies),
                         [](const testing::TestParamInfo<BodyCase>& i) { return std::string(i.param.name); });

TEST(Entities, ErrorInReplacementTextHasBothLines) {
  auto p = Parse("<!DOCTYPE r [<!ENTITY e '<b>&#10;<c></b>'>]>\n\n<r>&e;</r>");
  ASSERT_TRUE(p->failed);
  EXPECT_EQ("Start-tag name \"c\" does not match end-tag name \"b\"", p->error);
  EXPECT_EQ(3, p->line);  // the reference
  EXPECT_EQ(2, p->innerLine);
}

struct BoundCase {
  const char* name;
  std::string subset;
  std::string root;
  const char* message;
};

std::string Chain(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "<!ENTITY e" + std::to_string(i) + " 'x&e" + std::to_string(i + 1) + ";'>";
  return s + "<!ENTITY e" + std::to_string(n) + " 'end'>";
}

std::string Laughs(const char* ref) {
  std::string s = "<!ENTITY lol0 'lol'>";
  for (int i = 1; i <= 9; ++i) {
    s += "<!ENTITY lol" + std::to_string(i) + " '";
    for (int k = 0; k < 10; ++k) s += std::string(ref) + "lol" + std::to_string(i - 1) + ";";
    s += "'>";
  }
  return s;
}

TEST(Entities, RecursionNestingAndSizeAreBounded) {
  const BoundCase cases[] = {
      {"SelfInContent", "<!ENTITY a '&a;'>", "<r>&a;</r>", kMsgRecursiveEntity},
      {"MutualInContent", "<!ENTITY a 'x&b;'><!ENTITY b 'y&a;'>", "<r>&a;</r>", kMsgRecursiveEntity},
      {"MutualWithMarkup", "<!ENTITY a '<i>&b;</i>'><!ENTITY b '<j>&a;</j>'>", "<r>&a;</r>", kMsgRecursiveEntity},
      {"MutualInAttribute", "<!ENTITY a 'x&b;'><!ENTITY b 'y&a;'>", "<r v='&a;'/>", kMsgRecursiveEntity},
      {"ParameterInSubset", "<!ENTITY % a '%b;'><!ENTITY % b '<!ENTITY % c \"\">%a;'>%b;", "<r/>",
       kMsgRecursiveEntity},
      {"DeepChain", Chain(60), "<r>&e0;</r>", kMsgEntityDepth},
      {"ChainWithinLimit", Chain(30), "<r>&e0;</r>", nullptr},
      {"ExponentialContent", Laughs("&"), "<r>&lol9;</r>", kMsgEntityTotal},
      {"ExponentialAttribute", Laughs("&"), "<r a='&lol9;'/>", kMsgEntityTotal},
  };
  for (const auto& c : cases) {
    auto start = std::chrono::steady_clock::now();
    auto p = Parse("<!DOCTYPE r [" + c.subset + "]>" + c.root);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (c.message) {
      EXPECT_TRUE(p->failed) << c.name;
      EXPECT_EQ(c.message, p->error) << c.name;
    } else {
      EXPECT_FALSE(p->failed) << c.name << ": " << p->error;
    }
    std::printf("  %-22s %.3f s\n", c.name, seconds);
  }
}

TEST(Entities, AttributeFullOfAmpersandsStaysLinear) {
  // Quadratic scanning would take minutes here.
  std::string value(2000000, '&');
  auto p = Parse("<!DOCTYPE r [<!ENTITY e 'x'>]><r a='" + value + "&e;'/>");
  EXPECT_TRUE(p->failed);  // a lone "&" is refused by the attribute
  EXPECT_EQ("Illegal character in the attribute value '&'.", p->error);
}

TEST(Entities, ExponentialParameterEntitiesEndInAnError) {
  auto p = Parse("<!DOCTYPE r [" + Laughs("%").substr(0) + "]><r/>");
  // Replace the general declarations by parameter ones.
  std::string subset = Laughs("%");
  for (std::size_t at = 0; (at = subset.find("<!ENTITY ", at)) != std::string::npos; at += 11)
    subset.replace(at, 9, "<!ENTITY % ");
  auto q = Parse("<!DOCTYPE r [" + subset + "%lol9;]><r/>");
  EXPECT_TRUE(q->failed);
  EXPECT_FALSE(q->error.empty());
}

TEST(Entities, ExternalParsedEntityFromFile) {
  const std::string ent = TempDir() + "/part.ent";
  WriteFile(ent, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><i>ext</i>tail");
  EXPECT_EQ("<r>\n  <i>\n    TEXT \"ext\"\n  </i>\n  TEXT \"tail!\"\n</r>\n",
            Body("<!ENTITY p SYSTEM '" + ent + "'>", "<r>&p;!</r>"));
}

TEST(Entities, MissingExternalEntityReportsItsName) {
  std::vector<std::string> reported;
  auto p = Parse("<!DOCTYPE r [<!ENTITY p SYSTEM 'Gone/Part.ENT'>]><r/>", [&](TLkXMLParser& x) {
    x.OnFileNotFound = TFileNotFoundEvent([&](TObject*, const std::string& name) { reported.push_back(name); });
  });
  ASSERT_FALSE(p->failed) << p->error;
  ASSERT_EQ(1u, reported.size());
  EXPECT_EQ("Gone/Part.ENT", reported[0]);
}

// A fetcher that records what it is asked for and serves one text, or an
// endless stream.
class TFakeFetcher : public TLkResourceFetcher {
 public:
  bool Fetch(const std::string& url, TStream& dest) override {
    urls.push_back(url);
    if (endless) {
      std::string block(1 << 16, 'x');
      for (;;)
        if (dest.Write(block.data(), static_cast<int64_t>(block.size())) == 0) return true;
    }
    dest.Write(text.data(), static_cast<int64_t>(text.size()));
    return true;
  }
  std::vector<std::string> urls;
  std::string text = "<!ELEMENT r ANY><!ENTITY e 'fetched'>";
  bool endless = false;
};

class FetchedResources : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = XMLPlatform().Fetcher;
    XMLPlatform().Fetcher = &fetcher;
  }
  void TearDown() override { XMLPlatform().Fetcher = saved_; }
  TFakeFetcher fetcher;

 private:
  TLkResourceFetcher* saved_ = nullptr;
};

TEST_F(FetchedResources, OnlyTheSchemeIsLowerCased) {
  auto p = Parse("<!DOCTYPE r SYSTEM 'HTTP://Example.ORG/Path/File.DTD'><r>&e;</r>");
  ASSERT_FALSE(p->failed) << p->error;
  ASSERT_EQ(1u, fetcher.urls.size());
  EXPECT_EQ("http://Example.ORG/Path/File.DTD", fetcher.urls[0]);
  EXPECT_NE(std::string::npos, p->dump.find("TEXT \"fetched\""));
}

TEST_F(FetchedResources, NoFetchWithoutInternetRetrieval) {
  for (auto setup : {TSetup([](TLkXMLParser& x) { x.RetrieveInternetURI = false; }),
                     TSetup([](TLkXMLParser& x) { x.ForbidNetwork = true; })}) {
    bool reported = false;
    auto p = Parse("<!DOCTYPE r PUBLIC '-//X//DTD//EN' 'ftp://host/x.dtd'><r/>", [&](TLkXMLParser& x) {
      setup(x);
      x.OnFileNotFound = TFileNotFoundEvent([&](TObject*, const std::string&) { reported = true; });
    });
    ASSERT_FALSE(p->failed) << p->error;
    EXPECT_FALSE(reported);
  }
  EXPECT_TRUE(fetcher.urls.empty());
}

TEST_F(FetchedResources, EndlessFetchIsCutOffAndReported) {
  fetcher.endless = true;
  std::string reported;
  auto p = Parse("<!DOCTYPE r SYSTEM 'http://host/endless.dtd'><r/>", [&](TLkXMLParser& x) {
    x.OnFileNotFound = TFileNotFoundEvent([&](TObject*, const std::string& name) { reported = name; });
  });
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_EQ("http://host/endless.dtd", reported);
}

}  // namespace
