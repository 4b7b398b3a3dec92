// The document object model: nodes, node lists, containers, elements,
// character data and attributes.
//
// Every node sits in at most one doubly linked node list, which owns it; a
// container keeps its attributes and its children in one list. Destruction,
// cloning, output and validation walk the tree with explicit stacks, so
// neither long sibling chains nor deep nesting use the call stack, and
// elements nest at most kMaxNestingDepth levels deep.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/events.h"
#include "base/streams.h"
#include "xml/nodepool.h"
#include "xml/xmlstring.h"

class TLkXMLDocument;
class TLkNodeList;
class TLkContainer;
class TLkXMLElement;

// Node kinds; 0 as a filter means any kind.
enum : uint8_t {
  ntElement = 1,
  ntAttribute = 2,
  ntText = 3,
  ntCData = 4,
  ntComment = 5,
  ntPI = 6,
  ntReference = 7,
  ntElementDecl = 8,
  ntAttDef = 9,
  ntEntityDecl = 10,
  ntNotation = 11,
  ntDocType = 12,
  ntDocument = 13,
  ntContentModel = 17,
  ntAttListDecl = 18,
  ntEnumeration = 23,
  ntEnumerationEntry = 24,
};

constexpr int32_t kMaxNestingDepth = 1000;

// Writes the text (up to its first U+0000) as UTF-16 code units.
void WriteWide(TStream& stream, const WideString& text);

class TLkXMLNode : public TObject {
 public:
  // A plain node; the name is not checked (see CheckName for the named kinds).
  TLkXMLNode(const WideString& name, uint8_t kind, TLkXMLDocument* ownerDocument);
  ~TLkXMLNode() override;
  TLkXMLNode(const TLkXMLNode&) = delete;
  TLkXMLNode& operator=(const TLkXMLNode&) = delete;
  // Nodes of every kind come from the node pool.
  static void* operator new(std::size_t size) { return nodepool::Allocate(size); }
  static void operator delete(void* p, std::size_t size) noexcept { nodepool::Release(p, size); }

  virtual void WriteTo(TStream& stream, int32_t indent);
  virtual void Validate() {}
  virtual void Normalize();
  virtual TLkXMLNode* PreviousSibling() const { return previous_; }
  virtual TLkXMLNode* NextSibling() const { return next_; }
  virtual TLkXMLNode* Clone() const;

  const WideString& GetNodeName() const { return Name; }
  const WideString& GetValue() const { return Value; }
  virtual void SetValue(const WideString& value) { Value = value; }
  uint8_t GetKind() const { return Kind; }
  void SetKind(uint8_t kind);
  TLkXMLDocument* GetOwnerDocument() const { return OwnerDocument; }
  void SetOwnerDocument(TLkXMLDocument* d) { OwnerDocument = d; }
  // The owner of the list the node is in: nodes do not store it.
  TLkXMLNode* GetParent() const;
  TLkNodeList* GetList() const { return list_; }
  // The first later sibling of this node's kind.
  TLkXMLNode* NextOfKind() const;

  // The list of children this node owns (containers), else null.
  virtual TLkNodeList* ChildList() { return nullptr; }
  // Hands the heads of every node chain this node owns to `out` and forgets
  // them, so a list can destroy a whole tree without recursion.
  virtual void ReleaseOwned(std::vector<TLkXMLNode*>& out) {}

 protected:
  // ELkDOMException code 5 unless `name` passes IsName.
  static void CheckName(const WideString& name);

  WideString Name;
  WideString Value;
  TLkXMLDocument* OwnerDocument;

 private:
  friend class TLkNodeList;
  TLkXMLNode* next_ = nullptr;
  TLkXMLNode* previous_ = nullptr;
  TLkNodeList* list_ = nullptr;

 protected:
  // Last: a derived class's small fields go into the padding after it.
  uint8_t Kind;
};

