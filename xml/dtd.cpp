#include "xml/dtd.h"

#include "xml/document.h"
#include "xml/entities.h"
#include "xml/parserlink.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {
std::string A(const WideString& w) { return WideToLatin1(w); }
std::string Q(const WideString& w) { return "\"" + A(w) + "\""; }

TLkErrorsList& ErrorsOf(TLkXMLDocument* doc) { return doc->GetParser().GetErrors(); }

const char16_t* OccurrenceText(uint8_t o) {
  switch (o) {
    case occOptional: return u"?";
    case occOneOrMore: return u"+";
    case occZeroOrMore: return u"*";
    default: return u"";
  }
}

WideString EscapeValue(const WideString& v) { return EscapeChar(EscapeChar(v, u'&'), u'"'); }
}  // namespace

// --- element declaration ---------------------------------------------------------

TLkElementDecl::TLkElementDecl(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkXMLNode(name, ntElementDecl, ownerDocument) {
  CheckName(name);
}

TLkElementDecl::~TLkElementDecl() { TLkNodeList::DestroyChain(model_); }

void TLkElementDecl::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (model_) out.push_back(model_);
  model_ = nullptr;
}

void TLkElementDecl::SetContentModel(TLkContentModel* model) {
  if (model == model_) return;
  TLkNodeList::DestroyChain(model_);
  model_ = model;
}

void TLkElementDecl::Validate(TLkXMLElement& e) {
  if (!model_) return;
  TLkErrorsList& errors = ErrorsOf(OwnerDocument);
  const std::string en = Q(e.GetNodeName());
  const TLkNodeList& kids = e.ChildNodes();
  switch (model_->Type()) {
    case ctEmpty:
      if (kids.FirstOfKind(ntElement) || kids.FirstOfKind(ntCData) || kids.FirstOfKind(ntPI) || kids.FirstOfKind(ntText))
        errors.Add("[Element " + en + "]: Element declared as EMPTY can not have a content.", &e);
      break;
    case ctMixed:
      if (kids.FirstOfKind(ntPI)) errors.Add("[Element " + en + "]: Element declared as MIXED has improper content.", &e);
      for (TLkXMLNode* c = kids.FirstOfKind(ntElement); c; c = c->NextOfKind())
        if (!model_->HasParticleNamed(c->GetNodeName()))
          errors.Add("[Element " + Q(c->GetNodeName()) + "]: Element is not declared as a child of " + en + ".", c);
      break;
    case ctChildren: {
      if (kids.FirstOfKind(ntCData) || kids.FirstOfKind(ntPI) || kids.FirstOfKind(ntText))
        errors.Add("[Element " + en + "]: Element declared as CHILDREN has improper content.", &e);
      std::vector<TLkXMLElement*> children;
      for (TLkXMLNode* c = kids.FirstOfKind(ntElement); c; c = c->NextOfKind())
        children.push_back(static_cast<TLkXMLElement*>(c));
      if (!OwnerDocument->GetParser().AnalyzeContent(children, *model_))
        errors.Add("[Element " + en + "]: Content of the element does not match its declaration.", &e);
      break;
    }
    default:
      break;  // ANY
  }
}

void TLkElementDecl::WriteTo(TStream& stream, int32_t indent) {
  WriteWide(stream, Indent(indent) + u"<!ELEMENT " + Name + u" ");
  if (model_) model_->WriteTo(stream, 0);
  WriteWide(stream, u">\r\n");
}

// --- content model ------------------------------------------------------------------

TLkContentModel::TLkContentModel(WideChar type, TLkXMLDocument* ownerDocument)
    : TLkXMLNode(WideString(), ntContentModel, ownerDocument), type_(type),
      children_(new TLkNodeList(ownerDocument, this)) {}

TLkContentModel::TLkContentModel(const WideString& name, TLkXMLDocument* ownerDocument, WideChar type)
    : TLkXMLNode(name, occOnce, ownerDocument), type_(type), children_(new TLkNodeList(ownerDocument, this)) {}

TLkContentModel::~TLkContentModel() { delete children_; }

void TLkContentModel::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (TLkXMLNode* f = children_->Detach()) out.push_back(f);
}

bool TLkContentModel::HasParticleNamed(const WideString& name) const {
  for (TLkXMLNode* n = children_->First(); n; n = n->NextSibling())
    if (XMLStrCompareText(n->GetNodeName(), name) == 0) return true;
  return false;
}

