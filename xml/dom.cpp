#include "xml/dom.h"

#include <algorithm>
#include <cstring>

#include "xml/document.h"
#include "xml/dtd.h"
#include "xml/entities.h"
#include "xml/parserlink.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

static_assert(alignof(TLkXMLElement) <= nodepool::kAlignment && alignof(TLkXMLText) <= nodepool::kAlignment &&
                  alignof(TLkXMLAttr) <= nodepool::kAlignment,
              "nodes need storage aligned wider than the node pool gives");

namespace {

std::string A(const WideString& w) { return WideToLatin1(w); }

// The text a normalisation builds, taking runs of units at once.
struct TAppendBuffer {
  explicit TAppendBuffer(std::size_t expected) { Text.reserve(expected); }
  void AddRun(const WideString& from, std::size_t begin, std::size_t end) { Text.append(from, begin, end - begin); }
  // Each unit up to the first U+0000.
  void AddString(const WideString& text) { Text.append(text, 0, std::min(text.find(WideChar(0)), text.size())); }
  WideString Text;
};

// Whether the text holds any of the units.
template <typename... Units>
bool HasUnitOf(const WideString& text, Units... units) {
  return FirstUnitOf(text, units...) < text.size();
}

int32_t LineOf(const TLkXMLDocument* d) { return d ? d->ErrorLine() : 0; }

[[noreturn]] void ParserError(const TLkXMLDocument* d, const std::string& message) {
  throw ELkXMLParserError(message, LineOf(d));
}

// Element levels above a list: its owner and the owner's element ancestors.
int32_t DepthOfList(const TLkNodeList& list) {
  int32_t depth = 0;
  for (const TLkXMLNode* n = list.Owner(); n && depth <= kMaxNestingDepth; n = n->GetParent())
    if (n->GetKind() == ntElement) ++depth;
  return depth;
}

// Element levels of a subtree, the node itself counted when it is an element.
int32_t HeightOf(TLkXMLNode* node) {
  TLkNodeList* children = node->ChildList();
  int32_t self = node->GetKind() == ntElement ? 1 : 0;
  if (!children || !children->FirstOfKind(ntElement)) return self;
  int32_t best = 0;
  std::vector<std::pair<TLkXMLNode*, int32_t>> work{{node, self}};
  while (!work.empty()) {
    auto [n, h] = work.back();
    work.pop_back();
    best = std::max(best, h);
    if (h > kMaxNestingDepth) return h;
    if (TLkNodeList* l = n->ChildList())
      for (TLkXMLNode* c = l->FirstOfKind(ntElement); c; c = c->NextOfKind()) work.push_back({c, h + 1});
  }
  return best;
}

}  // namespace

void WriteWide(TStream& stream, const WideString& text) {
  int32_t n = XMLStrLen(text);
  if (n > 0) stream.WriteBuffer(text.data(), static_cast<int64_t>(n) * 2);
}

// --- TLkXMLNode ---------------------------------------------------------------

TLkXMLNode::TLkXMLNode(const WideString& name, uint8_t kind, TLkXMLDocument* ownerDocument)
    : Name(name), OwnerDocument(ownerDocument), Kind(kind) {}

// A node destroyed while still linked (a caller's mistake) leaves its list
// consistent instead of dangling.
TLkXMLNode::~TLkXMLNode() {
  if (list_) list_->RemoveChild(this);
}

void TLkXMLNode::CheckName(const WideString& name) {
  if (!IsName(name))
    throw ELkDOMException(INVALID_CHARACTER_ERR,
                          "TLkXMLDocument.TLkXMLNode.Create(\"" + A(name) + "\"): invalid character(s) for name");
}

void TLkXMLNode::SetKind(uint8_t kind) {
  Kind = kind;
  if (list_) {
    list_->Invalidate();
    list_->DropIndex();
  }
}

TLkXMLNode* TLkXMLNode::NextOfKind() const {
  for (TLkXMLNode* n = next_; n; n = n->next_)
    if (n->Kind == Kind) return n;
  return nullptr;
}

TLkXMLNode* TLkXMLNode::Clone() const {
  auto* n = new TLkXMLNode(Name, Kind, OwnerDocument);
  n->Value = Value;
  return n;
}

void TLkXMLNode::WriteTo(TStream& stream, int32_t) {
  WriteWide(stream, Name);
  WriteWide(stream, u" ");
  WriteWide(stream, Value);
}

namespace {

// Guards the nesting and total size of entity expansion (see entities.h).
struct ExpansionGuard {
  static int& Depth() {
    static int depth = 0;
    return depth;
  }
  static std::size_t& Produced() {
    static std::size_t produced = 0;
    return produced;
  }
  const TLkXMLDocument* doc;
  explicit ExpansionGuard(const TLkXMLDocument* d) : doc(d) {
    if (Depth() == 0) Produced() = 0;
    if (++Depth() > kMaxEntityNesting) {
      --Depth();
      ParserError(doc, "Entity references nest more than " + std::to_string(kMaxEntityNesting) + " levels deep.");
    }
  }
  ~ExpansionGuard() { --Depth(); }
  void Count(std::size_t n) const {
    Produced() += n;
    if (Produced() > kMaxEntityExpansion)
      ParserError(doc, "Entity references expand to more than " + std::to_string(kMaxEntityExpansion) + " characters.");
  }
};

enum class TRefContext { CharData, Attribute };

// The reference name from the unit after "&" up to the next ";", or raises.
WideString ReferenceName(const WideString& v, std::size_t& i, const TLkXMLDocument* doc, const char* message) {
  std::size_t n = static_cast<std::size_t>(XMLStrLen(v));
  if (i + 1 >= n) ParserError(doc, message);
  std::size_t semi = v.find(u';', i + 1);
  if (semi == WideString::npos || semi >= n) ParserError(doc, message);
  WideString name = v.substr(i + 1, semi - i - 1);
  if (XMLStrLen(XMLStrTrim(name)) == 0) ParserError(doc, "Illegal (empty) reference name.");
  i = semi;
  return name;
}

}  // namespace

