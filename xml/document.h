// The document, its document type and the output of a tree as XML text.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "xml/codepages.h"
#include "xml/dom.h"
#include "xml/entities.h"
#include "xml/parsersupport.h"

class TLkXMLParserLink;
class TLkElementDecl;
class TLkAttListDecl;
class TLkCustomEntityDecl;
class TLkXMLDocument;

class TDOMImplementation {
 public:
  explicit TDOMImplementation(TLkXMLDocument* document) : document_(document) {}
  // True when `version` equals the value of one of the declaration attributes.
  bool HasFeature(const WideString& feature, const WideString& version) const;

 private:
  TLkXMLDocument* document_;
};

class TLkDocumentType : public TLkExternalNode {
 public:
  TLkDocumentType(const WideString& name, TLkXMLDocument* ownerDocument);
  ~TLkDocumentType() override;

  TLkNodeList& Declarations() { return *declarations_; }
  void AddElementDecl(TLkXMLNode* decl) { declarations_->Append(decl); }
  void AddNotation(TLkXMLNode* notation) { declarations_->Append(notation); }
  void AddNode(TLkXMLNode* node) { declarations_->Append(node); }
  // False (and nothing added) when an entity of that name exists: the first binds.
  bool AddEntityDecl(TLkCustomEntityDecl* decl);
  // Merges into an existing list of that element name (returning false);
  // the new declaration stays the caller's then.
  bool AddAttListDecl(TLkAttListDecl* decl);
  TLkElementDecl* GetElementDecl(const WideString& name) const;
  TLkAttListDecl* GetAttListDecl(const WideString& name) const;
  TLkCustomEntityDecl* GetEntityDecl(const WideString& name) const;

  // Slot 7: the external subset, parsed into the document's declarations.
  void Load() override { LoadExternalSubset(); }
  void LoadExternalSubset();
  void Validate() override;
  void WriteTo(TStream& stream, int32_t indent) override;
  void ReleaseOwned(std::vector<TLkXMLNode*>& out) override;

 private:
  TLkNodeList* declarations_;
};

class TLkXMLDocument : public TLkContainer {
 public:
  TLkXMLDocument();
  ~TLkXMLDocument() override;

  void Clear();
  void AssignParser(TLkXMLParserLink* parser) { parser_ = parser; }
  // Raises ELkXMLParserError when no parser is assigned.
  TLkXMLParserLink& GetParser() const;
  TLkXMLParserLink* AssignedParser() const { return parser_; }

  void setDocumentElement(TLkXMLElement* element);
  TLkXMLElement* GetDocumentElement() const;
  TLkXMLElement* NewElement(const WideString& name);
  void SetDocType(TLkDocumentType* docType);
  TLkDocumentType* GetDocType() const;
  std::string GetVersion() const;
  void SetEncoding(const std::string& name);
  TEncoding Encoding() const { return encoding_; }
  void SetStandalone(bool standalone);
  bool GetStandalone() const;
  TDOMImplementation& Implementation() { return implementation_; }

  void SaveToStream(TStream& stream);
  void SaveToFile(const std::string& fileName);

  // Output state, shared by the nodes while they write.
  bool TextWritten = false;
  bool SavingToFile = false;
  uint8_t DeclarationOutputMode = 0;
  uint8_t ByteOrder = 1;  // big-endian UTF-16
  TStringBuffer Buffer{100};
  // Line for errors raised by the model: the parser's, 0 without one.
  int32_t ErrorLine() const;

  // The attributes of type ID of the tree, for validation: collected from
  // the document element, counted by value.
  void CollectIDs();
  void ClearIDs();
  TLkNodeList* IDList() const { return idList_.get(); }
  int32_t IDCount(const WideString& value) const;

 private:
  void AddVersion();

  TLkXMLParserLink* parser_ = nullptr;
  TEncoding encoding_ = UTF_8;
  TDOMImplementation implementation_{this};
  std::unique_ptr<TLkNodeList> idList_;
  std::unordered_map<WideString, int32_t> idCounts_;

 public:
  // For the parser: the encoding taken from a byte-order mark or the
  // default, without a declaration attribute.
  void SetEncodingValue(TEncoding e) { encoding_ = e; }
};
