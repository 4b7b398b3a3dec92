// What the tokenizer and the document parser make of the constructs of a
// document: shown through the canonical dump of the tree.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/streams.h"
#include "tests/xml_parser/parser_test_util.h"
#include "xml/lexer.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlparserdump.h"
#include "xml/xmlstrings.h"

namespace {

struct DumpCase {
  const char* name;
  const char* input;
  const char* dump;
};

const DumpCase kDumps[] = {
    {"LowerCaseDoctype", "<!doctype r><r/>", "XML version=\"1.0\"\nDOCTYPE r\n<r>\n</r>\n"},
    {"XmlPrefixedTargetIsPI", "<?xml-stylesheet href=\"s\"?><r/>",
     "XML version=\"1.0\"\nPI xml-stylesheet \"href=&quot;s&quot;\"\n<r>\n</r>\n"},
    {"CommentBlanksAndBreaks", "<r><!--  a    b\r\n  c --></r>", "XML version=\"1.0\"\n<r>\n  COMMENT \" a b c \"\n</r>\n"},
    {"EmptyCData", "<r><![CDATA[]]></r>", "XML version=\"1.0\"\n<r>\n  CDATA \"\"\n</r>\n"},
    {"CDataBrackets", "<r><![CDATA[a]]]></r>", "XML version=\"1.0\"\n<r>\n  CDATA \"a]\"\n</r>\n"},
    {"BlanksOnlyDropped", "<r>  \n <a/> </r>", "XML version=\"1.0\"\n<r>\n  <a>\n  </a>\n</r>\n"},
    {"TextKeepsBlanks", "<r> x </r>", "XML version=\"1.0\"\n<r>\n  TEXT \" x \"\n</r>\n"},
    {"SecondRootNotRead", "<a/><b/>garbage<", "XML version=\"1.0\"\n<a>\n</a>\n"},
    {"EpilogueCommentsAndPIs", "<a/>\n<!--e-->\n<?p q?>", "XML version=\"1.0\"\n<a>\n</a>\nCOMMENT \"e\"\nPI p \"q\"\n"},
    {"ExtraDeclarationAttribute", "<?xml version=\"1.0\" note=\"n\"?><a/>",
     "XML version=\"1.0\" note=\"n\"\n<a>\n</a>\n"},
    {"CapitalVersionName", "<?xml VERSION=\"1.0\"?><a/>", "XML version=\"1.0\"\n<a>\n</a>\n"},
    {"EndTagWithoutName", "<a><b>x</></>", "XML version=\"1.0\"\n<a>\n  <b>\n    TEXT \"x\"\n  </b>\n</a>\n"},
    {"DuplicateAttributeLastWins", "<a x=\"1\" x=\"2\"/>", "XML version=\"1.0\"\n<a x=\"2\">\n</a>\n"},
    {"AttributeNamesMatchIgnoringCase", "<a x=\"1\" X=\"2\"/>", "XML version=\"1.0\"\n<a x=\"2\">\n</a>\n"},
    {"AttributeNamesDifferingInOneUnit", "<a xy=\"1\" xY=\"2\" yx=\"3\" x=\"4\" xyz=\"5\" Xy=\"6\"/>",
     "XML version=\"1.0\"\n<a x=\"4\" xy=\"6\" xyz=\"5\" yx=\"3\">\n</a>\n"},
    {"LongAndNonAsciiNames",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><\xC3\xA9l\xC3\xA9ment-long attribut-long=\"v\"><b.c-d/></\xC3\xA9l\xC3\xA9ment-long>",
     "XML version=\"1.0\" encoding=\"UTF-8\"\n<&#xE9;l&#xE9;ment-long attribut-long=\"v\">\n  <b.c-d>\n  </b.c-d>\n</&#xE9;l&#xE9;ment-long>\n"},
    {"AttributesSortedInDump", "<a z=\"1\" b=\"2\"/>", "XML version=\"1.0\"\n<a b=\"2\" z=\"1\">\n</a>\n"},
    {"TextAroundChildrenInOrder", "<a>x<b/>y<!--c-->z</a>",
     "XML version=\"1.0\"\n<a>\n  TEXT \"x\"\n  <b>\n  </b>\n  TEXT \"y\"\n  COMMENT \"c\"\n  TEXT \"z\"\n</a>\n"},
    {"PredefinedAndCharReferences", "<a>&lt;&#65;&#x42;&amp;</a>", "XML version=\"1.0\"\n<a>\n  TEXT \"&lt;AB&amp;\"\n</a>\n"},
    {"Utf8Declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>",
     "XML version=\"1.0\" encoding=\"UTF-8\"\n<a>\n  TEXT \"&#xE9;\"\n</a>\n"},
    {"Utf8BeyondBMP", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a t=\"\xF0\x90\x8D\x88\">\xF0\x90\x8D\x88</a>",
     "XML version=\"1.0\" encoding=\"UTF-8\"\n<a t=\"&#x10348;\">\n  TEXT \"&#x10348;\"\n</a>\n"},
    {"AsciiWithoutDeclaration", "<a>\xE9</a>", "XML version=\"1.0\"\n<a>\n  TEXT \"_\"\n</a>\n"},
    {"Utf16LittleEndian", "\xFF\xFE<\0a\0/\0>\0", "XML version=\"1.0\"\n<a>\n</a>\n"},
    // Texts whose references are all to predefined entities, and the ones
    // beside them that are not.
    {"EveryPredefinedEntity", "<r>&amp;&lt;&gt;&quot;&apos;</r>", "XML version=\"1.0\"\n<r>\n  TEXT \"&amp;&lt;&gt;&quot;'\"\n</r>\n"},
    {"NamesNearPredefinedStay", "<r>&amp;&ampx;&am;&apos ;</r>",
     "XML version=\"1.0\"\n<r>\n  TEXT \"&amp;&amp;ampx;&amp;am;&amp;apos ;\"\n</r>\n"},
    {"PredefinedBesideCharReference", "<r>a&amp;b&#65;&lt;</r>", "XML version=\"1.0\"\n<r>\n  TEXT \"a&amp;bA&lt;\"\n</r>\n"},
    {"PredefinedThenUnterminated", "<r>&amp;;&lt;&gt</r>", "1: Illegal character in the text value '&&'."},
    {"PredefinedRedeclared", "<!DOCTYPE r [<!ENTITY amp '&#38;#38;'>]><r>a&amp;b</r>",
     "XML version=\"1.0\"\nDOCTYPE r\n  ENTITY amp \"&amp;#38;\"\n<r>\n  TEXT \"a&amp;b\"\n</r>\n"},
    {"PredefinedNameDeclaredUnparsed",
     "<!DOCTYPE r [<!NOTATION n SYSTEM 'q'><!ENTITY lt SYSTEM 'x' NDATA n>]><r>a&amp;b&lt;</r>",
     "1: Reference to an unparsed entity is not allowed in the character data."},
    {"BlanksFromReferencesDropped", "<r> &#32; <a/>&amp;</r>", "XML version=\"1.0\"\n<r>\n  <a>\n  </a>\n  TEXT \"&amp;\"\n</r>\n"},
};

class Dumps : public testing::TestWithParam<DumpCase> {};

TEST_P(Dumps, Tree) {
  const DumpCase& c = GetParam();
  // sizeof-free length: the UTF-16 case holds zero bytes.
  std::string input(c.input);
  if (input.rfind("\xFF\xFE", 0) == 0) input = std::string("\xFF\xFE<\0a\0/\0>\0", 10);
  EXPECT_EQ(c.dump, Dump(input)) << c.input;
}

INSTANTIATE_TEST_SUITE_P(All, Dumps, testing::ValuesIn(kDumps),
                         [](const testing::TestParamInfo<DumpCase>& i) { return std::string(i.param.name); });

TEST(Tokens, LineCounterAdvancesThroughCommentsPIsAndLiterals) {
  // Line feeds dropped from a comment still count.
  EXPECT_EQ("6: Illegal occurence of \"=\"",
            Outcome("<r>\n<!-- a\nb -->\n<?p x\ny?><a\n=/></r>"));
  EXPECT_EQ("4: Illegal occurence of \"=\"", Outcome("<r a=\"x\ny\"><b c='\n'\n=/></r>"));
}

// Line feeds inside runs of character data count, wherever a run starts
// and ends (references and non-ASCII characters end runs), in the document
// and in entity text.
TEST(Tokens, LineCounterAdvancesThroughText) {
  std::string text;
  int lines = 1;
  for (int n = 0; n < 48; ++n, ++lines) {
    text += std::string(static_cast<std::size_t>(n), 'a') + (n % 3 == 0 ? "&amp;" : n % 3 == 1 ? "\xC3\xA9" : "") + "\n";
    if (n % 5 == 0) text += "\n\n", lines += 2;
  }
  EXPECT_EQ(std::to_string(lines) + ": Start-tag name \"r\" does not match end-tag name \"x\"",
            Outcome("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>" + text + "</x>"));
  EXPECT_EQ(std::to_string(lines) + ": Start-tag name \"r\" does not match end-tag name \"x\"",
            Outcome("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>" + text + "</x>"));
  EXPECT_EQ("5/1: Start-tag name \"r\" does not match end-tag name \"x\"",
            Outcome("<!DOCTYPE r [<!ENTITY n \"a\nb\nc</x>\">]>\n<r>x\n&n;\n&n;</r>"));
}

// Sections, comments and processing instructions are read in runs too:
// long ones with line feeds, blanks, "-", "]" and "?" at every offset keep
// their text as before (a comment's blanks merged, its line breaks
// dropped) and count their lines.
TEST(Tokens, SectionsCommentsAndPIsKeepTheirText) {
  std::string raw;
  int lines = 1;
  for (int n = 0; n < 60; ++n) {
    raw += std::string(static_cast<std::size_t>(n), static_cast<char>('a' + n % 26));
    raw += n % 4 == 0 ? "\n" : n % 4 == 1 ? "  " : n % 4 == 2 ? "\r\n" : "\xC3\xA9";
    raw += n % 3 == 0 ? "-" : n % 3 == 1 ? "]" : "?";
    lines += n % 4 == 0 || n % 4 == 2;
  }
  const WideString wide = UTF8ToWide(raw);
  WideString comment;
  for (WideChar c : wide)
    if (c != u'\n' && c != u'\r' && !(c == u' ' && !comment.empty() && comment.back() == u' ')) comment += c;
  // A processing instruction's data has its whitespace made blanks (CR LF one).
  WideString pi;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const WideChar c = wide[i];
    if (c == u'\n') {
      if (i == 0 || wide[i - 1] != u'\r') pi += u' ';
    } else {
      pi += c == u'\r' || c == u'\t' ? u' ' : c;
    }
  }
  const std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><![CDATA[" + raw + "]]><!--" + raw +
                          "--><?pi " + raw + "?>";
  auto p = Parse(doc + "</r>");
  ASSERT_FALSE(p->failed) << p->error;
  TLkXMLNode* n = p->document->GetDocumentElement()->FirstChild();
  ASSERT_TRUE(n && n->GetKind() == ntCData);
  EXPECT_TRUE(n->GetValue() == wide);
  n = n->NextSibling();
  ASSERT_TRUE(n && n->GetKind() == ntComment);
  EXPECT_TRUE(n->GetValue() == comment);
  n = n->NextSibling();
  ASSERT_TRUE(n && n->GetKind() == ntPI);
  EXPECT_TRUE(n->GetValue() == pi);
  EXPECT_EQ(std::to_string(3 * lines - 2) + ": Start-tag name \"r\" does not match end-tag name \"x\"",
            Outcome(doc + "</x>"));
}