// Whitespace to blanks, references expanded (processing instructions and
// the values of general-entity references).
void TLkXMLNode::Normalize() {
  ExpansionGuard guard(OwnerDocument);
  // Blanks stay blanks: a text with no other whitespace, no reference and no
  // U+0000 stays as it is.
  if (!HasUnitOf(Value, u'\t', u'\r', u'\n', u'&', 0)) return;
  const WideString v = Value;
  std::size_t n = static_cast<std::size_t>(XMLStrLen(v));
  TStringBuffer out(100);
  for (std::size_t i = 0; i < n; ++i) {
    WideChar c = v[i];
    if (c == u'\t' || c == u'\r' || c == u' ') {
      out.AddChar(u' ');
    } else if (c == u'\n') {
      if (i == 0 || v[i - 1] != u'\r') out.AddChar(u' ');
    } else if (c == u'&') {
      WideString name = ReferenceName(v, i, OwnerDocument, "Illegal character in the text value '&&'.");
      std::unique_ptr<TLkCustomReference> ref;
      if (name[0] == u'#')
        ref = std::make_unique<TLkCharReference>(name, OwnerDocument);
      else
        ref = std::make_unique<TLkGEntityReference>(name, OwnerDocument);
      if (ref->Code() == rcUnparsed)
        ParserError(OwnerDocument, "Reference to an unparsed entity is not allowed in the character data.");
      if (ref->Resolve()) {
        guard.Count(ref->GetValue().size());
        out.AddString(ref->GetValue());
      } else {
        out.AddString(u"&" + name + u";");
      }
    } else {
      out.AddChar(c);
    }
  }
  Value = out.GetText();
}

// --- TLkNodeList ----------------------------------------------------------------

TLkNodeList::TLkNodeList(TLkXMLDocument* ownerDocument, TLkXMLNode* owner)
    : owner_(owner), ownerDocument_(ownerDocument) {}

TLkNodeList::~TLkNodeList() { Clear(); }

void TLkNodeList::DestroyChain(TLkXMLNode* first) {
  std::vector<TLkXMLNode*> heads;
  if (first) heads.push_back(first);
  while (!heads.empty()) {
    TLkXMLNode* n = heads.back();
    heads.pop_back();
    while (n) {
      TLkXMLNode* next = n->next_;
      n->ReleaseOwned(heads);
      n->list_ = nullptr;
      delete n;
      n = next;
    }
  }
}

void TLkNodeList::Clear() { DestroyChain(Detach()); }

TLkXMLNode* TLkNodeList::Detach() {
  TLkXMLNode* first = first_;
  first_ = last_ = nullptr;
  size_ = 0;
  Invalidate();
  DropIndex();
  return first;
}

TLkXMLNode* TLkNodeList::FirstOfKind(uint8_t kind) const {
  if (kind == 0 || !first_ || first_->Kind == kind) return first_;
  for (TLkXMLNode* n = first_->next_; n; n = n->next_)
    if (n->Kind == kind) return n;
  return nullptr;
}

TLkXMLNode* TLkNodeList::GetItem(int32_t index, uint8_t kind) const {
  if (index < 1) index = 1;
  TLookups& l = Lookups();
  TLkXMLNode* n;
  int32_t i;
  if (l.ItemNode && l.ItemKind == kind && l.ItemIndex <= index) {
    n = l.ItemNode;
    i = l.ItemIndex;
  } else {
    n = FirstOfKind(kind);
    i = 1;
  }
  while (n && i < index) {
    n = n->NextOfKind();
    ++i;
  }
  if (n) {
    l.ItemNode = n;
    l.ItemIndex = i;
    l.ItemKind = kind;
  }
  return n;
}

int32_t TLkNodeList::GetCount() const {
  if (count_ < 0) {
    int32_t c = 0;
    for (TLkXMLNode* n = first_; n; n = n->NextOfKind()) ++c;
    count_ = c;
  }
  return count_;
}

WideString TLkNodeList::IndexKey(uint8_t kind, const WideString& name) {
  // The key matches exactly the names XMLStrCompareText calls equal.
  WideString key(1, static_cast<WideChar>(kind));
  int32_t n = XMLStrLen(name);
  for (int32_t i = 0; i < n; ++i) key += XMLUpCase(name[static_cast<std::size_t>(i)]);
  return key;
}

TLkXMLNode* TLkNodeList::FindNamed(const WideString& name, uint8_t kind) const {
  if (size_ <= 16) {
    for (TLkXMLNode* n = FirstOfKind(kind); n; n = n->NextOfKind())
      if (XMLSameText(n->Name, name)) return n;
    return nullptr;
  }
  if (kind == 0) kind = first_ ? first_->Kind : 0;
  auto& index = Lookups().Index;
  if (!index) {
    index = std::make_unique<std::unordered_map<WideString, TLkXMLNode*>>();
    for (TLkXMLNode* n = first_; n; n = n->next_) index->emplace(IndexKey(n->Kind, n->Name), n);
  }
  auto it = index->find(IndexKey(kind, name));
  return it == index->end() ? nullptr : it->second;
}

