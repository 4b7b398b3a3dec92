// Nodes, node lists, containers, elements, character data and attributes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/xml_model/fake_parser.h"
#include "tests/xml_model/test_util.h"
#include "xml/dom.h"
#include "xml/xmlerrors.h"
#include "tests/support/testthread.h"

namespace {

template <class F>
ELkDOMException DomError(F f) {
  try {
    f();
  } catch (const ELkDOMException& e) {
    return e;
  }
  ADD_FAILURE() << "no ELkDOMException";
  return ELkDOMException(0, "");
}

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

TEST(DomExceptionTest, CodeNamesAndFullText) {
  const char* names[] = {"",
                         "INDEX_SIZE_ERR",
                         "DOMSTRING_SIZE_ERR",
                         "HIERARCHY_REQUEST_ERR",
                         "WRONG_DOCUMENT_ERR",
                         "INVALID_CHARACTER_ERR",
                         "NO_DATA_ALLOWED_ERR",
                         "NO_MODIFICATION_ALLOWED_ERR",
                         "NOT_FOUND_ERR",
                         "NOT_SUPPORTED_ERR",
                         "INUSE_ATTRIBUTE_ERR",
                         "",
                         "INVALID_POINTER_ERR",
                         "",
                         "",
                         "",
                         ""};
  for (int code = 0; code <= 16; ++code) {
    ELkDOMException e(static_cast<uint8_t>(code), "text");
    EXPECT_STREQ(DOMExceptionCodeName(static_cast<uint8_t>(code)), names[code]) << code;
    EXPECT_EQ(e.FullText(), std::string("XML-DOM [") + names[code] + "]: text");
    EXPECT_EQ(e.Message(), "text");
  }
  EXPECT_STREQ(DOMExceptionCodeName(255), "");
}

// Every error the model raises, with its code and text.
TEST(DomExceptionTest, EveryModelErrorWithItsCodeAndText) {
  FakeDoc f;
  TLkXMLDocument& d = f.doc;
  auto* root = new TLkXMLElement(u"root", &d);
  d.setDocumentElement(root);
  root->SetAttributeValue(u"a", u"1");
  auto* inList = new TLkXMLElement(u"child", &d);
  root->AppendNode(inList);
  TLkXMLText text(u"abc", &d);
  TLkXMLDocument other;

  struct Case {
    const char* what;
    std::function<void()> op;
    uint8_t code;
    std::string message;
  } cases[] = {
      {"bad element name", [&] { TLkXMLElement e(u"1x", &d); }, 5,
       "TLkXMLDocument.TLkXMLNode.Create(\"1x\"): invalid character(s) for name"},
      {"bad attribute name", [&] { TLkXMLAttr a(u"a b", u"", &d); }, 5,
       "TLkXMLDocument.TLkXMLNode.Create(\"a b\"): invalid character(s) for name"},
      {"bad PI target", [&] { TLkXMLPi p(u"xml", &d, u""); }, 5,
       "TLkXMLDocument.createProcessingInstruction: invalid character for name"},
      {"second root", [&] { TLkXMLElement two(u"two", &d); d.setDocumentElement(&two); }, 5,
       "TLkXMLDocument.setDocumentElement: DocumentElement alredy exists"},
      {"append in use", [&] { root->AppendNode(inList); }, 10,
       "TNamedNodeMap.setNamedItem: attribute \"child\" already in use (use clone)"},
      {"insertBefore in use", [&] { root->ChildNodes().insertBefore(inList, nullptr); }, 10,
       "TLkNodeList.insertBefore: attribute already in use (use clone)"},
      {"insertAfter in use", [&] { root->ChildNodes().insertAfter(inList, nullptr); }, 10,
       "TLkNodeList.insertAfter: attribute already in use (use clone)"},
      {"remove nil", [&] { root->ChildNodes().RemoveChild(nullptr); }, 12,
       "TLkNodeList.RemoveChildNode: you are trying to remove not existing child"},
      {"remove named missing", [&] { root->ChildNodes().RemoveNamed(u"nope", 0); }, 12,
       "TLkNodeList.RemoveChildNode: you are trying to remove not existing child"},
      {"remove out of list", [&] { root->ChildNodes().RemoveChild(&text); }, 12,
       "TLkNodeList.RemoveChildNode: you are trying to remove child out of list."},
      {"duplicate attribute", [&] { TLkXMLAttr a(u"A", u"", &d); root->setAttributeNode(&a); }, 15,
       "TLkContainer.setAttributeNode: element already contains the attribute \"A\""},
      {"attribute in use", [&] { root->setAttributeNode(root->GetAttributeNode(u"a")); }, 15,
       "TLkContainer.setAttributeNode: element already contains the attribute \"a\""},
      {"attribute of another list", [&] {
         auto* e = new TLkXMLElement(u"e", &d);
         root->AppendNode(e);
         e->setAttributeNode(root->GetAttributeNode(u"a"));
       }, 10, "TLkContainer.setAttributeNode: attribute already in use"},
      {"wrong document", [&] { TLkXMLAttr a(u"b", u"", &other); root->setAttributeNode(&a); }, 4,
       "TLkContainer.setAttributeNode: wrong document in attribute node"},
      {"substring offset", [&] { text.substringData(3, 1); }, 1, "TLkCharacterData.substring: invalid offset/count values"},
      {"substring count", [&] { text.substringData(0, -1); }, 1, "TLkCharacterData.substring: invalid offset/count values"},
      {"insert at the end", [&] { text.insertData(3, u"x"); }, 1, "TLkCharacterData.insertData: invalid offset value"},
      {"insert negative", [&] { text.insertData(-1, u"x"); }, 1, "TLkCharacterData.insertData: invalid offset value"},
      {"delete offset", [&] { text.deleteData(5, 1); }, 1, "TLkCharacterData.deleteData: invalid offset/count values"},
      {"replace offset", [&] { text.replaceData(3, 1, u"x"); }, 1, "TLkCharacterData.deleteData: invalid offset/count values"},
      {"duplicate mixed particle", [&] {
         TLkContentModel m(ctMixed, &d);
         m.AddParticle(u"a", occOnce);
         m.AddParticle(u"A", occOnce);
       }, 14, "Duplicate typesdeclaration is not allowed in mixed content."},
  };
  for (auto& c : cases) {
    ELkDOMException e = DomError(c.op);
    EXPECT_EQ(e.Code, c.code) << c.what;
    EXPECT_EQ(e.Message(), c.message) << c.what;
  }
  EXPECT_EQ(DomError(cases[10].op).FullText(),
            "XML-DOM []: TLkContainer.setAttributeNode: element already contains the attribute \"A\"");
  // A failed insertion leaves the list as it was.
  EXPECT_EQ(root->ChildNodes().GetCount(), 1);
}

TEST(NodeListTest, ItemsCountsAndLookupByKind) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  e.SetAttributeValue(u"version", u"1");
  e.SetAttributeValue(u"b", u"2");
  for (const char16_t* n : {u"c1", u"c2", u"c3"}) e.AppendNode(new TLkXMLElement(n, &f.doc));
  e.AppendNode(new TLkXMLText(u"t", &f.doc));
  TLkNodeList& l = e.ChildNodes();
  EXPECT_EQ(l.GetCount(), 2);  // the kind of the first node: attributes
  EXPECT_EQ(l.GetItem(2, ntElement)->GetNodeName(), u"c2");
  EXPECT_EQ(l.GetItem(0, ntElement)->GetNodeName(), u"c1");
  EXPECT_EQ(l.GetItem(4, ntElement), nullptr);
  EXPECT_EQ(l.GetItem(2, 0)->GetNodeName(), u"b");  // kind 0 follows the first node's kind
  EXPECT_EQ(l.GetItem(3, 0), nullptr);
  EXPECT_EQ(l.FindNamed(u"VERSION", ntAttribute)->GetValue(), u"1");
  EXPECT_EQ(l.FindNamed(u"C3", ntElement)->GetNodeName(), u"c3");
  EXPECT_EQ(l.FindNamed(u"c3", ntAttribute), nullptr);
  EXPECT_EQ(l.FirstOfKind(ntText)->GetValue(), u"t");
  EXPECT_EQ(l.FirstOfKind(ntComment), nullptr);
  EXPECT_EQ(e.GetAttributeValue(u"B"), u"2");
  EXPECT_EQ(e.GetAttributeValue(u"zz"), u"");
  EXPECT_TRUE(e.HasChildElements());
  EXPECT_TRUE(e.HasText());
  EXPECT_FALSE(e.HasCData());
  EXPECT_EQ(e.GetFirstChildElement()->NextSiblingElement()->GetNodeName(), u"c2");
}