// A text long enough to be sized for the rest of the input keeps every
// character, also when much markup follows it, and in a one-byte encoding.
TEST(Tokens, LongTextsAreReadWhole) {
  std::string bytes;
  WideString expected;
  int lines = 1;
  for (int i = 0; expected.size() < 700000; ++i) {
    const std::string n = std::to_string(i);
    bytes += "line " + n + (i % 7 == 0 ? " &amp; \xC3\xA9" : "") + (i % 11 == 0 ? "&#65;" : "") + "\n";
    expected += u"line " + Latin1ToWide(n) + (i % 7 == 0 ? u" & \u00E9" : u"") + (i % 11 == 0 ? u"A" : u"") + u"\n";
    ++lines;
  }
  std::string markup;
  for (int i = 0; i < 100000; ++i) markup += "<b>x</b>";
  for (const std::string& after : {std::string(), markup}) {
    auto p = Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>" + bytes + "<a/>" + after + "</r>");
    ASSERT_FALSE(p->failed) << p->error;
    TLkXMLNode* text = p->document->GetDocumentElement()->FirstChild();
    ASSERT_EQ(text->GetKind(), ntText);
    EXPECT_TRUE(text->GetValue() == expected) << text->GetValue().size() << " " << expected.size();
    EXPECT_LE(text->GetValue().capacity(), 2 * expected.size());
  }
  EXPECT_EQ(std::to_string(lines) + ": Start-tag name \"r\" does not match end-tag name \"x\"",
            Outcome("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>" + bytes + "</x>"));
  std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>";
  for (int i = 0; latin.size() < 600000; ++i) latin += "abc\xE9\tdef\r\n";
  auto p = Parse(latin + "</r>");
  ASSERT_FALSE(p->failed) << p->error;
  const WideString& value = p->document->GetDocumentElement()->FirstChild()->GetValue();
  ASSERT_EQ(value.size() % 10, 0u);
  for (std::size_t i = 0; i < value.size(); i += 10) ASSERT_TRUE(value.compare(i, 10, u"abc\u00E9\tdef\r\n") == 0) << i;
}