namespace {
// XMLSameText(a, b) for a `b` that holds no U+0000, from the back: the
// names of one start-tag differ at their ends most often.
bool SameAsTokenName(const WideString& a, const WideString& b) {
  const std::size_t n = b.size();
  if (a.size() < n || (a.size() > n && a[n] != 0)) return false;
  auto up = [](WideChar c) { return c >= u'a' && c <= u'z' ? static_cast<WideChar>(c - 32) : c; };
  for (std::size_t i = n; i-- > 0;)
    if (up(a[i]) != up(b[i])) return false;
  return true;
}
}  // namespace

TLkXMLNode* TLkNodeList::FindTokenName(const WideString& name, uint8_t kind) const {
  if (size_ > 16) return FindNamed(name, kind);
  for (TLkXMLNode* n = FirstOfKind(kind); n; n = n->NextOfKind())
    if (SameAsTokenName(n->Name, name)) return n;
  return nullptr;
}

void TLkNodeList::CheckInsert(TLkXMLNode* node, const char* inUseMessage) const {
  if (!node) throw ELkDOMException(INVALID_POINTER_ERR, "TLkNodeList: nil node");
  if (node->list_) throw ELkDOMException(INUSE_ATTRIBUTE_ERR, inUseMessage);
  if (node->ChildList() || node->Kind == ntElement) {
    // The owner chain is walked only as far as the limit.
    if (DepthOfList(*this) + HeightOf(node) > kMaxNestingDepth)
      throw ELkDOMException(HIERARCHY_REQUEST_ERR, "TLkNodeList: elements may not nest deeper than " +
                                                       std::to_string(kMaxNestingDepth) + " levels");
  }
}

void TLkNodeList::Link(TLkXMLNode* node, TLkXMLNode* before) {
  node->list_ = this;
  ++size_;
  if (lookups_ && lookups_->Index) {
    if (before)
      DropIndex();  // the first of a name may change
    else
      lookups_->Index->emplace(IndexKey(node->Kind, node->Name), node);  // an earlier node of the name stays first
  }
  if (!before) {
    node->previous_ = last_;
    node->next_ = nullptr;
    if (last_)
      last_->next_ = node;
    else
      first_ = node;
    last_ = node;
  } else {
    node->next_ = before;
    node->previous_ = before->previous_;
    if (before->previous_)
      before->previous_->next_ = node;
    else
      first_ = node;
    before->previous_ = node;
  }
  Invalidate();
}

void TLkNodeList::Append(TLkXMLNode* node) {
  if (node && node->list_)
    throw ELkDOMException(INUSE_ATTRIBUTE_ERR, "TNamedNodeMap.setNamedItem: attribute \"" + A(node->Name) +
                                                   "\" already in use (use clone)");
  CheckInsert(node, "");
  Link(node, nullptr);
  node->OwnerDocument = ownerDocument_;
}

void TLkNodeList::insertBefore(TLkXMLNode* node, TLkXMLNode* reference) {
  CheckInsert(node, "TLkNodeList.insertBefore: attribute already in use (use clone)");
  if (reference && reference->list_ != this) reference = nullptr;
  Link(node, reference);
}

void TLkNodeList::insertAfter(TLkXMLNode* node, TLkXMLNode* reference) {
  CheckInsert(node, "TLkNodeList.insertAfter: attribute already in use (use clone)");
  if (reference && reference->list_ != this) reference = nullptr;
  Link(node, reference ? reference->next_ : nullptr);
}

TLkXMLNode* TLkNodeList::RemoveChild(TLkXMLNode* node) {
  if (!node)
    throw ELkDOMException(INVALID_POINTER_ERR, "TLkNodeList.RemoveChildNode: you are trying to remove not existing child");
  if (node->list_ != this)
    throw ELkDOMException(INVALID_POINTER_ERR, "TLkNodeList.RemoveChildNode: you are trying to remove child out of list.");
  if (node->previous_)
    node->previous_->next_ = node->next_;
  else
    first_ = node->next_;
  if (node->next_)
    node->next_->previous_ = node->previous_;
  else
    last_ = node->previous_;
  node->next_ = node->previous_ = nullptr;
  node->list_ = nullptr;
  --size_;
  Invalidate();
  DropIndex();
  return node;
}

TLkXMLNode* TLkNodeList::RemoveNamed(const WideString& name, uint8_t kind) {
  return RemoveChild(FindNamed(name, kind));
}

// --- TLkContainer -------------------------------------------------------------------

TLkContainer::TLkContainer(const WideString& name, TLkXMLDocument* ownerDocument, uint8_t kind)
    : TLkXMLNode(name, kind, ownerDocument), childNodes_(ownerDocument, this) {}

TLkContainer::~TLkContainer() = default;

void TLkContainer::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (TLkXMLNode* first = childNodes_.Detach()) out.push_back(first);
}

// The list is emptied before its nodes go, as a new list would be.
void TLkContainer::ResetChildList() { childNodes_.Clear(); }

TLkXMLAttr* TLkContainer::FirstAttribute() const {
  return static_cast<TLkXMLAttr*>(childNodes_.FirstOfKind(ntAttribute));
}