TLkContentModel* TLkContentModel::AddParticle(const WideString& name, uint8_t occurrence) {
  if (type_ == ctMixed)
    for (TLkXMLNode* n = children_->First(); n; n = n->NextSibling())
      if (XMLStrCompareText(n->GetNodeName(), name) == 0 && n->GetKind() == occurrence)
        throw ELkDOMException(14, "Duplicate typesdeclaration is not allowed in mixed content.");
  auto leaf = std::make_unique<TLkContentModel>(name, OwnerDocument, type_);
  leaf->SetKind(occurrence);
  children_->Append(leaf.get());
  return leaf.release();
}

void TLkContentModel::AppendGroup(TLkContentModel* group) {
  // Groups nest through their parents: bound like elements.
  int32_t depth = 1;
  for (TLkXMLNode* n = this; n && depth <= kMaxNestingDepth; n = n->GetParent()) ++depth;
  if (depth > kMaxNestingDepth)
    throw ELkDOMException(HIERARCHY_REQUEST_ERR, "TLkContentModel: groups may not nest deeper than " +
                                                     std::to_string(kMaxNestingDepth) + " levels");
  children_->Append(group);
}

void TLkContentModel::WriteTo(TStream& stream, int32_t) {
  if (IsLeaf()) {
    WriteWide(stream, Name);
    return;
  }
  switch (type_) {
    case ctEmpty: WriteWide(stream, u" EMPTY"); return;
    case ctAny: WriteWide(stream, u" ANY"); return;
    case ctMixed: {
      WideString s = u"(#PCDATA";
      for (TLkXMLNode* n = children_->First(); n; n = n->NextSibling()) s += u"|" + n->GetNodeName();
      s += u")";
      if (children_->First()) s += u"*";
      WriteWide(stream, s);
      return;
    }
    default: {
      WriteWide(stream, u"(");
      for (TLkXMLNode* n = children_->First(); n; n = n->NextSibling()) {
        if (n != children_->First()) WriteWide(stream, WideString(1, separator_));
        auto* m = static_cast<TLkContentModel*>(n);
        m->WriteTo(stream, 0);
        if (m->IsLeaf()) WriteWide(stream, OccurrenceText(m->Occurrence()));
      }
      WriteWide(stream, WideString(u")") + OccurrenceText(Kind));
    }
  }
}

// --- enumeration ------------------------------------------------------------------------

TLkEnumeration::TLkEnumeration(TLkXMLDocument* ownerDocument)
    : TLkXMLNode(WideString(), ntEnumeration, ownerDocument), items_(new TLkNodeList(ownerDocument, this)) {}

TLkEnumeration::~TLkEnumeration() { delete items_; }

void TLkEnumeration::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (TLkXMLNode* f = items_->Detach()) out.push_back(f);
}

void TLkEnumeration::Add(const WideString& name) {
  auto n = std::make_unique<TLkXMLNode>(name, ntEnumerationEntry, OwnerDocument);
  items_->Append(n.get());
  n.release();
}

bool TLkEnumeration::Contains(const WideString& name) const {
  for (TLkXMLNode* n = items_->First(); n; n = n->NextSibling())
    if (XMLStrCompare(n->GetNodeName(), name) == 0) return true;
  return false;
}

void TLkEnumeration::WriteTo(TStream& stream, int32_t) {
  WideString s = u" (";
  for (TLkXMLNode* n = items_->First(); n; n = n->NextSibling()) s += n->GetNodeName() + WideString(n->NextSibling() ? u"|" : u")");
  WriteWide(stream, s);
}

// --- attribute definition -----------------------------------------------------------------

TLkAttDef::TLkAttDef(const WideString& name, TLkXMLDocument* ownerDocument, WideChar defaultKind,
                     const WideString& defaultValue, WideChar type)
    : TLkXMLNode(name, ntAttDef, ownerDocument), Type(type), DefaultKind(defaultKind), defaultValue_(defaultValue) {
  CheckName(name);
}

TLkAttDef::TLkAttDef(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkXMLNode(name, ntAttDef, ownerDocument) {
  CheckName(name);
}

TLkAttDef::~TLkAttDef() { TLkNodeList::DestroyChain(enumeration_); }

void TLkAttDef::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (enumeration_) out.push_back(enumeration_);
  enumeration_ = nullptr;
}