TEST(Tokens, SameDocumentParsedTwiceIntoOneDocument) {
  TLkXMLParser parser(nullptr);
  TLkXMLDocument document;
  TLkXMLDocument* doc = &document;
  TMemoryStream s;
  std::string text = "<a><b/><!--c--></a>";
  s.Write(text.data(), static_cast<int64_t>(text.size()));
  parser.ParseStream(s, doc);
  std::string first = CanonicalDump(document);
  parser.ParseStream(s, doc);
  EXPECT_EQ(first, CanonicalDump(document));
}

TEST(Tokens, DefaultEncodingOnlyForOwnedParser) {
  const std::string latin = "<a>\xE9</a>";
  auto owned = Parse(latin, [](TLkXMLParser& p) { p.SetDefaultEncoding(i8859_1); }, true);
  EXPECT_EQ("XML version=\"1.0\"\n<a>\n  TEXT \"&#xE9;\"\n</a>\n", owned->dump);
  auto plain = Parse(latin, [](TLkXMLParser& p) { p.SetDefaultEncoding(i8859_1); });
  EXPECT_EQ("XML version=\"1.0\"\n<a>\n  TEXT \"_\"\n</a>\n", plain->dump);
  TLkXMLParser p(nullptr);
  p.SetDefaultEncoding(n_sup);
  EXPECT_EQ(US_ASCII, p.GetDefaultEncoding());
}