TLkXMLAttr* TLkContainer::GetAttributeNode(const WideString& name) const {
  return static_cast<TLkXMLAttr*>(childNodes_.FindNamed(name, ntAttribute));
}

WideString TLkContainer::GetAttributeValue(const WideString& name) const {
  TLkXMLAttr* a = GetAttributeNode(name);
  return a ? a->GetValue() : WideString();
}

void TLkContainer::SetAttributeText(const WideString& name, const WideString& value) {
  SetAttributeText(name, WideString(value));
}

void TLkContainer::SetAttributeText(const WideString& name, WideString&& value) {
  if (TLkXMLAttr* a = GetAttributeNode(name)) {
    a->SetValue(value);
    a->NormalizeFor(this);
    return;
  }
  std::unique_ptr<TLkXMLAttr> a(TLkXMLAttr::CreateFor(this, name, std::move(value), OwnerDocument, 0));
  childNodes_.Append(a.get());
  a.release();
}

void TLkContainer::AddParsedAttribute(const WideString& name, WideString&& value) {
  if (auto* a = static_cast<TLkXMLAttr*>(childNodes_.FindTokenName(name, ntAttribute))) {
    a->SetValue(value);
    a->NormalizeFor(this);
    return;
  }
  std::unique_ptr<TLkXMLAttr> a(TLkXMLAttr::CreateParsed(this, name, std::move(value), OwnerDocument));
  childNodes_.AppendNew(a.get());
  a.release();
}

void TLkContainer::SetAttributeValue(const WideString& name, const WideString& value) {
  SetAttributeText(name, EscapeText(value));
}

TLkXMLAttr* TLkContainer::setAttributeNode(TLkXMLAttr* attr) {
  if (!attr) throw ELkDOMException(INVALID_POINTER_ERR, "TLkContainer.setAttributeNode: nil attribute");
  if (GetAttributeNode(attr->GetNodeName()))
    throw ELkDOMException(15, "TLkContainer.setAttributeNode: element already contains the attribute \"" +
                                  A(attr->GetNodeName()) + "\"");
  if (attr->GetParent() || attr->GetList())
    throw ELkDOMException(INUSE_ATTRIBUTE_ERR, "TLkContainer.setAttributeNode: attribute already in use");
  if (attr->GetOwnerDocument() != OwnerDocument)
    throw ELkDOMException(WRONG_DOCUMENT_ERR, "TLkContainer.setAttributeNode: wrong document in attribute node");
  childNodes_.Append(attr);
  return attr;
}

void TLkContainer::CopyChildrenOfKind(TLkNodeList& list, uint8_t kind) const {
  for (TLkXMLNode* n = childNodes_.FirstOfKind(kind); n; n = n->NextOfKind()) {
    std::unique_ptr<TLkXMLNode> c(n->Clone());
    list.Append(c.get());
    c.release();
  }
}

// --- TLkXMLElement ---------------------------------------------------------------