TEST(NodeListTest, InsertRemoveAndReinsert) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  auto* b = new TLkXMLElement(u"b", &f.doc);
  e.AppendNode(b);
  auto* a = new TLkXMLElement(u"a", &f.doc);
  e.ChildNodes().insertBefore(a, b);
  auto* c = new TLkXMLElement(u"c", &f.doc);
  e.ChildNodes().insertAfter(c, b);
  auto* z = new TLkXMLElement(u"z", &f.doc);
  e.ChildNodes().insertBefore(z, nullptr);  // nil reference appends
  auto names = [&] {
    std::string s;
    for (TLkXMLNode* n = e.FirstChild(); n; n = n->NextSibling()) s += U8(n->GetNodeName());
    return s;
  };
  EXPECT_EQ(names(), "abcz");
  EXPECT_EQ(e.ChildNodes().Last(), z);
  EXPECT_EQ(a->GetParent(), &e);
  TLkXMLNode* removed = e.RemoveChild(b);
  EXPECT_EQ(removed->GetParent(), nullptr);
  EXPECT_EQ(removed->NextSibling(), nullptr);
  EXPECT_EQ(names(), "acz");
  e.ChildNodes().insertAfter(removed, z);  // the caller owned it; now the list again
  EXPECT_EQ(names(), "aczb");
  EXPECT_EQ(e.ChildNodes().Last(), b);
  // A clone of a node in use can be appended.
  e.AppendNode(a->Clone());
  EXPECT_EQ(names(), "aczba");
  EXPECT_EQ(e.ChildNodes().GetItem(5, ntElement)->GetParent(), &e);
}