// Final and without virtual methods: a list is part of every element, and
// a table pointer in each would only cost room.
class TLkNodeList final {
 public:
  explicit TLkNodeList(TLkXMLDocument* ownerDocument, TLkXMLNode* owner = nullptr);
  ~TLkNodeList();
  TLkNodeList(const TLkNodeList&) = delete;
  TLkNodeList& operator=(const TLkNodeList&) = delete;

  TLkXMLNode* First() const { return first_; }
  TLkXMLNode* Last() const { return last_; }
  TLkXMLNode* Owner() const { return owner_; }
  TLkXMLDocument* OwnerDocument() const { return ownerDocument_; }
  TLkXMLNode* FirstOfKind(uint8_t kind) const;
  // 1-based; an index of 1 or less gives the first. Walking the items in
  // order costs constant time per step.
  TLkXMLNode* GetItem(int32_t index, uint8_t kind) const;
  // The number of nodes of the first node's kind.
  int32_t GetCount() const;
  TLkXMLNode* FindNamed(const WideString& name, uint8_t kind) const;
  // FindNamed for a name that holds no U+0000 (a token's): quicker on a
  // short list.
  TLkXMLNode* FindTokenName(const WideString& name, uint8_t kind) const;

  void Append(TLkXMLNode* node);
  // Appends a node just made: in no list and without children. The caller
  // keeps elements within the nesting limit; nothing else can fail.
  void AppendNew(TLkXMLNode* node) {
    Link(node, nullptr);
    node->OwnerDocument = ownerDocument_;
  }
  void insertBefore(TLkXMLNode* node, TLkXMLNode* reference);
  void insertAfter(TLkXMLNode* node, TLkXMLNode* reference);
  TLkXMLNode* RemoveChild(TLkXMLNode* node);
  TLkXMLNode* RemoveNamed(const WideString& name, uint8_t kind);
  // Destroys every node of the list (and everything below them).
  void Clear();
  // Empties the list without destroying its nodes: the chain from the
  // returned first node is the caller's (for DestroyChain).
  TLkXMLNode* Detach();

  static void DestroyChain(TLkXMLNode* first);
  void Invalidate() const {
    count_ = -1;
    if (lookups_) lookups_->ItemNode = nullptr;
  }
  // Forgets the name index (a node's kind changed, or the order did).
  void DropIndex() const {
    if (lookups_) lookups_->Index.reset();
  }

 private:
  static WideString IndexKey(uint8_t kind, const WideString& name);
  void CheckInsert(TLkXMLNode* node, const char* inUseMessage) const;
  void Link(TLkXMLNode* node, TLkXMLNode* before);

  // What speeds up GetItem and FindNamed, made on first use: most lists
  // (the list is part of every element) never need it.
  struct TLookups {
    // FindNamed on a long list goes through an index of the first node of
    // each kind and case-folded name, kept up to date by appends and
    // rebuilt after other changes: setting many attributes or declarations
    // stays linear. Made only for a long list.
    std::unique_ptr<std::unordered_map<WideString, TLkXMLNode*>> Index;
    // The last item GetItem found, with its index and the kind it counted.
    TLkXMLNode* ItemNode = nullptr;
    int32_t ItemIndex = 0;
    uint8_t ItemKind = 0;
  };
  TLookups& Lookups() const {
    if (!lookups_) lookups_ = std::make_unique<TLookups>();
    return *lookups_;
  }

  TLkXMLNode* first_ = nullptr;
  TLkXMLNode* last_ = nullptr;
  TLkXMLNode* owner_;
  TLkXMLDocument* ownerDocument_;
  mutable std::unique_ptr<TLookups> lookups_;
  int32_t size_ = 0;
  mutable int32_t count_ = -1;  // GetCount's answer, -1 when not known
};

inline TLkXMLNode* TLkXMLNode::GetParent() const { return list_ ? list_->Owner() : nullptr; }

class TLkXMLAttr;
class TLkXMLText;

class TLkContainer : public TLkXMLNode {
 public:
  TLkContainer(const WideString& name, TLkXMLDocument* ownerDocument, uint8_t kind);
  ~TLkContainer() override;

