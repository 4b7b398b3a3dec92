// Declarations read from internal and external subsets, parameter
// entities in them, and content models as the validation matches them.
#include <gtest/gtest.h>

#include "tests/xml_parser/parser_test_util.h"
#include "xml/dtd.h"

namespace {

std::string Decls(const std::string& subset) {
  std::string dump = Dump("<!DOCTYPE r [" + subset + "]><r/>");
  std::size_t from = dump.find("DOCTYPE r\n");
  std::size_t to = dump.find("<r>");
  if (from == std::string::npos || to == std::string::npos) return dump;
  return dump.substr(from + 10, to - from - 10);
}

TEST(Declarations, AttributeListsMergeAndFirstDefinitionBinds) {
  EXPECT_EQ("  ATTLIST r a:;?\"x\"(x|y) b:2<\"\" c::=\"\"\n",
            Decls("<!ATTLIST r a (x|y) 'x' b ID #REQUIRED>"
                  "<!ATTLIST r a CDATA #FIXED 'z' c CDATA #IMPLIED>"
                  "<!ATTLIST r b BOGUS #IMPLIED>"));
}

TEST(Declarations, FirstEntityDeclarationBinds) {
  EXPECT_EQ("  ENTITY e \"one\"\n", Decls("<!ENTITY e 'one'><!ENTITY e 'two'>"));
}

TEST(Declarations, KeywordsInAnyCase) {
  EXPECT_EQ("  ATTLIST r a:7=\"\" b::>\"v\"\n", Decls("<!attlist r a nmtoken #implied b cdata #fixed 'v'>"));
}

TEST(Declarations, ParameterEntityBetweenDeclarations) {
  EXPECT_EQ("  ENTITY % d \"&lt;!ENTITY e 'v'&gt;\"\n  ENTITY e \"v\"\n",
            Decls("<!ENTITY % d \"<!ENTITY e 'v'>\">\n%d;"));
}

TEST(Declarations, ParameterEntityForAPartOfADeclaration) {
  EXPECT_EQ("  ENTITY % t \"NMTOKEN\"\n  ENTITY % n \"r\"\n  ATTLIST r a:7=\"\"\n",
            Decls("<!ENTITY % t 'NMTOKEN'><!ENTITY % n 'r'><!ATTLIST %n; a %t; #IMPLIED>"));
}

TEST(Declarations, ParameterEntityInsideReplacementText) {
  // outer's value keeps "%inner;" (undeclared then); using outer expands
  // inner from inside outer's text, on a stack of inputs.
  EXPECT_EQ("  ENTITY % outer \"%inner;&lt;!ENTITY f 'w'&gt;\"\n  ENTITY % inner \"&lt;!ENTITY e 'v'&gt;\"\n"
            "  ENTITY e \"v\"\n  ENTITY f \"w\"\n",
            Decls("<!ENTITY % outer \"%inner;<!ENTITY f 'w'>\"><!ENTITY % inner \"<!ENTITY e 'v'>\">%outer;"));
}

TEST(Declarations, EmptyParameterEntityAtEndOfSubset) {
  EXPECT_EQ("  ENTITY % z \"\"\n", Decls("<!ENTITY % z ''>%z;"));
}

TEST(Declarations, SystemEntityMakesDocumentNotStandalone) {
  auto p = Parse("<!DOCTYPE r [<!ENTITY e SYSTEM 'missing-file.ent'>]><r/>");
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_EQ(u"no", p->document->GetAttributeValue(u"standalone"));
}

TEST(Declarations, UnparsedEntityAndNotation) {
  EXPECT_EQ("  NOTATION gif \"\" \"image/gif\"\n  ENTITY pic \"\" NDATA gif\n",
            Decls("<!NOTATION gif SYSTEM 'image/gif'><!ENTITY pic SYSTEM 'p.gif' NDATA gif>"));
}

TEST(Declarations, ElementDeclarationsWriteTheirModels) {
  EXPECT_EQ("  ELEMENT r (a?,(b|c)*,d+)\n  ELEMENT m (#PCDATA|a)*\n  ELEMENT e  EMPTY\n  ELEMENT y  ANY\n",
            Decls("<!ELEMENT r (a?,(b|c)*,d+)><!ELEMENT m (#PCDATA|a)*><!ELEMENT e EMPTY><!ELEMENT y ANY>"));
}

TEST(Declarations, CommentsAndPIsInTheSubset) {
  EXPECT_EQ("  COMMENT \" c \"\n  PI p \"d\"\n", Decls("<!-- c --><?p d?>"));
}

TEST(Declarations, ExternalSubsetFromFile) {
  const std::string dtd = TempDir() + "/ext.dtd";
  WriteFile(dtd, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!ENTITY e 'ext\xE9'>\n<!ELEMENT r ANY>\n"
                 "<![IGNORE[ <!ENTITY never 'x'> ]]>\n<!ENTITY after 'not read'>");
  auto p = Parse("<!DOCTYPE r SYSTEM '" + dtd + "' [<!ENTITY e 'internal'><!ENTITY i 'v'>]><r>&e;</r>");
  ASSERT_FALSE(p->failed) << p->error;
  // The external subset is read first, so its declaration binds; reading
  // stops silently at the conditional section.
  EXPECT_NE(std::string::npos, p->dump.find("TEXT \"ext&#xE9;\"")) << p->dump;
  EXPECT_EQ(std::string::npos, p->dump.find("never"));
  EXPECT_EQ(std::string::npos, p->dump.find("after"));
  EXPECT_NE(std::string::npos, p->dump.find("ENTITY i \"v\""));
}

TEST(Declarations, ErrorInExternalSubsetNamesItsLine) {
  const std::string dtd = TempDir() + "/bad.dtd";
  WriteFile(dtd, "<!ELEMENT r ANY>\n\n<!ATTLIST r a BOGUS #IMPLIED>");
  auto p = Parse("<!DOCTYPE r SYSTEM '" + dtd + "'><r/>");
  ASSERT_TRUE(p->failed);
  EXPECT_EQ("Unknown attribute type: \"BOGUS\".", p->error);
  // The line of the document type declaration, and the line in the subset.
  EXPECT_EQ(1, p->line);
  EXPECT_EQ(3, p->innerLine);
}

TEST(Declarations, MissingExternalSubsetCallsOnFileNotFound) {
  std::string reported;
  auto p = Parse("<!DOCTYPE r SYSTEM 'No-Such-File.DTD'><r/>", [&](TLkXMLParser& x) {
    x.OnFileNotFound = TFileNotFoundEvent([&](TObject*, const std::string& name) { reported = name; });
  });
  ASSERT_FALSE(p->failed) << p->error;
  // Only a scheme would be lower-cased: a path keeps its case.
  EXPECT_EQ("No-Such-File.DTD", reported);
}

TEST(Declarations, NetworkIdentifiersNotFetchedWhenForbidden) {
  bool called = false;
  auto p = Parse("<!DOCTYPE r SYSTEM 'HTTP://127.0.0.1:9/x.dtd'><r/>", [&](TLkXMLParser& x) {
    x.ForbidNetwork = true;
    x.OnFileNotFound = TFileNotFoundEvent([&](TObject*, const std::string&) { called = true; });
  });
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_FALSE(called);
  EXPECT_FALSE(p->parser->GetRetrieveInternetURI());
}

// --- content models as validation matches them ---------------------------------

struct ModelCase {
  const char* model;
  const char* children;
  bool matches;
};

const ModelCase kModels[] = {
    {"(a,b)", "<a/><b/>", true},     {"(a,b)", "<b/><a/>", false},   {"(a,b)", "<a/>", false},
    {"(a|b)", "<a/>", true},         {"(a|b)", "<b/>", true},        {"(a|b)", "<a/><b/>", true},
    {"(a|b)", "<b/><a/>", false},    {"(a*)", "", true},             {"(a+)", "", false},
    {"(a+)", "<a/><a/><a/>", true},  {"(a?)*", "", true},            {"(a)", "<A/>", true},
    {"(a,b?,a)", "<a/><a/>", true},  {"((a|b)*,a)", "<a/><b/><a/>", false},  // greedy, no backtracking
    {"(a,(b,a)*)", "<a/><b/><a/><b/><a/>", true},
};

class ContentModels : public testing::TestWithParam<ModelCase> {};

TEST_P(ContentModels, Match) {
  const ModelCase& c = GetParam();
  auto p = Parse(std::string("<!DOCTYPE r [<!ELEMENT r ") + c.model +
                     "><!ELEMENT a EMPTY><!ELEMENT b EMPTY>]><r>" + c.children + "</r>",
                 [](TLkXMLParser& x) { x.ValidateDocument = true; });
  ASSERT_FALSE(p->failed) << p->error;
  bool mismatch = false;
  for (int32_t i = 0; i < p->parser->Errors().Count(); ++i)
    mismatch = mismatch || p->parser->Errors().Items(i).Message ==
                               "[Element \"r\"]: Content of the element does not match its declaration.";
  EXPECT_EQ(c.matches, !mismatch) << c.model << " " << c.children;
}

INSTANTIATE_TEST_SUITE_P(All, ContentModels, testing::ValuesIn(kModels));

TEST(Validation, ValidDocumentPasses) {
  auto p = Parse(
      "<?xml version=\"1.0\"?><!DOCTYPE r [<!ELEMENT r (i*)><!ELEMENT i (#PCDATA)>"
      "<!ATTLIST i id ID #REQUIRED ref IDREF #IMPLIED>]><r><i id=\"a\">x</i><i id=\"b\" ref=\"a\"/></r>",
      [](TLkXMLParser& x) { x.ValidateDocument = true; });
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_TRUE(p->result);
  EXPECT_EQ(0, p->parser->Errors().Count());
}

TEST(Validation, FindingsAreListedNotRaised) {
  auto p = Parse("<!DOCTYPE s [<!ELEMENT r EMPTY><!ATTLIST r a CDATA #REQUIRED>]><r><?p?></r>",
                 [](TLkXMLParser& x) { x.ValidateDocument = true; });
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_FALSE(p->result);
  std::string all;
  for (int32_t i = 0; i < p->parser->Errors().Count(); ++i) all += p->parser->Errors().Items(i).Message + "\n";
  EXPECT_EQ(
      "[DTD]: Root name \"s\" in declaration does not match root name \"r\" in document.\n"
      "[Element \"r\"]: Element declared as EMPTY can not have a content.\n"
      "[Element: \"r\" Attribute: \"a\"]: Element does not contain #REQUIRED attribute.\n",
      all);
}

}  // namespace