// The count and the position GetItem remembers follow every change.
TEST(NodeListTest, CountAndItemsFollowChanges) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  TLkNodeList& l = e.ChildNodes();
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.GetItem(1, ntElement), nullptr);
  for (const char16_t* n : {u"a", u"b", u"c"}) e.AppendNode(new TLkXMLElement(n, &f.doc));
  EXPECT_EQ(l.GetCount(), 3);
  EXPECT_EQ(l.GetItem(3, ntElement)->GetNodeName(), u"c");
  delete e.RemoveChild(l.GetItem(2, ntElement));
  EXPECT_EQ(l.GetCount(), 2);
  EXPECT_EQ(l.GetItem(2, ntElement)->GetNodeName(), u"c");
  l.insertBefore(new TLkXMLElement(u"z", &f.doc), l.First());
  EXPECT_EQ(l.GetItem(2, ntElement)->GetNodeName(), u"a");
  EXPECT_EQ(l.GetCount(), 3);
  l.First()->SetKind(ntText);
  EXPECT_EQ(l.GetCount(), 1);  // the first node's kind: now text
  EXPECT_EQ(l.GetItem(1, ntElement)->GetNodeName(), u"a");
  l.Clear();
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.GetItem(1, 0), nullptr);
}

// Nodes come from a pool shared by the threads: trees built in several
// threads at once stay whole, and nodes one thread made another destroys
// and makes again.
TEST(NodeListTest, TreesOfSeveralThreads) {
  FakeDoc f;
  constexpr int kThreads = 4, kNodes = 20'000;
  std::vector<std::unique_ptr<TLkXMLElement>> roots(kThreads);
  auto build = [&](int t) {
    roots[static_cast<std::size_t>(t)] = std::make_unique<TLkXMLElement>(u"r", &f.doc);
    TLkXMLElement& r = *roots[static_cast<std::size_t>(t)];
    for (int i = 0; i < kNodes; ++i) {
      if (i % 2)
        r.AppendNode(new TLkXMLText(u"a text longer than a short string", &f.doc));
      else
        r.AppendNode(new TLkXMLElement(u"e", &f.doc));
    }
  };
  for (int round = 0; round < 2; ++round) {
    std::vector<TTestThread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back([&build, t] { build(t); });
    for (auto& th : threads) th.join();
    for (const auto& r : roots) {
      int texts = 0, elements = 0;
      for (TLkXMLNode* n = r->FirstChild(); n; n = n->NextSibling()) {
        texts += n->GetKind() == ntText && n->GetValue() == u"a text longer than a short string";
        elements += n->GetKind() == ntElement && n->GetNodeName() == u"e";
      }
      EXPECT_EQ(texts, kNodes / 2);
      EXPECT_EQ(elements, kNodes / 2);
    }
    for (auto& r : roots) r.reset();  // destroyed here, made again by the threads
  }
}

