// Parse, save, parse: the second tree equals the first.
#include <gtest/gtest.h>

#include "base/streams.h"
#include "tests/xml_parser/parser_test_util.h"
#include "xml/xmlparserdump.h"

namespace {

const char* const kDocuments[] = {
    "<?xml version=\"1.0\"?><r a=\"1\" b=\"x &amp; y &lt; z\"><c/>text<d>more</d></r>",
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- head -->\n<?app go?>\n<r>\xC3\xA9\xE2\x82\xAC<![CDATA[<raw> & ]]>"
    "<!-- in --><?pi data?></r>\n<!-- tail -->",
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r t=\"\xE9\">caf\xE9</r>",
    "<!DOCTYPE r [\n<!ELEMENT r (a|b)*>\n<!ELEMENT a EMPTY>\n<!ELEMENT b (#PCDATA)>\n"
    "<!ATTLIST a id ID #REQUIRED kind (x|y) 'x' note CDATA #IMPLIED>\n<!ENTITY co 'Lockmere &amp; Co'>\n"
    "<!NOTATION gif SYSTEM 'image/gif'>\n]><r><a id=\"i1\"/><b>by &co;</b></r>",
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>&lt;tag&gt; &amp;amp; &#65;&#x263A;</r>",
    "<r>\n  <deep><deeper><deepest attr=\"v\">x</deepest></deeper></deep>\n</r>",
};

TEST(RoundTrip, SavedDocumentsParseToEqualTrees) {
  for (const char* text : kDocuments) {
    auto first = Parse(text);
    ASSERT_FALSE(first->failed) << first->error << "\n" << text;
    std::string saved = Saved(*first->document);
    auto second = Parse(saved);
    ASSERT_FALSE(second->failed) << second->error << "\n" << saved;
    EXPECT_EQ(first->dump, second->dump) << saved;
    // And once more: saving is stable.
    EXPECT_EQ(saved, Saved(*second->document));
  }
}

TEST(RoundTrip, Utf16DocumentReadsBack) {
  auto first = Parse("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>\xCE\xA9</r>");
  // Declared UTF-16 without a byte-order mark is read as ASCII up to the
  // declaration; the saved bytes are big-endian UTF-16 without a mark.
  ASSERT_FALSE(first->failed) << first->error;
  std::string saved = "\xFE\xFF" + Saved(*first->document);
  auto second = Parse(saved);
  ASSERT_FALSE(second->failed) << second->error;
  EXPECT_EQ(first->dump, second->dump);
}

}  // namespace
