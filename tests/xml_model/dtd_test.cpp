// Declarations and validation: every finding and its text, on trees built
// through the model.
#include <gtest/gtest.h>

#include "tests/xml_model/fake_parser.h"
#include "tests/xml_model/test_util.h"
#include "xml/dtd.h"
#include "xml/entities.h"

namespace {

class ValidationTest : public ::testing::Test {
 protected:
  FakeParser parser;
  TLkXMLDocument doc;
  TLkDocumentType* dt = nullptr;
  TLkXMLElement* root = nullptr;

  void SetUp() override {
    doc.AssignParser(&parser);
    dt = new TLkDocumentType(u"root", &doc);
    doc.SetDocType(dt);
    root = new TLkXMLElement(u"root", &doc);
    doc.setDocumentElement(root);
    Declare(u"root", ctAny);
  }
  TLkContentModel* Declare(const WideString& name, WideChar type, std::initializer_list<const char16_t*> particles = {}) {
    auto* decl = new TLkElementDecl(name, &doc);
    auto* model = new TLkContentModel(type, &doc);
    for (const char16_t* p : particles) model->AddParticle(p, occOnce);
    decl->SetContentModel(model);
    dt->AddElementDecl(decl);
    return model;
  }
  TLkAttDef* Attr(const WideString& element, const WideString& name, WideChar type, WideChar defaultKind = dkImplied,
                  const WideString& defaultValue = u"", std::initializer_list<const char16_t*> values = {}) {
    TLkAttListDecl* list = dt->GetAttListDecl(element);
    if (!list) {
      list = new TLkAttListDecl(element, &doc);
      dt->AddAttListDecl(list);
    }
    auto* def = new TLkAttDef(name, &doc, defaultKind, defaultValue, type);
    if (values.size() || type == atNOTATION || type == atEnumerated) {
      auto* e = new TLkEnumeration(&doc);
      for (const char16_t* v : values) e->Add(v);
      def->SetEnumeration(e);
    }
    EXPECT_TRUE(list->AddDefinition(def));
    return def;
  }
  TLkXMLElement* Child(TLkXMLElement* parent, const WideString& name) {
    auto* e = new TLkXMLElement(name, &doc);
    parent->AppendNode(e);
    return e;
  }
  std::vector<std::string> Validate() {
    parser.errors.Clear();
    dt->Validate();
    doc.CollectIDs();
    root->Validate();
    doc.ClearIDs();
    return parser.Messages();
  }
};

using Messages = std::vector<std::string>;

TEST_F(ValidationTest, ContentByDeclaredType) {
  Declare(u"empty", ctEmpty);
  Declare(u"mixed", ctMixed, {u"b", u"i"});
  Declare(u"seq", ctChildren, {u"b", u"i"});
  Declare(u"b", ctAny);
  Declare(u"i", ctAny);
  struct Case {
    const char* what;
    std::function<void(TLkXMLElement*)> fill;
    const char16_t* element;
    Messages want;
  } cases[] = {
      {"EMPTY with a comment", [&](TLkXMLElement* e) { e->AppendComment(new TLkXMLComment(u"c", &doc)); }, u"empty", {}},
      {"EMPTY with a PI", [&](TLkXMLElement* e) { e->AppendPi(new TLkXMLPi(u"p", &doc, u"d")); }, u"empty",
       {"[Element \"empty\"]: Element declared as EMPTY can not have a content."}},
      {"EMPTY with text", [&](TLkXMLElement* e) { e->AppendNode(new TLkXMLText(u"t", &doc)); }, u"empty",
       {"[Element \"empty\"]: Element declared as EMPTY can not have a content."}},
      {"EMPTY with CDATA", [&](TLkXMLElement* e) { e->AppendNode(new TLkXMLCData(u"t", &doc)); }, u"empty",
       {"[Element \"empty\"]: Element declared as EMPTY can not have a content."}},
      {"EMPTY with an element", [&](TLkXMLElement* e) { Child(e, u"b"); }, u"empty",
       {"[Element \"empty\"]: Element declared as EMPTY can not have a content."}},
      {"Mixed, children in other case", [&](TLkXMLElement* e) {
         e->AppendNode(new TLkXMLText(u"t", &doc));
         Child(e, u"I");
         Child(e, u"b");
       }, u"mixed", {}},  // declarations are found ignoring case too
      {"Mixed with a PI and a stranger", [&](TLkXMLElement* e) {
         e->AppendPi(new TLkXMLPi(u"p", &doc, u""));
         Child(e, u"u");
       }, u"mixed",
       {"[Element \"mixed\"]: Element declared as MIXED has improper content.",
        "[Element \"u\"]: Element is not declared as a child of \"mixed\".", "[Element \"u\"]: Element is not declared."}},
      {"children matching", [&](TLkXMLElement* e) { Child(e, u"b"); Child(e, u"i"); }, u"seq", {}},
      {"children not matching", [&](TLkXMLElement* e) { Child(e, u"i"); Child(e, u"b"); }, u"seq",
       {"[Element \"seq\"]: Content of the element does not match its declaration."}},
      {"children with text", [&](TLkXMLElement* e) {
         e->AppendNode(new TLkXMLText(u"t", &doc));
         Child(e, u"b");
         Child(e, u"i");
       }, u"seq", {"[Element \"seq\"]: Element declared as CHILDREN has improper content."}},
      {"undeclared", [&](TLkXMLElement*) {}, u"nowhere", {"[Element \"nowhere\"]: Element is not declared."}},
  };
  for (auto& c : cases) {
    root->ChildNodes().Clear();
    c.fill(Child(root, c.element));
    EXPECT_EQ(Validate(), c.want) << c.what;
  }
}

TEST_F(ValidationTest, AttributesByDeclaredType) {
  Declare(u"e", ctAny);
  Attr(u"e", u"req", atCDATA, dkRequired);
  Attr(u"e", u"fixed", atCDATA, dkFixed, u"Yes");
  Attr(u"e", u"id", atID);
  Attr(u"e", u"ref", atIDREF);
  Attr(u"e", u"refs", atIDREFS);
  Attr(u"e", u"ent", atENTITY);
  Attr(u"e", u"ents", atENTITIES);
  Attr(u"e", u"tok", atNMTOKEN);
  Attr(u"e", u"toks", atNMTOKENS);
  Attr(u"e", u"choice", atEnumerated, dkImplied, u"", {u"red", u"green"});
  Attr(u"e", u"note", atNOTATION, dkImplied, u"", {u"gif", u"png"});
  auto* notation = new TLkNotation(u"gif", &doc);
  dt->AddNotation(notation);
  auto* pic = new TLkGEntityDecl(u"pic", &doc);
  pic->SetUnparsed(true);
  pic->NotationName = u"gif";
  dt->AddEntityDecl(pic);
  auto* text = new TLkGEntityDecl(u"text", &doc);
  dt->AddEntityDecl(text);
  Child(root, u"e")->SetAttributeValue(u"id", u"known");

  const std::string E = "[Element: \"e\" Attribute: ";
  struct Case {
    const char16_t* attribute;
    const char16_t* value;
    Messages want;
  } cases[] = {
      {u"fixed", u"Yes", {}},
      {u"fixed", u"yes", {E + "\"fixed\" Value: \"yes\"]: Attribute's value doesn't match the default value \"Yes\"."}},
      {u"id", u"1x", {E + "\"id\" Value: \"1x\"]: Attribute's value doesn't match NAME production ."}},
      {u"ref", u"known", {}},
      {u"ref", u"unknown", {E + "\"ref\" Value: \"unknown\"]: The value of an IDREF Attribute matches the value of a nonexisting ID attribute."}},
      {u"ref", u"-x", {E + "\"ref\" Value: \"-x\"]: Attribute's value doesn't match NAME production .",
                       E + "\"ref\" Value: \"-x\"]: The value of an IDREF Attribute matches the value of a nonexisting ID attribute."}},
      {u"refs", u"known a b", {E + "\"refs\" Value: \"known a b\"]: The value of an IDREF Attribute matches the value of a nonexisting ID attribute.",
                               E + "\"refs\" Value: \"known a b\"]: The value of an IDREF Attribute matches the value of a nonexisting ID attribute."}},
      {u"refs", u"known 1", {E + "\"refs\" Value: \"known 1\"]: Attribute value doesn't match NAMES production .",
                             E + "\"refs\" Value: \"known 1\"]: The value of an IDREF Attribute matches the value of a nonexisting ID attribute."}},
      {u"ent", u"pic", {}},
      {u"ent", u"text", {E + "\"ent\" Value: \"text\"]: The value of an ENTITY Attribute matches a nonexisting unparsed entity."}},
      {u"ent", u"1", {E + "\"ent\" Value: \"1\"]: Attribute's value doesn't match NAME production .",
                      E + "\"ent\" Value: \"1\"]: The value of an ENTITY Attribute matches a nonexisting unparsed entity."}},
      {u"ents", u"pic  pic", {}},
      {u"ents", u"pic x.y", {E + "\"ents\" Value: \"pic x.y\"]: The value of an ENTITY Attribute matches a nonexisting unparsed entity."}},
      {u"ents", u"pic -", {E + "\"ents\" Value: \"pic -\"]: Attribute's value doesn't match NAMES production .",
                           E + "\"ents\" Value: \"pic -\"]: The value of an ENTITY Attribute matches a nonexisting unparsed entity."}},
      {u"tok", u"-1", {}},
      {u"tok", u"a b", {E + "\"tok\" Value: \"a b\"]: Attribute's value doesn't match NMTOKEN production ."}},
      {u"toks", u"-1 .2", {}},
      {u"toks", u"a\u00B7", {E + "\"toks\" Value: \"a\xB7\"]: Attribute's value doesn't match TOKENS production ."}},
      {u"choice", u"green", {}},
      {u"choice", u"Green", {E + "\"choice\" Value: \"Green\"]: Improper value of an enumerated attribute."}},
      {u"note", u"gif", {"[DTD]: Notation name \"png\" is not declared."}},
      {u"other", u"x", {E + "\"other\"]: Attribute is not declared."}},
  };
  for (const auto& c : cases) {
    root->ChildNodes().Clear();
    auto* e = Child(root, u"e");
    e->SetAttributeValue(u"req", u"r");
    e->SetAttributeValue(c.attribute, c.value);
    auto* holder = Child(root, u"e");  // holds the ID "known"
    holder->SetAttributeValue(u"req", u"r");
    holder->SetAttributeValue(u"id", u"known");
    EXPECT_EQ(Validate(), c.want) << U8(c.attribute) << "=" << U8(c.value);
  }
}

TEST_F(ValidationTest, RequiredAndIdRules) {
  Declare(u"e", ctAny);
  Attr(u"e", u"req", atCDATA, dkRequired);
  Attr(u"e", u"id", atID, dkRequired);
  Attr(u"e", u"id2", atID, dkFixed, u"z");
  for (int i = 0; i < 3; ++i) Child(root, u"e")->SetAttributeValue(u"id", u"same");
  root->GetFirstChildElement()->SetAttributeValue(u"id2", u"z");
  const std::string E = "[Element: \"e\" Attribute: ";
  Messages dup(6, E + "\"id\" Value: \"same\"]: Attribute's value of type ID appears more than once.");
  Messages want;
  // The first element: REQUIRED missing, its two duplicates, two ID attributes, the fixed ID.
  want.push_back("[Element: \"e\" Attribute: \"req\"]: Element does not contain #REQUIRED attribute.");
  want.push_back(dup[0]);
  want.push_back(dup[0]);
  want.push_back("[Element: \"e\"]: Element has more than one attribute of type ID.");
  want.push_back("[Element: \"e\"]: Element has more than one attribute of type ID.");
  want.push_back(E + "\"id2\"]: An ID attribute must have a declared default of #IMPLIED or #REQUIRED.");
  for (int i = 0; i < 2; ++i) {
    want.push_back("[Element: \"e\" Attribute: \"req\"]: Element does not contain #REQUIRED attribute.");
    want.push_back(dup[0]);
    want.push_back(dup[0]);
  }
  EXPECT_EQ(Validate(), want);
}

TEST_F(ValidationTest, DocumentTypeChecks) {
  auto once = Validate();
  EXPECT_EQ(once, Messages{});
  Declare(u"x", ctAny);
  Declare(u"x", ctAny);
  Declare(u"x", ctEmpty);
  auto* ext = new TLkGEntityDecl(u"ext", &doc);
  ext->SetInternal(false);
  dt->AddEntityDecl(ext);
  auto* pic = new TLkGEntityDecl(u"pic", &doc);
  pic->SetUnparsed(true);
  pic->NotationName = u"jpeg";
  dt->AddEntityDecl(pic);
  doc.SetStandalone(true);
  Messages want(6, "[DTD]: Element \"x\" is declared more than once.");  // 3 * 2
  want.push_back("[XML]: Wrong document standalone declaration.");
  want.push_back("[Unparsed entity declaration: \"pic\"]: Notation name \"jpeg\" is not declared.");
  EXPECT_EQ(Validate(), want);
  EXPECT_EQ(parser.errors.Items(6).Node, doc.GetAttributeNode(u"standalone"));

  TLkDocumentType other(u"other", &doc);
  parser.errors.Clear();
  other.Validate();
  EXPECT_EQ(parser.Messages(),
            Messages{"[DTD]: Root name \"other\" in declaration does not match root name \"root\" in document."});
  TLkXMLDocument empty;
  empty.AssignParser(&parser);
  TLkDocumentType lone(u"r", &empty);
  parser.errors.Clear();
  lone.Validate();
  EXPECT_EQ(parser.Messages(), Messages{"[XML]: Root element not found."});
}

TEST_F(ValidationTest, DeclarationsMergeAndFirstBinds) {
  auto* a = new TLkAttListDecl(u"e", &doc);
  a->AddDefinition(new TLkAttDef(u"x", &doc, dkRequired, u"", atID));
  EXPECT_TRUE(dt->AddAttListDecl(a));
  TLkAttListDecl b(u"E", &doc);
  b.AddDefinition(new TLkAttDef(u"X", &doc, dkImplied, u"", atCDATA));
  auto* y = new TLkAttDef(u"y", &doc, dkValue, u"v", atNMTOKEN);
  EXPECT_TRUE(b.AddDefinition(y));
  TLkAttDef again(u"Y", &doc);
  EXPECT_FALSE(b.AddDefinition(&again));  // the first definition of a name binds
  EXPECT_FALSE(dt->AddAttListDecl(&b));  // merged; b stays ours
  EXPECT_EQ(a->FindDefinition(u"x")->Type, atID);
  EXPECT_EQ(a->FindDefinition(u"y")->DefaultValue(), u"v");
  EXPECT_EQ(a->FindDefinition(u"y")->Declaration, a);
  auto* e1 = new TLkGEntityDecl(u"ent", &doc);
  e1->SetValue(u"first");
  EXPECT_TRUE(dt->AddEntityDecl(e1));
  TLkGEntityDecl e2(u"ent", &doc);
  EXPECT_FALSE(dt->AddEntityDecl(&e2));
  EXPECT_EQ(dt->GetEntityDecl(u"ENT")->GetValue(), u"first");
  TLkAttDef withEnum(u"w", &doc, dkImplied, u"", atEnumerated);
  withEnum.SetEnumeration(new TLkEnumeration(&doc));
  std::unique_ptr<TLkXMLNode> clone(withEnum.Clone());
  EXPECT_EQ(static_cast<TLkAttDef*>(clone.get())->Enumeration(), nullptr);
}

std::string Written(TLkXMLNode& n, int indent) {
  TMemoryStream m;
  n.WriteTo(m, indent);
  return U8(WideString(reinterpret_cast<const char16_t*>(m.Memory()), static_cast<std::size_t>(m.Size() / 2)));
}

TEST_F(ValidationTest, DeclarationOutput) {
  TLkElementDecl empty(u"br", &doc);
  empty.SetContentModel(new TLkContentModel(ctEmpty, &doc));
  EXPECT_EQ(Written(empty, 3), "   <!ELEMENT br  EMPTY>\r\n");
  TLkElementDecl mixed(u"p", &doc);
  auto* m = new TLkContentModel(ctMixed, &doc);
  m->AddParticle(u"b", occOnce);
  m->AddParticle(u"i", occOnce);
  mixed.SetContentModel(m);
  EXPECT_EQ(Written(mixed, 0), "<!ELEMENT p (#PCDATA|b|i)*>\r\n");
  TLkElementDecl pcdata(u"t", &doc);
  pcdata.SetContentModel(new TLkContentModel(ctMixed, &doc));
  EXPECT_EQ(Written(pcdata, 0), "<!ELEMENT t (#PCDATA)>\r\n");
  TLkElementDecl kids(u"list", &doc);
  auto* g = new TLkContentModel(ctChildren, &doc);
  g->AddParticle(u"head", occOnce);
  auto* choice = new TLkContentModel(ctChildren, &doc);
  choice->SetSeparator(u'|');
  choice->AddParticle(u"a", occOptional);
  choice->AddParticle(u"b", occOneOrMore);
  choice->SetOccurrence(occZeroOrMore);
  g->AppendGroup(choice);
  kids.SetContentModel(g);
  EXPECT_EQ(Written(kids, 0), "<!ELEMENT list (head,(a?|b+)*)>\r\n");

  TLkAttListDecl list(u"e", &doc);
  list.AddDefinition(new TLkAttDef(u"id", &doc, dkRequired, u"", atID));
  list.AddDefinition(new TLkAttDef(u"v", &doc, dkFixed, u"a\"&b", atCDATA));
  auto* en = new TLkAttDef(u"c", &doc, dkValue, u"red", atEnumerated);
  en->SetEnumeration(new TLkEnumeration(&doc));
  en->Enumeration()->Add(u"red");
  en->Enumeration()->Add(u"blue");
  list.AddDefinition(en);
  auto* nt = new TLkAttDef(u"n", &doc, dkImplied, u"", atNOTATION);
  nt->SetEnumeration(new TLkEnumeration(&doc));
  list.AddDefinition(nt);
  EXPECT_EQ(Written(list, 0),
            "<!ATTLIST e\r\n          id ID #REQUIRED\r\n          v CDATA #FIXED \"a&quot;&amp;b\""
            "\r\n          c (red|blue) \"red\"\r\n          n NOTATION ( #IMPLIED>\r\n");
}

}  // namespace