TEST(NodeListTest, IndexedWalkOverManyNodesIsLinear) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  const int n = 200'000;
  for (int i = 0; i < n; ++i) e.AppendNode(new TLkXMLText(u"x", &f.doc));
  int seen = 0;
  for (int i = 1; i <= e.ChildNodes().GetCount(); ++i) seen += e.ChildNodes().GetItem(i, ntText) != nullptr;
  EXPECT_EQ(seen, n);
}

TEST(NodeListTest, NameLookupOnLongListsFindsTheFirstOfTheName) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  // Many attributes on one element: each set looks its name up first.
  const int n = 100'000;
  for (int i = 0; i < n; ++i) e.SetAttributeValue(u"a" + Latin1ToWide(std::to_string(i)), u"v");
  EXPECT_EQ(e.ChildNodes().GetCount(), n);
  EXPECT_EQ(e.GetAttributeValue(u"A99999"), u"v");
  TLkNodeList& l = e.ChildNodes();
  TLkXMLNode* old = l.FindNamed(u"a5", ntAttribute);
  auto* front = new TLkXMLAttr(u"A5", u"front", &f.doc);
  l.insertBefore(front, l.First());
  EXPECT_EQ(l.FindNamed(u"a5", ntAttribute), front);
  auto* later = new TLkXMLAttr(u"a5", u"later", &f.doc);
  l.Append(later);
  EXPECT_EQ(l.FindNamed(u"a5", ntAttribute), front);
  delete l.RemoveChild(front);
  EXPECT_EQ(l.FindNamed(u"a5", ntAttribute), old);
  old->SetKind(ntText);
  EXPECT_EQ(l.FindNamed(u"a5", ntAttribute), later);
  EXPECT_EQ(l.FindNamed(u"A5", ntText), old);
  EXPECT_EQ(l.FindNamed(u"aé5", ntAttribute), nullptr);
}

