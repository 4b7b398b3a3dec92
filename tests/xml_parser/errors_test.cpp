// Every syntax error of the tokenizer, the document parser, the DTD parser
// and the content-model parser, with the line it is reported at.
#include <gtest/gtest.h>

#include "tests/xml_parser/parser_test_util.h"

namespace {

struct ErrorCase {
  const char* name;
  const char* input;
  const char* outcome;  // "LINE: MESSAGE"
  bool standard = false;
};

const ErrorCase kErrors[] = {
    // tokenizer
    {"EmptyStream", "", "1: Unexpected end of file."},
    {"EndInsideContent", "<a>\n<b>text</b>\n", "3: Unexpected end of file."},
    {"EndInsideText", "<a>\ntext", "2: Unexpected end of file."},
    {"TokenInStartTag", "<a\n=\"1\"/>", "2: Illegal occurence of \"=\""},
    {"ExternalIdKeyword", "<!DOCTYPE r\nFOO \"x\">", "2: Illegal occurence of \"FOO\"."},
    {"LoneDashInTag", "<a\n->", "2: Illegal occurence of : \"--\"."},
    {"LoneSlashInTag", "<a / >", "1: Illegal occurence of : \"/\"."},
    {"DoubleBracketInTag", "<a ]]x>", "1: Illegal occurence of : \"]]\"."},
    {"BadCommentOpener", "<!-x-->", "1: Wrong declaration (comment?): \"<!-\"."},
    {"UnknownDeclaration", "\n<!FOOBAR x>", "2: Wrong declaration: \"<!\"."},
    {"UnknownKeyword", "<!DOCTYPE r [\n<!ATTLIST r a CDATA #X>]><r/>", "2: Wrong declaration: \"#\"."},
    {"MisspeltKeyword", "<!DOCTYPE r [<!ATTLIST r a CDATA #IMPLIE>]><r/>",
     "1: Unsupported keyword: \"#IMPLIE>\"."},
    {"CDataWithoutEnd", "<a>\n<![CDATA[x]]", "2: CDSection does not have a matching end-tag."},
    {"DoubleDashInComment", "<!-- a\n-- b -->", "2: Comment contains wrong entry \"--\""},
    {"CommentWithoutEnd", "<!-- a\n\n", "3: Comment does not have a matching end-tag."},
    {"PIWithoutEnd", "<?pi a\nb", "2: PI does not have a matching end-tag."},
    {"AttributeWithoutValue", "<a\nb=c/>", "2: Attribute value required or incorrect"},
    {"LiteralWithoutEnd", "<a b=\"c\n/>", "2: Literal does not have a matching end quote."},
    {"EmptyVersion", "<?xml version=\" \"?><a/>", "1: Version declaration: version number required"},
    {"Version11", "<?xml version=\"1.1\"?><a/>", "1: Version declaration: version \"1.1\" is not supported."},
    {"TextDeclWithoutEncoding", "<!DOCTYPE r [<?xml version=\"1.0\"?>]><r/>", "1: Encoding declaration required"},
    {"TextDeclBadVersion", "<!DOCTYPE r [<?xml version=\"2.0\" encoding=\"UTF-8\"?>]><r/>",
     "1: Version declaration: version \"2.0\" is not supported."},
    {"UndeclaredParameterEntity", "<!DOCTYPE r [\n%pe;]><r/>",
     "2: Can't retrieve parameter entity value. Entity \"pe\" is not declared."},
    // input decoding, reported at the tokenizer's line
    {"MalformedUtf8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\xC3(</a>",
     "2: Malformed UTF-8 sequence in the input."},
    // values checked by the nodes, at the parser's line
    {"LoneAmpersandInText", "<a>\n\nx &</a>", "3: Illegal character in the text value '&&'."},
    {"UnparsedEntityInText", "<!DOCTYPE r [<!NOTATION n SYSTEM 'n'><!ENTITY u SYSTEM 'u' NDATA n>]>\n<r>&u;</r>",
     "2: Reference to an unparsed entity is not allowed in the character data."},
    {"LessThanInAttributeEntity", "<!DOCTYPE r [<!ENTITY e '&#60;'>]>\n<r a='&e;'/>",
     "2: Illegal character in the attribute value '<'."},
    // document parser
    {"VersionNotFirst", "<?xml encoding=\"UTF-8\" version=\"1.0\"?><a/>",
     "1: XML declaration: version declaration required"},
    {"BadStandalone", "<?xml version=\"1.0\" standalone=\"maybe\"?><a/>",
     "1: Standalone declaration: incorrect attribute value", true},
    {"DeclarationOutOfOrder", "<?xml version=\"1.0\" standalone=\"no\" encoding=\"UTF-8\"?><a/>",
     "1: Illegal occurence of \"encoding\"", true},
    {"ExtraDeclarationAttribute", "<?xml version=\"1.0\" extra=\"x\"?><a/>", "1: Illegal occurence of \"extra\"", true},
    {"CrossedEndTags", "<a>\n<b>\n</a></b>", "3: Start-tag name \"b\" does not match end-tag name \"a\""},
    {"EndTagCaseDiffers", "<a></A>", "1: Start-tag name \"a\" does not match end-tag name \"A\""},
    {"EndTagWithoutNameStrict", "<a></>", "1: Illegal occurence of \">\"", true},
    {"DuplicateAttributeStrict", "<a x=\"1\"\n x=\"2\"/>",
     "2: Attribute \"x\" appears more than once in the start-tag.", true},
    {"UnsupportedEncoding", "<?xml version=\"1.0\" encoding=\"KOI8-R\"?><a/>",
     "1: Encoding 'KOI8-R' is not supported in this version of XMLParser."},
    // DTD parser
    {"UnknownAttributeType", "<!DOCTYPE r [\n<!ATTLIST r a FOO #IMPLIED>]><r/>",
     "2: Unknown attribute type: \"FOO\"."},
    {"MissingAttributeDefault", "<!DOCTYPE r [<!ATTLIST r a CDATA\n>]><r/>",
     "2: Attribute defaults required or incorrect."},
    {"FixedWithoutValue", "<!DOCTYPE r [<!ATTLIST r a CDATA #FIXED>]><r/>",
     "1: Attribute defaults required or incorrect."},
    {"EntityValueNotLiteral", "<!DOCTYPE r [\n<!ENTITY e (x)>]><r/>", "2: Illegal occurence of \"(\"."},
    {"NotationWithoutId", "<!DOCTYPE r [<!NOTATION n \"x\">]><r/>", "1: Illegal occurence of \"x\"."},
    {"ConditionalSectionInternal", "<!DOCTYPE r [<![INCLUDE[<!ELEMENT r ANY>]]>]><r/>",
     "1: Illegal occurence of \"<![\""},
    // content models
    {"MixedSeparators", "<!DOCTYPE r [\n<!ELEMENT r (a,b|c)>]><r/>", "2: Illegal occurence of \"|\""},
    {"UnknownContentWord", "<!DOCTYPE r [<!ELEMENT r FOO>]><r/>", "1: Illegal occurence of \"FOO\""},
    {"UnclosedGroup", "<!DOCTYPE r [<!ELEMENT r (a>]><r/>", "1: Illegal occurence of \">\""},
    {"MixedDuplicate", "<!DOCTYPE r [<!ELEMENT r (#PCDATA|a|a)*>]><r/>",
     "0: XML-DOM []: Duplicate typesdeclaration is not allowed in mixed content."},
};

class ParseErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(ParseErrors, ReportsMessageAndLine) {
  const ErrorCase& c = GetParam();
  EXPECT_EQ(c.outcome, Outcome(c.input, [&](TLkXMLParser& p) { p.StandardXML = c.standard; })) << c.input;
}

INSTANTIATE_TEST_SUITE_P(All, ParseErrors, testing::ValuesIn(kErrors),
                         [](const testing::TestParamInfo<ErrorCase>& i) { return std::string(i.param.name); });

// Each strict rule is lenient without StandardXML.
TEST(ParseErrors, LenientWithoutStandardXML) {
  EXPECT_EQ("ok", Outcome("<?xml version=\"1.0\" extra=\"x\" standalone=\"maybe\"?><a/>"));
  EXPECT_EQ("ok", Outcome("<a><b>x</></>"));
  EXPECT_EQ("ok", Outcome("<a x=\"1\" x=\"2\"/>"));
}

// Every truncated prefix of a document ends in an error, never in a crash
// or a hang, and never in success before the root is complete.
TEST(ParseErrors, EveryTruncatedPrefixFails) {
  const std::string doc =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n<!ENTITY e \"<i>x</i>\">\n<!ATTLIST r a CDATA #IMPLIED>\n"
      "<!ELEMENT r (#PCDATA|i)*>\n]>\n<r a=\"v\"><!-- c --><?p d?><![CDATA[z]]>t&e;&amp;</r>";
  for (std::size_t n = 0; n < doc.size(); ++n) {
    auto p = Parse(doc.substr(0, n));
    EXPECT_TRUE(p->failed) << n << ": " << doc.substr(0, n);
  }
  EXPECT_FALSE(Parse(doc)->failed);
}

}  // namespace
