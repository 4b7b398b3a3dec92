// Entity and notation declarations, entity and character references, and
// the loading of external resources (files natively; "http://" and "ftp://"
// through the platform's fetcher).
#pragma once

#include "xml/dom.h"

class TLkExternalNode : public TLkXMLNode {
 public:
  using TLkXMLNode::TLkXMLNode;
  WideString SystemId;
  WideString PublicId;
  // Slot 7: what the node does with its external resource.
  virtual void Load() = 0;
  // The resource named by the identifiers, appended to dest; true when
  // content was obtained. Never raises for a missing resource: reports it
  // through the parser's OnFileNotFound.
  bool LoadResource(TStream& dest);
};

class TLkNotation : public TLkExternalNode {
 public:
  TLkNotation(const WideString& name, TLkXMLDocument* ownerDocument);
  void Load() override {}
  void WriteTo(TStream& stream, int32_t indent) override;
};

class TLkCustomEntityDecl : public TLkExternalNode {
 public:
  TLkCustomEntityDecl(const WideString& name, TLkXMLDocument* ownerDocument);
  // Refused for an external entity; else stored and normalised.
  void SetValue(const WideString& value) override;
  bool GetInternal() const { return internal_; }
  void SetInternal(bool internal) { internal_ = internal; }
  void Normalize() override;  // the entity-value rules
  void Load() override;
  void WriteTo(TStream& stream, int32_t indent) override;

 protected:
  virtual bool IsParameter() const = 0;
  bool internal_ = true;
};

class TLkGEntityDecl : public TLkCustomEntityDecl {
 public:
  using TLkCustomEntityDecl::TLkCustomEntityDecl;
  bool GetUnparsed() const { return unparsed_; }
  void SetUnparsed(bool u) { unparsed_ = u; }
  WideString NotationName;
  void Load() override;  // parsed entities only
  void Validate() override;
  void WriteTo(TStream& stream, int32_t indent) override;

 protected:
  bool IsParameter() const override { return false; }

 private:
  bool unparsed_ = false;
};

class TLkPEntityDecl : public TLkCustomEntityDecl {
 public:
  using TLkCustomEntityDecl::TLkCustomEntityDecl;

 protected:
  bool IsParameter() const override { return true; }
};

// Reference codes.
enum : char {
  rcChar = 'E',
  rcParameter = 'A',
  rcInternal = 'B',
  rcExternalParsed = 'C',
  rcUnparsed = 'D',
  rcUndeclared = 'F',
};

class TLkCustomReference : public TLkXMLNode {
 public:
  TLkCustomReference(const WideString& name, TLkXMLDocument* ownerDocument);
  char Code() const { return code_; }
  // Slot 7: sets Value; true when the reference has a replacement text.
  virtual bool Resolve() = 0;

 private:
  char code_;
};

class TLkXMLDocument;

class TLkGEntityReference : public TLkCustomReference {
 public:
  using TLkCustomReference::TLkCustomReference;
  bool Resolve() override;
  // The replacement text parsed as an external entity into `document`
  // (created anew; a previous one is destroyed).
  void ParseReplacementText(TLkXMLDocument*& document);
};

class TLkPEntityReference : public TLkCustomReference {
 public:
  using TLkCustomReference::TLkCustomReference;
  bool Resolve() override;
  void Normalize() override;
  void WriteTo(TStream& stream, int32_t indent) override;
};

class TLkCharReference : public TLkCustomReference {
 public:
  using TLkCustomReference::TLkCustomReference;
  // The value is the character of the code point; a code point above
  // U+10FFFF or one that is no XML character raises ELkXMLParserError.
  bool Resolve() override;
};

// Guards the expansion of entity values: a reference to an entity that is
// already being expanded, nesting deeper than kMaxEntityNesting, or more
// than kMaxEntityExpansion units of replacement text raise
// ELkXMLParserError instead of recursing without end.
constexpr int kMaxEntityNesting = 64;
constexpr std::size_t kMaxEntityExpansion = 16u * 1024 * 1024;