void TLkAttDef::SetEnumeration(TLkEnumeration* e) {
  if (e == enumeration_) return;
  TLkNodeList::DestroyChain(enumeration_);
  enumeration_ = e;
}

TLkXMLNode* TLkAttDef::Clone() const {
  auto* d = new TLkAttDef(Name, OwnerDocument, DefaultKind, defaultValue_, Type);
  d->Value = Value;
  return d;
}

void TLkAttDef::WriteTo(TStream& stream, int32_t indent) {
  WideString s = u"\r\n" + Indent(indent + 10) + Name;
  static const struct {
    WideChar code;
    const char16_t* keyword;
  } kTypes[] = {{atID, u" ID"},           {atIDREF, u" IDREF"},       {atIDREFS, u" IDREFS"},
                {atENTITY, u" ENTITY"},   {atENTITIES, u" ENTITIES"}, {atNMTOKEN, u" NMTOKEN"},
                {atNMTOKENS, u" NMTOKENS"}, {atNOTATION, u" NOTATION"}, {atCDATA, u" CDATA"}};
  for (const auto& t : kTypes)
    if (t.code == Type) s += t.keyword;
  WriteWide(stream, s);
  if ((Type == atNOTATION || Type == atEnumerated) && enumeration_) enumeration_->WriteTo(stream, 0);
  switch (DefaultKind) {
    case dkRequired: WriteWide(stream, u" #REQUIRED"); break;
    case dkImplied: WriteWide(stream, u" #IMPLIED"); break;
    case dkFixed: WriteWide(stream, u" #FIXED \"" + EscapeValue(defaultValue_) + u"\""); break;
    default: WriteWide(stream, u" \"" + EscapeValue(defaultValue_) + u"\""); break;
  }
}

namespace {

bool IsUnparsedEntity(TLkDocumentType* dt, const WideString& name) {
  for (TLkXMLNode* n = dt->Declarations().FirstOfKind(ntEntityDecl); n; n = n->NextOfKind())
    if (auto* g = dynamic_cast<TLkGEntityDecl*>(n))
      if (XMLStrCompare(g->GetNodeName(), name) == 0 && g->GetUnparsed()) return true;
  return false;
}

bool IsNotation(TLkDocumentType* dt, const WideString& name) {
  for (TLkXMLNode* n = dt->Declarations().FirstOfKind(ntNotation); n; n = n->NextOfKind())
    if (XMLStrCompare(n->GetNodeName(), name) == 0) return true;
  return false;
}

}  // namespace

