// The declarations of a document type: element declarations with their
// content models, attribute-list declarations with their definitions and
// enumerations, and the validation of elements and attributes against them.
// Validation never raises: each finding goes to the parser's error list.
#pragma once

#include <cstdint>

#include "xml/dom.h"

// Content types (one character in every node of a model).
enum : WideChar { ctEmpty = u'-', ctAny = u'.', ctMixed = u'/', ctChildren = u'0' };
// Occurrence of a particle, kept in its Kind byte.
enum : uint8_t { occOnce = 0x29, occOptional = 0x28, occOneOrMore = 0x2A, occZeroOrMore = 0x2B };
// Attribute types.
enum : WideChar {
  atID = u'2',
  atIDREF = u'3',
  atIDREFS = u'4',
  atENTITY = u'5',
  atENTITIES = u'6',
  atNMTOKEN = u'7',
  atNMTOKENS = u'8',
  atNOTATION = u'9',
  atCDATA = u':',
  atEnumerated = u';',
};
// Default kinds.
enum : WideChar { dkRequired = u'<', dkImplied = u'=', dkFixed = u'>', dkValue = u'?' };

class TLkContentModel;

class TLkElementDecl : public TLkXMLNode {
 public:
  TLkElementDecl(const WideString& name, TLkXMLDocument* ownerDocument);
  ~TLkElementDecl() override;
  TLkContentModel* ContentModel() const { return model_; }
  // Takes ownership; the old model is destroyed.
  void SetContentModel(TLkContentModel* model);
  void Validate(TLkXMLElement& element);
  void WriteTo(TStream& stream, int32_t indent) override;
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

 private:
  TLkContentModel* model_ = nullptr;
};

class TLkContentModel : public TLkXMLNode {
 public:
  // A group (or an EMPTY, ANY or Mixed model).
  TLkContentModel(WideChar type, TLkXMLDocument* ownerDocument);
  // A leaf particle.
  TLkContentModel(const WideString& name, TLkXMLDocument* ownerDocument, WideChar type);
  ~TLkContentModel() override;

  WideChar Type() const { return type_; }
  WideChar Separator() const { return separator_; }
  void SetSeparator(WideChar c) { separator_ = c; }
  uint8_t Occurrence() const { return Kind; }
  void SetOccurrence(uint8_t o) { SetKind(o); }
  bool IsLeaf() const { return !Name.empty(); }
  TLkNodeList& Children() { return *children_; }
  const TLkNodeList& Children() const { return *children_; }
  // A leaf of this model's type; in a Mixed model a name (any case) with
  // the same occurrence already present raises ELkDOMException 14.
  TLkContentModel* AddParticle(const WideString& name, uint8_t occurrence);
  void AppendGroup(TLkContentModel* group);
  bool HasParticleNamed(const WideString& name) const;  // ignoring case
  void WriteTo(TStream& stream, int32_t indent) override;
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

 private:
  WideChar type_;
  WideChar separator_ = u',';
  TLkNodeList* children_;
};

class TLkEnumeration : public TLkXMLNode {
 public:
  explicit TLkEnumeration(TLkXMLDocument* ownerDocument);
  ~TLkEnumeration() override;
  void Add(const WideString& name);
  TLkNodeList& Items() { return *items_; }
  const TLkNodeList& Items() const { return *items_; }
  bool Contains(const WideString& name) const;  // exact
  void WriteTo(TStream& stream, int32_t indent) override;
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

 private:
  TLkNodeList* items_;
};

class TLkAttListDecl;

class TLkAttDef : public TLkXMLNode {
 public:
  TLkAttDef(const WideString& name, TLkXMLDocument* ownerDocument, WideChar defaultKind,
            const WideString& defaultValue, WideChar type);
  TLkAttDef(const WideString& name, TLkXMLDocument* ownerDocument);
  ~TLkAttDef() override;

  WideChar Type = atCDATA;
  WideChar DefaultKind = dkImplied;
  const WideString& DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(const WideString& v) { defaultValue_ = v; }
  TLkEnumeration* Enumeration() const { return enumeration_; }
  void SetEnumeration(TLkEnumeration* e);  // owned
  TLkAttListDecl* Declaration = nullptr;

  void Validate(TLkXMLAttr& attribute);
  TLkXMLNode* Clone() const override;  // without the enumeration
  void WriteTo(TStream& stream, int32_t indent) override;
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

 private:
  WideString defaultValue_;
  TLkEnumeration* enumeration_ = nullptr;
};

class TLkAttListDecl : public TLkXMLNode {
 public:
  TLkAttListDecl(const WideString& name, TLkXMLDocument* ownerDocument);
  ~TLkAttListDecl() override;
  // False, and nothing added, when a definition of that name (any case)
  // is there already: the first definition binds.
  bool AddDefinition(TLkAttDef* definition);
  TLkAttDef* FindDefinition(const WideString& name) const;
  TLkNodeList& Definitions() { return *definitions_; }
  void ValidateRequired(TLkXMLElement& element);
  void WriteTo(TStream& stream, int32_t indent) override;
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

 private:
  TLkNodeList* definitions_;
};