  TLkNodeList& ChildNodes() { return childNodes_; }
  const TLkNodeList& ChildNodes() const { return childNodes_; }
  TLkNodeList* ChildList() override { return &childNodes_; }
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

  TLkXMLNode* FirstChild() const { return childNodes_.First(); }
  TLkXMLAttr* FirstAttribute() const;
  WideString GetAttributeValue(const WideString& name) const;
  TLkXMLAttr* GetAttributeNode(const WideString& name) const;
  void SetAttributeValue(const WideString& name, const WideString& value);
  void SetAttributeText(const WideString& name, const WideString& value);
  void SetAttributeText(const WideString& name, WideString&& value);
  // SetAttributeText for the parser, whose tokenizer has checked the name.
  void AddParsedAttribute(const WideString& name, WideString&& value);
  TLkXMLAttr* setAttributeNode(TLkXMLAttr* attr);
  void AppendComment(TLkXMLNode* comment) { childNodes_.Append(comment); }
  void AppendPi(TLkXMLNode* pi) { childNodes_.Append(pi); }
  bool HasComment() const { return childNodes_.FirstOfKind(ntComment) != nullptr; }
  bool HasPi() const { return childNodes_.FirstOfKind(ntPI) != nullptr; }
  void CopyChildrenOfKind(TLkNodeList& list, uint8_t kind) const;

 protected:
  // Empties the child list, destroying its nodes (the document's Clear).
  void ResetChildList();

 private:
  // Part of the node: one allocation less for every element.
  TLkNodeList childNodes_;
};

class TLkXMLElement : public TLkContainer {
 public:
  TLkXMLElement(const WideString& name, TLkXMLDocument* ownerDocument);
  // For a name known to pass IsName (the tokenizer's).
  struct NameChecked {};
  TLkXMLElement(const WideString& name, TLkXMLDocument* ownerDocument, NameChecked)
      : TLkContainer(name, ownerDocument, ntElement) {}

  void AddChild(TLkXMLNode* node) { ChildNodes().Append(node); }
  void AppendNode(TLkXMLNode* node) { ChildNodes().Append(node); }
  // Appends and normalises the text; whitespace-only text is taken out
  // again (not destroyed: the caller then owns it) and false is returned.
  // A caller that knows the text holds no "&" and no U+0000 says so: the
  // text is not searched for references.
  bool AppendText(TLkXMLText* node, bool mayHoldReferences = true);
  TLkXMLNode* RemoveChild(TLkXMLNode* node) { return ChildNodes().RemoveChild(node); }
  bool HasChildElements() const { return ChildNodes().FirstOfKind(ntElement) != nullptr; }
  bool HasText() const { return ChildNodes().FirstOfKind(ntText) != nullptr; }
  bool HasCData() const { return ChildNodes().FirstOfKind(ntCData) != nullptr; }
  TLkXMLElement* GetFirstChildElement() const;
  TLkXMLElement* NextSiblingElement() const;
  void CopyChildElements(TLkNodeList& list) const { CopyChildrenOfKind(list, ntElement); }
  void ImportChildren(const TLkXMLElement& element);
  // Clones of every attribute below (and on) this element whose declared
  // type code is `type`, depth first; the caller owns the list.
  TLkNodeList* AttributesByType(WideChar type);

  void WriteTo(TStream& stream, int32_t indent) override;
  void Validate() override;
  TLkXMLNode* Clone() const override;

 private:
  void ValidateOne();
};

class TLkCharacterData : public TLkXMLNode {
 public:
  using TLkXMLNode::TLkXMLNode;
  virtual WideString GetData() const { return Value; }
  virtual int32_t Length() const;
  virtual WideString substringData(int32_t offset, int32_t count) const;
  virtual void appendData(const WideString& text);
  virtual void insertData(int32_t offset, const WideString& text);
  virtual void deleteData(int32_t offset, int32_t count);
  virtual void replaceData(int32_t offset, int32_t count, const WideString& text);
};