TEST(Tokens, ValidationWithoutDoctypeHasOneError) {
  auto p = Parse("<a/>", [](TLkXMLParser& x) { x.ValidateDocument = true; });
  ASSERT_FALSE(p->failed);
  EXPECT_FALSE(p->result);
  ASSERT_EQ(1, p->parser->Errors().Count());
  EXPECT_EQ("[XML]: Document type declaration not found.", p->parser->Errors().Items(0).Message);
}

TEST(Tokens, ErrorKeepsWhatWasBuilt) {
  auto p = Parse("<a><b/><c>");
  ASSERT_TRUE(p->failed);
  EXPECT_EQ("XML version=\"1.0\"\n<a>\n  <b>\n  </b>\n  <c>\n  </c>\n</a>\n", CanonicalDump(*p->document));
}

// Nesting far deeper than the model allows ends in an error, with neither
// the parser nor the tree using the call stack per level.
TEST(Tokens, MillionDeepNestingIsAnError) {
  std::string deep;
  for (int i = 0; i < 1000000; ++i) deep += "<a>";
  EXPECT_EQ("1: Elements nest deeper than 1000 levels.", Outcome(deep));
  std::string model = "<!DOCTYPE r [<!ELEMENT r ";
  for (int i = 0; i < 1000000; ++i) model += "(";
  EXPECT_EQ("1: Content model groups nest too deeply.", Outcome(model));
}