void TLkAttDef::Validate(TLkXMLAttr& a) {
  TLkXMLDocument* doc = OwnerDocument;
  TLkErrorsList& errors = ErrorsOf(doc);
  TLkDocumentType* dt = doc->GetDocType();
  TLkXMLNode* e = a.GetParent();
  const WideString& v = a.GetValue();
  const std::string head = "[Element: " + Q(e ? e->GetNodeName() : WideString()) + " Attribute: " + Q(a.GetNodeName());
  const std::string valued = head + " Value: " + Q(v) + "]: ";

  if (Type == atNOTATION && enumeration_ && dt)
    for (TLkXMLNode* n = enumeration_->Items().First(); n; n = n->NextSibling())
      if (!IsNotation(dt, n->GetNodeName()))
        errors.Add("[DTD]: Notation name " + Q(n->GetNodeName()) + " is not declared.", n);
  if (DefaultKind == dkFixed && XMLStrCompare(v, defaultValue_) != 0)
    errors.Add(valued + "Attribute's value doesn't match the default value " + Q(defaultValue_) + ".", &a);

  auto nameMessage = [&] { errors.Add(valued + "Attribute's value doesn't match NAME production .", &a); };
  auto idrefMessage = [&] {
    errors.Add(valued + "The value of an IDREF Attribute matches the value of a nonexisting ID attribute.", &a);
  };
  auto entityMessage = [&] {
    errors.Add(valued + "The value of an ENTITY Attribute matches a nonexisting unparsed entity.", &a);
  };
  std::vector<std::string> tokens;
  switch (Type) {
    case atID: {
      if (!IsName(v)) nameMessage();
      for (int32_t k = doc->IDCount(v); k > 1; --k)
        errors.Add(valued + "Attribute's value of type ID appears more than once.", &a);
      if (e) {
        int ids = 0;
        for (TLkXMLNode* x = e->ChildList()->FirstOfKind(ntAttribute); x; x = x->NextOfKind())
          if (static_cast<TLkXMLAttr*>(x)->DeclaredType(e) == atID && ++ids > 1)
            errors.Add("[Element: " + Q(e->GetNodeName()) + "]: Element has more than one attribute of type ID.", e);
      }
      if (DefaultKind != dkImplied && DefaultKind != dkRequired)
        errors.Add(head + "]: An ID attribute must have a declared default of #IMPLIED or #REQUIRED.", &a);
      break;
    }
    case atIDREF:
      if (!IsName(v)) nameMessage();
      if (doc->IDCount(v) == 0) idrefMessage();
      break;
    case atIDREFS:
      if (!IsNames(v, &tokens)) errors.Add(valued + "Attribute value doesn't match NAMES production .", &a);
      for (const auto& t : tokens)
        if (!t.empty() && doc->IDCount(Latin1ToWide(t)) == 0) idrefMessage();
      break;
    case atENTITY:
      if (!IsName(v)) nameMessage();
      if (!dt || !IsUnparsedEntity(dt, v)) entityMessage();
      break;
    case atENTITIES:
      if (!IsNames(v, &tokens)) errors.Add(valued + "Attribute's value doesn't match NAMES production .", &a);
      for (const auto& t : tokens)
        if (!t.empty() && (!dt || !IsUnparsedEntity(dt, Latin1ToWide(t)))) entityMessage();
      break;
    case atNMTOKEN:
      if (!IsNmtoken(v)) errors.Add(valued + "Attribute's value doesn't match NMTOKEN production .", &a);
      break;
    case atNMTOKENS:
      if (!IsNmtokens(v)) errors.Add(valued + "Attribute's value doesn't match TOKENS production .", &a);
      break;
    case atNOTATION:
    case atEnumerated:
      if (!enumeration_ || !enumeration_->Contains(v))
        errors.Add(valued + "Improper value of an enumerated attribute.", &a);
      break;
    default:
      break;  // CDATA
  }
}

// --- attribute-list declaration ---------------------------------------------------------

TLkAttListDecl::TLkAttListDecl(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkXMLNode(name, ntAttListDecl, ownerDocument), definitions_(new TLkNodeList(ownerDocument, this)) {
  CheckName(name);
}

TLkAttListDecl::~TLkAttListDecl() { delete definitions_; }

void TLkAttListDecl::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (TLkXMLNode* f = definitions_->Detach()) out.push_back(f);
}

bool TLkAttListDecl::AddDefinition(TLkAttDef* definition) {
  if (FindDefinition(definition->GetNodeName())) return false;
  definitions_->Append(definition);
  definition->Declaration = this;
  return true;
}

TLkAttDef* TLkAttListDecl::FindDefinition(const WideString& name) const {
  return static_cast<TLkAttDef*>(definitions_->FindNamed(name, ntAttDef));
}

void TLkAttListDecl::ValidateRequired(TLkXMLElement& e) {
  TLkErrorsList& errors = ErrorsOf(OwnerDocument);
  for (TLkXMLNode* d = definitions_->FirstOfKind(ntAttDef); d; d = d->NextOfKind()) {
    if (static_cast<TLkAttDef*>(d)->DefaultKind != dkRequired) continue;
    bool present = false;
    for (TLkXMLNode* a = e.ChildNodes().FirstOfKind(ntAttribute); a && !present; a = a->NextOfKind())
      present = XMLStrCompare(a->GetNodeName(), d->GetNodeName()) == 0;
    if (!present)
      errors.Add("[Element: " + Q(e.GetNodeName()) + " Attribute: " + Q(d->GetNodeName()) +
                     "]: Element does not contain #REQUIRED attribute.",
                 &e);
  }
}

void TLkAttListDecl::WriteTo(TStream& stream, int32_t indent) {
  WriteWide(stream, Indent(indent) + u"<!ATTLIST " + Name);
  for (TLkXMLNode* d = definitions_->First(); d; d = d->NextSibling()) d->WriteTo(stream, indent);
  WriteWide(stream, u">\r\n");
}