class TLkXMLText : public TLkCharacterData {
 public:
  TLkXMLText(const WideString& data, TLkXMLDocument* ownerDocument);
  TLkXMLText(WideString&& data, TLkXMLDocument* ownerDocument);
  void Normalize() override;
  // Normalize for a text known to hold no "&" and no U+0000 when
  // `mayHoldReferences` is false.
  void NormalizeText(bool mayHoldReferences);
  void WriteTo(TStream& stream, int32_t indent) override;
  TLkXMLNode* Clone() const override;

 protected:
  TLkXMLText(const WideString& data, TLkXMLDocument* ownerDocument, uint8_t kind);
};

class TLkXMLCData : public TLkXMLText {
 public:
  TLkXMLCData(const WideString& data, TLkXMLDocument* ownerDocument);
  void WriteTo(TStream& stream, int32_t indent) override;
  TLkXMLNode* Clone() const override;
};

class TLkXMLComment : public TLkXMLText {
 public:
  // The data is escaped, then normalised (references expanded).
  TLkXMLComment(const WideString& data, TLkXMLDocument* ownerDocument);
  void WriteTo(TStream& stream, int32_t indent) override;
  TLkXMLNode* Clone() const override;

 private:
  struct Raw {};
  TLkXMLComment(Raw, const WideString& data, TLkXMLDocument* ownerDocument);
};

class TLkXMLPi : public TLkXMLNode {
 public:
  TLkXMLPi(const WideString& target, TLkXMLDocument* ownerDocument, const WideString& data);
  const WideString& Target() const { return Name; }
  void WriteTo(TStream& stream, int32_t indent) override;
  TLkXMLNode* Clone() const override;

 private:
  struct Raw {};
  TLkXMLPi(Raw, const WideString& target, TLkXMLDocument* ownerDocument, const WideString& data);
};

class TLkXMLAttr : public TLkXMLNode {
 public:
  // The value escaped, Specified 0.
  TLkXMLAttr(const WideString& name, const WideString& value, TLkXMLDocument* ownerDocument);
  // The value escaped.
  TLkXMLAttr(const WideString& name, const WideString& value, TLkXMLDocument* ownerDocument, int32_t specified);
  // The value as given (the parser's path).
  static TLkXMLAttr* CreateUnescaped(const WideString& name, const WideString& value, TLkXMLDocument* ownerDocument,
                                     int32_t specified);
  // As CreateUnescaped, normalised by the type the attribute has on `element`.
  static TLkXMLAttr* CreateFor(const TLkXMLNode* element, const WideString& name, const WideString& value,
                               TLkXMLDocument* ownerDocument, int32_t specified);
  static TLkXMLAttr* CreateFor(const TLkXMLNode* element, const WideString& name, WideString&& value,
                               TLkXMLDocument* ownerDocument, int32_t specified);

  // As CreateFor with Specified 0, for a name known to pass IsName.
  static TLkXMLAttr* CreateParsed(const TLkXMLNode* element, const WideString& name, WideString&& value,
                                  TLkXMLDocument* ownerDocument);

  int32_t Specified = 0;
  void Normalize() override;
  // Normalises by the type the attribute has on `element` (its Parent when
  // it is in a list).
  void NormalizeFor(const TLkXMLNode* element);
  // The type code of its definition in the document type, ":" (CDATA) when
  // there is none.
  WideChar DeclaredType(const TLkXMLNode* element = nullptr) const;
  void WriteTo(TStream& stream, int32_t indent) override;
  TLkXMLNode* Clone() const override;

 private:
  struct Raw {};
  TLkXMLAttr(Raw, const WideString& name, WideString value, TLkXMLDocument* ownerDocument, int32_t specified);
  struct Checked {};
  TLkXMLAttr(Checked, const WideString& name, WideString&& value, TLkXMLDocument* ownerDocument);
};