// A processing instruction's data: whitespace becomes blanks (CR LF one),
// references are resolved; data with neither stays as it is.
TEST(PiTest, DataIsEscapedThenNormalised) {
  FakeDoc f;
  struct Case {
    WideString given, stored;
  } cases[] = {
      {u"two  blanks stay", u"two  blanks stay"}, {u"t\tab\r\nx\ny\rz", u"t ab x y z"}, {u"a<b", u"a<b"},
      {u"x&amp;y", u"x&y"},                      {WideString(u"ab\0c", 4), u"ab"},        {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(TLkXMLPi(u"p", &f.doc, c.given).GetValue(), c.stored) << U8(c.given);
}

TEST(ContainerTest, AttributeValuesAreEscapedThenNormalised) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  struct Case {
    WideString given, stored;
  } cases[] = {
      {u"a &amp; b", u"a & b"},   {u"a & b", u"a & b"},     {u"x\r\ny", u"x y"},
      {u"two  blanks", u"two  blanks"}, {u"t\tab", u"t ab"}, {u"<&lt;>", u"<<>"},
      {u"&#65;&#x42;", u"AB"},    {u"&quot;&apos;", u"\"'"}, {u"&undeclared;", u"&undeclared;"},
  };
  for (const auto& c : cases) {
    e.SetAttributeValue(u"v", c.given);
    EXPECT_EQ(e.GetAttributeValue(u"v"), c.stored) << U8(c.given);
  }
  EXPECT_EQ(e.ChildNodes().GetCount(), 1);  // set again, not added
  EXPECT_EQ(e.GetAttributeNode(u"v")->Specified, 0);
  // The parser's path takes the text as written.
  e.SetAttributeText(u"w", u"a &amp; b");
  EXPECT_EQ(e.GetAttributeValue(u"w"), u"a & b");
  EXPECT_EQ(ParseError([&] { e.SetAttributeText(u"w", u"a < b"); }).Message(),
            "Illegal character in the attribute value '<'.");
  ELkXMLParserError amp = ParseError([&] { e.SetAttributeText(u"w", u"a &b"); });
  EXPECT_EQ(amp.Message(), "Illegal character in the attribute value '&'.");
  EXPECT_EQ(amp.Line, 7);
  EXPECT_EQ(ParseError([&] { e.SetAttributeText(u"w", u"&;"); }).Message(), "Illegal (empty) reference name.");
}

TEST(CharacterDataTest, EditingOperations) {
  FakeDoc f;
  TLkXMLText t(u"hello", &f.doc);
  EXPECT_EQ(t.Length(), 5);
  EXPECT_EQ(t.substringData(1, 3), u"ell");
  EXPECT_EQ(t.substringData(3, 99), u"lo");
  t.appendData(u"!");
  t.insertData(0, u">");
  EXPECT_EQ(t.GetData(), u">hello!");
  t.deleteData(1, 2);
  EXPECT_EQ(t.GetData(), u">llo!");
  t.replaceData(4, 1, u"?");  // the last unit: the insertion lands at the new end
  EXPECT_EQ(t.GetData(), u">llo?");
  TLkXMLText empty(u"", &f.doc);
  EXPECT_THROW(empty.insertData(0, u"x"), ELkDOMException);
}

TEST(ElementTest, AppendTextKeepsNoWhitespaceOnlyText) {
  FakeDoc f;
  TLkXMLElement e(u"e", &f.doc);
  TLkXMLText blank(u" \r\n\t ", &f.doc);
  EXPECT_FALSE(e.AppendText(&blank));
  EXPECT_EQ(e.FirstChild(), nullptr);
  auto* kept = new TLkXMLText(u" x ", &f.doc);
  EXPECT_TRUE(e.AppendText(kept));
  EXPECT_EQ(kept->GetValue(), u" x ");
}

TEST(ElementTest, TextReferencesAndMarkupEntities) {
  FakeDoc f;
  auto* dt = new TLkDocumentType(u"e", &f.doc);
  f.doc.SetDocType(dt);
  auto* plain = new TLkGEntityDecl(u"plain", &f.doc);
  plain->SetValue(u"one two");
  dt->AddEntityDecl(plain);
  auto* markup = new TLkGEntityDecl(u"markup", &f.doc);
  markup->SetValue(u"<b>x</b>");
  dt->AddEntityDecl(markup);
  auto* unparsed = new TLkGEntityDecl(u"pic", &f.doc);
  unparsed->SetUnparsed(true);
  dt->AddEntityDecl(unparsed);
  f.parser.buildEntity = [](TLkXMLDocument& d) {
    auto* root = new TLkXMLElement(u"_root", &d);
    d.setDocumentElement(root);
    root->AppendNode(new TLkXMLElement(u"b", &d));
  };
  auto* e = new TLkXMLElement(u"e", &f.doc);
  f.doc.setDocumentElement(e);
  auto* t = new TLkXMLText(u"&amp;&lt;&plain;&#x263A;&nope;\t", &f.doc);
  e->AppendText(t);
  EXPECT_EQ(t->GetValue(), u"&<one two\u263A&nope;\t");
  auto* m = new TLkXMLText(u"[&markup;]", &f.doc);
  e->AppendText(m);
  EXPECT_EQ(m->GetValue(), u"[]");
  ASSERT_EQ(f.parser.entityTexts.size(), 1u);
  EXPECT_EQ(f.parser.entityTexts[0], "<b>x</b>");
  EXPECT_EQ(e->ChildNodes().GetItem(1, ntElement)->GetNodeName(), u"b");  // imported
  EXPECT_EQ(ParseError([&] { TLkXMLText x(u"&pic;", &f.doc); x.Normalize(); }).Message(),
            "Reference to an unparsed entity is not allowed in the character data.");
  EXPECT_EQ(ParseError([&] { TLkXMLText x(u"a&", &f.doc); x.Normalize(); }).Message(),
            "Illegal character in the text value '&&'.");
  EXPECT_EQ(ParseError([&] { TLkXMLText x(u"a&b", &f.doc); x.Normalize(); }).Message(),
            "Illegal character in the text value '&&'.");
}

TEST(ElementTest, CharacterReferencesAreCodePoints) {
  FakeDoc f;
  f.doc.SetEncoding("ISO-8859-5");  // the encoding plays no part
  struct Case {
    WideString ref, value;
  } ok[] = {{u"&#1025;", u"\u0401"}, {u"&#x41;", u"A"}, {u"&#X1F600;", u"\U0001F600"}, {u"&#9;", u"\t"},
            {u"&#xZZ;", u"&#xZZ;"},  {u"&#12a;", u"&#12a;"}, {u"&#x;", u"&#x;"}};
  for (const auto& c : ok) {
    TLkXMLText t(c.ref, &f.doc);
    t.Normalize();
    EXPECT_EQ(t.GetValue(), c.value) << U8(c.ref);
  }
  for (const char16_t* bad : {u"&#0;", u"&#8;", u"&#xFFFE;", u"&#xD800;", u"&#x110000;", u"&#99999999999999999999;",
                              u"&#xFFFFFFFFFFFFFFFF;"}) {
    TLkXMLText t(bad, &f.doc);
    ELkXMLParserError e = ParseError([&] { t.Normalize(); });
    EXPECT_EQ(e.Message(), "The character reference \"" + U8(WideString(bad)) + "\" does not name an XML character.");
    EXPECT_EQ(e.Line, 7);
  }
}

TEST(ElementTest, CloneImportAndAttributesByType) {
  FakeDoc f;
  auto* dt = new TLkDocumentType(u"r", &f.doc);
  f.doc.SetDocType(dt);
  auto* list = new TLkAttListDecl(u"item", &f.doc);
  list->AddDefinition(new TLkAttDef(u"id", &f.doc, dkRequired, u"", atID));
  dt->AddAttListDecl(list);
  auto* r = new TLkXMLElement(u"r", &f.doc);
  f.doc.setDocumentElement(r);
  for (int i = 0; i < 3; ++i) {
    auto* item = new TLkXMLElement(u"item", &f.doc);
    r->AppendNode(item);
    item->SetAttributeValue(u"id", u"  i" + WideString(1, static_cast<WideChar>(u'0' + i)) + u"  ");
    item->SetAttributeValue(u"note", u" n ");
    item->AppendNode(new TLkXMLComment(u"c", &f.doc));
  }
  // An ID attribute is trimmed by its declared type; CDATA is not.
  EXPECT_EQ(r->GetFirstChildElement()->GetAttributeValue(u"id"), u"i0");
  EXPECT_EQ(r->GetFirstChildElement()->GetAttributeValue(u"note"), u" n ");

  std::unique_ptr<TLkNodeList> ids(r->AttributesByType(atID));
  std::string values;
  for (TLkXMLNode* a = ids->First(); a; a = a->NextSibling()) values += U8(a->GetValue()) + ",";
  EXPECT_EQ(values, "i0,i1,i2,");
  // A node in a list of its own has the list's owner as parent, or none.
  EXPECT_EQ(ids->First()->GetParent(), r);

  std::unique_ptr<TLkXMLNode> copy(r->Clone());
  auto* c = static_cast<TLkXMLElement*>(copy.get());
  EXPECT_EQ(c->GetParent(), nullptr);
  EXPECT_EQ(c->ChildNodes().GetItem(3, ntElement)->GetNodeName(), u"item");
  EXPECT_EQ(static_cast<TLkXMLElement*>(c->ChildNodes().GetItem(2, ntElement))->GetAttributeValue(u"id"), u"i1");
  EXPECT_TRUE(static_cast<TLkXMLElement*>(c->ChildNodes().GetItem(2, ntElement))->HasComment());

  TLkXMLDocument other;
  TLkXMLElement target(u"t", &other);
  target.ImportChildren(*c);
  EXPECT_EQ(target.ChildNodes().GetCount(), 3);
  EXPECT_EQ(target.GetFirstChildElement()->GetOwnerDocument(), &other);

  TLkNodeList copies(&f.doc);
  r->CopyChildElements(copies);
  EXPECT_EQ(copies.GetCount(), 3);
  EXPECT_EQ(copies.First()->GetParent(), nullptr);
}

TEST(ElementTest, NestingBeyondTheLimitIsAClearError) {
  FakeDoc f;
  auto* root = new TLkXMLElement(u"d", &f.doc);
  f.doc.setDocumentElement(root);
  TLkXMLElement* at = root;
  for (int depth = 2; depth <= kMaxNestingDepth; ++depth) {
    auto* e = new TLkXMLElement(u"d", &f.doc);
    at->AppendNode(e);
    at = e;
  }
  TLkXMLElement extra(u"x", &f.doc);
  ELkDOMException e = DomError([&] { at->AppendNode(&extra); });
  EXPECT_EQ(e.Code, HIERARCHY_REQUEST_ERR);
  EXPECT_EQ(e.Message(), "TLkNodeList: elements may not nest deeper than 1000 levels");
  // A two-level subtree does not fit one level above the bottom either.
  auto sub = std::make_unique<TLkXMLElement>(u"s", &f.doc);
  sub->AppendNode(new TLkXMLElement(u"t", &f.doc));
  EXPECT_THROW(static_cast<TLkXMLElement*>(at->GetParent())->AppendNode(sub.get()), ELkDOMException);
  at->AppendNode(new TLkXMLText(u"leaf", &f.doc));  // text is no level
}

// Built and destroyed without recursion; run under ASan/UBSan too.
TEST(ElementTest, AMillionSiblingsAndAThousandLevels) {
  {
    FakeDoc f;
    auto* root = new TLkXMLElement(u"r", &f.doc);
    f.doc.setDocumentElement(root);
    for (int i = 0; i < 1'000'000; ++i) root->AppendNode(new TLkXMLElement(u"s", &f.doc));
    EXPECT_EQ(root->ChildNodes().GetCount(), 1'000'000);
    std::unique_ptr<TLkXMLNode> copy(root->Clone());
    TMemoryStream out;
    f.doc.SaveToStream(out);
    EXPECT_EQ(out.Size(), static_cast<int64_t>(25 + 5 + 1000000LL * 9 + 6));
  }
  {
    FakeDoc f;
    auto* root = new TLkXMLElement(u"d", &f.doc);
    f.doc.setDocumentElement(root);
    TLkXMLElement* at = root;
    for (int depth = 2; depth <= 1000; ++depth) {
      auto* e = new TLkXMLElement(u"d", &f.doc);
      e->SetAttributeValue(u"n", u"v");
      at->AppendNode(e);
      at = e;
    }
    std::unique_ptr<TLkXMLNode> copy(root->Clone());
    TMemoryStream out;
    f.doc.SaveToStream(out);
    EXPECT_GT(out.Size(), 1000 * 1000);  // indentation grows with depth
    root->Validate();  // no document type: nothing to do, and no recursion
  }
}

}  // namespace