TEST(Tokens, WideSiblingListsParse) {
  std::string wide = "<r>";
  for (int i = 0; i < 200000; ++i) wide += "<a x=\"1\">t</a>";
  wide += "</r>";
  auto p = Parse(wide);
  ASSERT_FALSE(p->failed) << p->error;
  EXPECT_EQ(200000, p->document->GetDocumentElement()->ChildNodes().GetCount());
}

// Names and literals of every length up to past two blocks of the run
// scan, ended by each kind of character, and placed across the boundary of
// the input's halves: the tree holds every one whole.
TEST(Tokens, NamesAndLiteralsOfEveryLength) {
  std::string doc = "<r>";
  std::vector<std::pair<std::string, std::string>> expected;  // name, value
  const char* ends[] = {"=", " =", "\t=", "\n="};
  for (int round = 0; doc.size() < 2 * TInputBuffer::kHalfSize + 4000; ++round) {
    for (int n = 1; n <= 40; ++n) {
      std::string name(static_cast<std::size_t>(n), static_cast<char>('a' + (n + round) % 26));
      name[static_cast<std::size_t>(n) / 2] = n % 3 == 0 ? '-' : n % 3 == 1 ? '.' : '7';
      if (n == 1) name = "q";
      std::string value(static_cast<std::size_t>((n * 7 + round) % 45), 'v');
      const char quote = n % 2 ? '"' : '\'';
      doc += "<" + name + " " + name + ends[(n + round) % 4] + quote + value + quote + (n % 5 ? "/>" : "></" + name + ">");
      expected.emplace_back(name, value);
    }
  }
  doc += "</r>";
  auto p = Parse(doc);
  ASSERT_FALSE(p->failed) << p->error;
  TLkXMLElement* e = p->document->GetDocumentElement()->GetFirstChildElement();
  for (const auto& [name, value] : expected) {
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(WideToUTF8(e->GetNodeName()), name);
    ASSERT_EQ(WideToUTF8(e->GetAttributeValue(UTF8ToWide(name))), value) << name;
    e = e->NextSiblingElement();
  }
  EXPECT_EQ(e, nullptr);
}

// The scanners' ASCII table agrees with the full character classes.
TEST(Tokens, FastCharacterClassesAgree) {
  for (WideChar c = 0; c < 0x3000; ++c) {
    EXPECT_EQ(IsNameStartChar(c), LexIsNameStart(c)) << static_cast<int>(c);
    EXPECT_EQ(IsNameChar(c), LexIsName(c)) << static_cast<int>(c);
    EXPECT_EQ(IsCharDataChar(c), LexIsCharData(c)) << static_cast<int>(c);
  }
  EXPECT_TRUE(LexIsCharData(0xD800));
  EXPECT_TRUE(LexIsCharData(0xDFFF));
}

// The external-entity mode the model uses for replacement text: content
// under "_root", leading character data and a text declaration included.
TEST(Tokens, ExternalEntityMode) {
  TLkXMLParser outer(nullptr);
  TLkXMLDocument into;
  TMemoryStream s;
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>lead <a x=\"1\"/>tail\xC3\xA9";
  s.Write(text.data(), static_cast<int64_t>(text.size()));
  outer.ParseEntityText(s, into);
  EXPECT_EQ(&outer, into.AssignedParser());
  EXPECT_EQ("XML version=\"1.0\" encoding=\"UTF-8\"\n<_root>\n  TEXT \"lead \"\n  <a x=\"1\">\n  </a>\n"
            "  TEXT \"tail&#xE9;\"\n</_root>\n",
            CanonicalDump(into));
}

}  // namespace