TLkXMLElement::TLkXMLElement(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkContainer(name, ownerDocument, ntElement) {
  CheckName(name);
}

bool TLkXMLElement::AppendText(TLkXMLText* node, bool mayHoldReferences) {
  ChildNodes().Append(node);
  if (mayHoldReferences)
    node->Normalize();
  else
    node->NormalizeText(false);
  // Anything above a blank before the first U+0000 (where the text ends).
  for (WideChar c : node->GetValue()) {
    if (c > u' ') return true;
    if (c == 0) break;
  }
  ChildNodes().RemoveChild(node);
  return false;
}

TLkXMLElement* TLkXMLElement::GetFirstChildElement() const {
  return static_cast<TLkXMLElement*>(ChildNodes().FirstOfKind(ntElement));
}

TLkXMLElement* TLkXMLElement::NextSiblingElement() const { return static_cast<TLkXMLElement*>(NextOfKind()); }

void TLkXMLElement::ImportChildren(const TLkXMLElement& element) {
  for (TLkXMLNode* n = element.ChildNodes().First(); n; n = n->NextSibling()) {
    if (n->GetKind() == ntAttribute) continue;
    std::vector<TLkXMLNode*> work{n};
    while (!work.empty()) {
      TLkXMLNode* m = work.back();
      work.pop_back();
      m->SetOwnerDocument(OwnerDocument);
      if (m->GetKind() == ntElement)
        for (TLkXMLNode* c = m->ChildList()->First(); c; c = c->NextSibling()) work.push_back(c);
    }
    std::unique_ptr<TLkXMLNode> c(n->Clone());
    ChildNodes().Append(c.get());
    c.release();
  }
}

TLkNodeList* TLkXMLElement::AttributesByType(WideChar type) {
  auto list = std::make_unique<TLkNodeList>(OwnerDocument, this);
  std::vector<TLkXMLElement*> work{this};
  while (!work.empty()) {
    TLkXMLElement* e = work.back();
    work.pop_back();
    for (TLkXMLNode* a = e->ChildNodes().FirstOfKind(ntAttribute); a; a = a->NextOfKind()) {
      auto* attr = static_cast<TLkXMLAttr*>(a);
      if (attr->DeclaredType(e) == type) {
        std::unique_ptr<TLkXMLNode> c(attr->Clone());
        list->Append(c.get());
        c.release();
      }
    }
    std::size_t mark = work.size();
    for (TLkXMLNode* c = e->ChildNodes().FirstOfKind(ntElement); c; c = c->NextOfKind())
      work.push_back(static_cast<TLkXMLElement*>(c));
    std::reverse(work.begin() + static_cast<std::ptrdiff_t>(mark), work.end());
  }
  return list.release();
}

TLkXMLNode* TLkXMLElement::Clone() const {
  auto root = std::make_unique<TLkXMLElement>(Name, OwnerDocument);
  root->Value = Value;
  std::vector<std::pair<const TLkXMLElement*, TLkXMLElement*>> work{{this, root.get()}};
  while (!work.empty()) {
    auto [src, dst] = work.back();
    work.pop_back();
    for (TLkXMLNode* n = src->ChildNodes().First(); n; n = n->NextSibling()) {
      if (n->GetKind() == ntElement) {
        const auto* se = static_cast<const TLkXMLElement*>(n);
        auto* de = new TLkXMLElement(se->Name, se->OwnerDocument);
        de->Value = se->Value;
        std::unique_ptr<TLkXMLNode> guard(de);
        dst->ChildNodes().Append(de);
        guard.release();
        work.push_back({se, de});
      } else {
        std::unique_ptr<TLkXMLNode> c(n->Clone());
        dst->ChildNodes().Append(c.get());
        c.release();
      }
    }
  }
  return root.release();
}

namespace {

void StartOfMarkup(TLkXMLDocument* doc, TStream& s, int32_t indent) {
  if (!doc->TextWritten) WriteWide(s, u"\r\n" + Indent(indent));
}

bool HasContent(const TLkXMLElement& e) {
  for (TLkXMLNode* n = e.ChildNodes().First(); n; n = n->NextSibling()) {
    uint8_t k = n->GetKind();
    if (k == ntElement || k == ntText || k == ntCData || k == ntComment || k == ntPI) return true;
  }
  return false;
}

// Text as markup that reads back to the same characters.
WideString EscapeForText(const WideString& v) {
  WideString out;
  int32_t n = XMLStrLen(v);
  out.reserve(static_cast<std::size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    WideChar c = v[static_cast<std::size_t>(i)];
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

WideString EscapeForAttribute(const WideString& v) {
  WideString out;
  int32_t n = XMLStrLen(v);
  out.reserve(static_cast<std::size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    WideChar c = v[static_cast<std::size_t>(i)];
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'"': out += u"&quot;"; break;
      case u'\t': out += u"&#9;"; break;
      case u'\n': out += u"&#10;"; break;
      case u'\r': out += u"&#13;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

void TLkXMLElement::WriteTo(TStream& stream, int32_t indent) {
  TLkXMLDocument* doc = OwnerDocument;
  bool formatted = doc->GetParser().GetFormatedOutput();
  struct Frame {
    TLkXMLElement* element;
    TLkXMLNode* next;
    int32_t indent;
  };
  std::vector<Frame> stack;
  auto open = [&](TLkXMLElement* e, int32_t ind) {
    StartOfMarkup(doc, stream, ind);
    WriteWide(stream, u"<" + e->Name);
    for (TLkXMLNode* a = e->ChildNodes().FirstOfKind(ntAttribute); a; a = a->NextOfKind()) a->WriteTo(stream, ind);
    doc->TextWritten = false;
    if (!HasContent(*e)) {
      WriteWide(stream, u"/>");
      return;
    }
    WriteWide(stream, u">");
    stack.push_back({e, e->ChildNodes().First(), ind});
  };
  open(this, indent);
  while (!stack.empty()) {
    Frame& f = stack.back();
    while (f.next && f.next->GetKind() == ntAttribute) f.next = f.next->NextSibling();
    if (!f.next) {
      StartOfMarkup(doc, stream, f.indent);
      WriteWide(stream, u"</" + f.element->Name + u">");
      doc->TextWritten = false;
      stack.pop_back();
      continue;
    }
    TLkXMLNode* child = f.next;
    f.next = child->NextSibling();
    int32_t childIndent = formatted ? f.indent + 3 : f.indent;
    if (child->GetKind() == ntElement)
      open(static_cast<TLkXMLElement*>(child), childIndent);
    else
      child->WriteTo(stream, childIndent);
  }
}

void TLkXMLElement::Validate() {
  if (!OwnerDocument || !OwnerDocument->GetDocType()) return;
  std::vector<TLkXMLElement*> work{this};
  while (!work.empty()) {
    TLkXMLElement* e = work.back();
    work.pop_back();
    e->ValidateOne();
    std::size_t mark = work.size();
    for (TLkXMLNode* c = e->ChildNodes().FirstOfKind(ntElement); c; c = c->NextOfKind())
      work.push_back(static_cast<TLkXMLElement*>(c));
    std::reverse(work.begin() + static_cast<std::ptrdiff_t>(mark), work.end());
  }
}

void TLkXMLElement::ValidateOne() {
  TLkDocumentType* dt = OwnerDocument->GetDocType();
  TLkErrorsList& errors = OwnerDocument->GetParser().GetErrors();
  if (TLkElementDecl* decl = dt->GetElementDecl(Name))
    decl->Validate(*this);
  else
    errors.Add("[Element \"" + A(Name) + "\"]: Element is not declared.", this);
  if (TLkAttListDecl* list = dt->GetAttListDecl(Name)) {
    list->ValidateRequired(*this);
    for (TLkXMLNode* a = ChildNodes().FirstOfKind(ntAttribute); a; a = a->NextOfKind()) {
      if (TLkAttDef* def = list->FindDefinition(a->GetNodeName()))
        def->Validate(*static_cast<TLkXMLAttr*>(a));
      else
        errors.Add("[Element: \"" + A(Name) + "\" Attribute: \"" + A(a->GetNodeName()) + "\"]: Attribute is not declared.",
                   a);
    }
  }
}

// --- character data -----------------------------------------------------------------

int32_t TLkCharacterData::Length() const { return XMLStrLen(Value); }

WideString TLkCharacterData::substringData(int32_t offset, int32_t count) const {
  if (offset < 0 || offset > Length() - 1 || count < 0)
    throw ELkDOMException(INDEX_SIZE_ERR, "TLkCharacterData.substring: invalid offset/count values");
  return Value.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
}

void TLkCharacterData::appendData(const WideString& text) {
  Value.resize(static_cast<std::size_t>(Length()));
  Value += text;
}

void TLkCharacterData::insertData(int32_t offset, const WideString& text) {
  if (offset < 0 || offset > Length() - 1)
    throw ELkDOMException(INDEX_SIZE_ERR, "TLkCharacterData.insertData: invalid offset value");
  Value.insert(static_cast<std::size_t>(offset), text);
}

void TLkCharacterData::deleteData(int32_t offset, int32_t count) {
  if (offset < 0 || offset > Length() - 1 || count < 0)
    throw ELkDOMException(INDEX_SIZE_ERR, "TLkCharacterData.deleteData: invalid offset/count values");
  Value.erase(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
}

void TLkCharacterData::replaceData(int32_t offset, int32_t count, const WideString& text) {
  deleteData(offset, count);
  // The offset was valid before the deletion; it may now be the end.
  Value.insert(static_cast<std::size_t>(offset), text);
}

// --- text, CDATA, comment ---------------------------------------------------------------

TLkXMLText::TLkXMLText(const WideString& data, TLkXMLDocument* ownerDocument)
    : TLkCharacterData(WideString(), ntText, ownerDocument) {
  Value = data;
}

TLkXMLText::TLkXMLText(WideString&& data, TLkXMLDocument* ownerDocument)
    : TLkCharacterData(WideString(), ntText, ownerDocument) {
  Value = std::move(data);
}

TLkXMLText::TLkXMLText(const WideString& data, TLkXMLDocument* ownerDocument, uint8_t kind)
    : TLkCharacterData(WideString(), kind, ownerDocument) {
  Value = data;
}

void TLkXMLText::Normalize() { NormalizeText(true); }

namespace {
// The text of a predefined entity whose name stands at p (n units up to
// the ";"), or 0.
WideChar PredefinedText(const WideChar* p, std::size_t n) {
  auto is = [&](const char16_t* name) { return std::char_traits<char16_t>::compare(p, name, n) == 0; };
  switch (n) {
    case 2:
      if (is(u"lt")) return u'<';
      if (is(u"gt")) return u'>';
      return 0;
    case 3:
      return is(u"amp") ? u'&' : 0;
    case 4:
      if (is(u"apos")) return u'\'';
      if (is(u"quot")) return u'"';
      return 0;
    default:
      return 0;
  }
}

// Resolves the references in place when every one is to a predefined entity
// and nothing cuts the text, and no document type could declare those names
// differently; false, with the text untouched, otherwise.
bool ResolvePredefinedInPlace(WideString& v, const TLkXMLDocument* doc, const ExpansionGuard& guard) {
  if (doc && doc->GetDocType()) return false;
  const std::size_t size = v.size();
  std::size_t refs = 0, firstRef = size;
  // One pass to see that every unit may stay and every reference resolves.
  for (std::size_t i = 0; i < size; ++i) {
    if (v[i] == 0) return false;
    if (v[i] != u'&') continue;
    std::size_t semi = i + 1;
    while (semi < size && semi - i <= 5 && v[semi] != u';') ++semi;
    if (semi >= size || v[semi] != u';' || PredefinedText(v.data() + i + 1, semi - i - 1) == 0) return false;
    if (refs++ == 0) firstRef = i;
    i = semi;
  }
  guard.Count(refs);
  std::size_t to = firstRef;
  for (std::size_t from = to; from < size;) {
    if (v[from] != u'&') {
      v[to++] = v[from++];
      continue;
    }
    const std::size_t semi = v.find(u';', from);
    v[to++] = PredefinedText(v.data() + from + 1, semi - from - 1);
    from = semi + 1;
  }
  v.resize(to);
  return true;
}
}  // namespace

void TLkXMLText::NormalizeText(bool mayHoldReferences) {
  ExpansionGuard guard(OwnerDocument);
  // Text without references and without U+0000 (where the text is cut)
  // stays as it is: no copy.
  if (!mayHoldReferences || !HasUnitOf(Value, u'&', 0)) return;
  if (ResolvePredefinedInPlace(Value, OwnerDocument, guard)) return;
  const WideString v = Value;
  std::size_t n = static_cast<std::size_t>(XMLStrLen(v));
  TAppendBuffer out(n);
  for (std::size_t i = 0; i < n; ++i) {
    // The text up to the next reference in one piece.
    std::size_t amp = std::min(v.find(u'&', i), n);
    out.AddRun(v, i, amp);
    i = amp;
    if (i >= n) break;
    WideString name = ReferenceName(v, i, OwnerDocument, "Illegal character in the text value '&&'.");
    if (name[0] == u'#') {
      TLkCharReference ref(name, OwnerDocument);
      if (ref.Resolve())
        out.AddString(ref.GetValue());
      else
        out.AddString(u"&" + name + u";");
      continue;
    }
    TLkGEntityReference ref(name, OwnerDocument);
    if (ref.Code() == rcUnparsed)
      ParserError(OwnerDocument, "Reference to an unparsed entity is not allowed in the character data.");
    if (!ref.Resolve()) {
      out.AddString(u"&" + name + u";");
      continue;
    }
    const WideString& text = ref.GetValue();
    guard.Count(text.size());
    TLkXMLNode* parent = GetParent();
    if (text.find(u'<') != WideString::npos && text.find(u'>') != WideString::npos && parent &&
        parent->GetKind() == ntElement) {
      // Markup: its elements join the parent element.
      TLkXMLDocument* parsed = nullptr;
      try {
        ref.ParseReplacementText(parsed);
        if (TLkXMLElement* root = parsed->GetDocumentElement())
          static_cast<TLkXMLElement*>(parent)->ImportChildren(*root);
      } catch (...) {
        delete parsed;
        throw;
      }
      delete parsed;
    } else {
      out.AddString(text);
    }
  }
  Value = std::move(out.Text);
}

void TLkXMLText::WriteTo(TStream& stream, int32_t) {
  WriteWide(stream, EscapeForText(Value));
  if (OwnerDocument) OwnerDocument->TextWritten = true;
}

TLkXMLNode* TLkXMLText::Clone() const { return new TLkXMLText(Value, OwnerDocument); }

TLkXMLCData::TLkXMLCData(const WideString& data, TLkXMLDocument* ownerDocument)
    : TLkXMLText(data, ownerDocument, ntCData) {}

namespace {
int32_t MarkupIndent(TLkXMLDocument* doc, int32_t indent) {
  return doc->GetParser().GetFormatedOutput() ? indent + 3 : indent;
}
}  // namespace

void TLkXMLCData::WriteTo(TStream& stream, int32_t indent) {
  StartOfMarkup(OwnerDocument, stream, MarkupIndent(OwnerDocument, indent));
  // "]]>" cannot stand inside a section: it is split over two.
  WideString data = Value.substr(0, static_cast<std::size_t>(XMLStrLen(Value)));
  WideString out;
  for (std::size_t p = 0;;) {
    std::size_t q = data.find(u"]]>", p);
    if (q == WideString::npos) {
      out += data.substr(p);
      break;
    }
    out += data.substr(p, q - p) + u"]]]]><![CDATA[>";
    p = q + 3;
  }
  WriteWide(stream, u"<![CDATA[" + out + u"]]>");
  OwnerDocument->TextWritten = false;
}

TLkXMLNode* TLkXMLCData::Clone() const { return new TLkXMLCData(Value, OwnerDocument); }

TLkXMLComment::TLkXMLComment(const WideString& data, TLkXMLDocument* ownerDocument)
    : TLkXMLText(EscapeText(data), ownerDocument, ntComment) {
  TLkXMLText::Normalize();
}

TLkXMLComment::TLkXMLComment(Raw, const WideString& data, TLkXMLDocument* ownerDocument)
    : TLkXMLText(data, ownerDocument, ntComment) {}

void TLkXMLComment::WriteTo(TStream& stream, int32_t indent) {
  StartOfMarkup(OwnerDocument, stream, MarkupIndent(OwnerDocument, indent));
  WriteWide(stream, u"<!--" + Value.substr(0, static_cast<std::size_t>(XMLStrLen(Value))) + u"-->");
  OwnerDocument->TextWritten = false;
}

TLkXMLNode* TLkXMLComment::Clone() const { return new TLkXMLComment(Raw{}, Value, OwnerDocument); }

// --- processing instruction ------------------------------------------------------------

TLkXMLPi::TLkXMLPi(const WideString& target, TLkXMLDocument* ownerDocument, const WideString& data)
    : TLkXMLNode(target, ntPI, ownerDocument) {
  if (!IsPITarget(target))
    throw ELkDOMException(INVALID_CHARACTER_ERR, "TLkXMLDocument.createProcessingInstruction: invalid character for name");
  Value = EscapeText(data);
  TLkXMLNode::Normalize();
}

TLkXMLPi::TLkXMLPi(Raw, const WideString& target, TLkXMLDocument* ownerDocument, const WideString& data)
    : TLkXMLNode(target, ntPI, ownerDocument) {
  Value = data;
}

void TLkXMLPi::WriteTo(TStream& stream, int32_t indent) {
  StartOfMarkup(OwnerDocument, stream, MarkupIndent(OwnerDocument, indent));
  WideString s = u"<?" + Name;
  if (XMLStrLen(XMLStrTrim(Value)) > 0) s += u" " + Value.substr(0, static_cast<std::size_t>(XMLStrLen(Value)));
  WriteWide(stream, s + u"?>");
  OwnerDocument->TextWritten = false;
}

TLkXMLNode* TLkXMLPi::Clone() const { return new TLkXMLPi(Raw{}, Name, OwnerDocument, Value); }

// --- attribute ------------------------------------------------------------------------

TLkXMLAttr::TLkXMLAttr(Raw, const WideString& name, WideString value, TLkXMLDocument* ownerDocument,
                       int32_t specified)
    : TLkXMLNode(name, ntAttribute, ownerDocument), Specified(specified) {
  CheckName(name);
  Value = std::move(value);
}

TLkXMLAttr::TLkXMLAttr(Checked, const WideString& name, WideString&& value, TLkXMLDocument* ownerDocument)
    : TLkXMLNode(name, ntAttribute, ownerDocument) {
  Value = std::move(value);
}

TLkXMLAttr::TLkXMLAttr(const WideString& name, const WideString& value, TLkXMLDocument* ownerDocument)
    : TLkXMLAttr(Raw{}, name, EscapeText(value), ownerDocument, 0) {
  NormalizeFor(nullptr);
}

TLkXMLAttr::TLkXMLAttr(const WideString& name, const WideString& value, TLkXMLDocument* ownerDocument,
                       int32_t specified)
    : TLkXMLAttr(Raw{}, name, EscapeText(value), ownerDocument, specified) {
  NormalizeFor(nullptr);
}

TLkXMLAttr* TLkXMLAttr::CreateUnescaped(const WideString& name, const WideString& value,
                                        TLkXMLDocument* ownerDocument, int32_t specified) {
  return CreateFor(nullptr, name, value, ownerDocument, specified);
}

TLkXMLAttr* TLkXMLAttr::CreateFor(const TLkXMLNode* element, const WideString& name, const WideString& value,
                                  TLkXMLDocument* ownerDocument, int32_t specified) {
  return CreateFor(element, name, WideString(value), ownerDocument, specified);
}

TLkXMLAttr* TLkXMLAttr::CreateFor(const TLkXMLNode* element, const WideString& name, WideString&& value,
                                  TLkXMLDocument* ownerDocument, int32_t specified) {
  std::unique_ptr<TLkXMLAttr> a(new TLkXMLAttr(Raw{}, name, std::move(value), ownerDocument, specified));
  a->NormalizeFor(element);
  return a.release();
}

TLkXMLAttr* TLkXMLAttr::CreateParsed(const TLkXMLNode* element, const WideString& name, WideString&& value,
                                     TLkXMLDocument* ownerDocument) {
  std::unique_ptr<TLkXMLAttr> a(new TLkXMLAttr(Checked{}, name, std::move(value), ownerDocument));
  a->NormalizeFor(element);
  return a.release();
}

WideChar TLkXMLAttr::DeclaredType(const TLkXMLNode* element) const {
  if (!element) element = GetParent();
  if (!element || !OwnerDocument) return atCDATA;
  TLkDocumentType* dt = OwnerDocument->GetDocType();
  if (!dt) return atCDATA;
  TLkAttListDecl* list = dt->GetAttListDecl(element->GetNodeName());
  if (!list) return atCDATA;
  TLkAttDef* def = list->FindDefinition(Name);
  return def ? def->Type : WideChar{atCDATA};
}

void TLkXMLAttr::Normalize() { NormalizeFor(GetParent()); }

void TLkXMLAttr::NormalizeFor(const TLkXMLNode* element) {
  ExpansionGuard guard(OwnerDocument);
  bool cdata = DeclaredType(element) == atCDATA;
  // A CDATA value with nothing to replace, refuse or cut stays as it is.
  if (cdata && !HasUnitOf(Value, u'&', u'<', u'\t', u'\r', u'\n', 0)) return;
  const WideString v = cdata ? Value : XMLStrTrim(Value);
  std::size_t n = static_cast<std::size_t>(XMLStrLen(v));
  TStringBuffer out(100);
  for (std::size_t i = 0; i < n; ++i) {
    WideChar c = v[i];
    if (c == u'\t' || c == u'\r' || c == u' ') {
      if (cdata || i == 0 || !IsBlank(v[i - 1])) out.AddChar(u' ');
    } else if (c == u'\n') {
      if (i == 0 || v[i - 1] != u'\r') out.AddChar(u' ');
    } else if (c == u'<') {
      ParserError(OwnerDocument, "Illegal character in the attribute value '<'.");
    } else if (c == u'&') {
      WideString name = ReferenceName(v, i, OwnerDocument, "Illegal character in the attribute value '&'.");
      std::unique_ptr<TLkCustomReference> ref;
      if (name[0] == u'#')
        ref = std::make_unique<TLkCharReference>(name, OwnerDocument);
      else
        ref = std::make_unique<TLkGEntityReference>(name, OwnerDocument);
      if (ref->Code() == rcUnparsed)
        ParserError(OwnerDocument, "Reference to an unparsed entity is not allowed in the attribute value.");
      if (ref->Code() == rcExternalParsed)
        ParserError(OwnerDocument, "Reference to an external entity is not allowed in the attribute value.");
      if (ref->Resolve() && XMLStrLen(ref->GetValue()) > 0) {
        guard.Count(ref->GetValue().size());
        out.AddString(ref->GetValue());
      } else {
        out.AddString(u"&" + name + u";");
      }
    } else {
      out.AddChar(c);
    }
  }
  Value = out.GetText();
}

void TLkXMLAttr::WriteTo(TStream& stream, int32_t) {
  WriteWide(stream, u" " + Name + u" = \"" + EscapeForAttribute(Value) + u"\"");
  if (OwnerDocument) OwnerDocument->TextWritten = false;
}

TLkXMLNode* TLkXMLAttr::Clone() const { return new TLkXMLAttr(Raw{}, Name, Value, OwnerDocument, 0); }
