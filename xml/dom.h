// The document object model: nodes, node lists and containers.
#pragma once

#include <cstdint>
#include <string>

#include "forms/base/events.h"
#include "xml/xmlstring.h"

class TLkXMLDocument;

class TLkXMLNode : public TObject {
 public:
  TLkXMLNode(const WideString& name, uint8_t kind, TLkXMLDocument* ownerDocument)
      : Name(name), Kind(kind), OwnerDocument(ownerDocument) {}
  const WideString& GetNodeName() const { return Name; }

 protected:
  WideString Name;
  WideString Value;
  uint8_t Kind;
  TLkXMLNode* Parent = nullptr;
  TLkXMLNode* NextSiblingNode = nullptr;
  TLkXMLNode* PreviousSiblingNode = nullptr;
  TLkXMLDocument* OwnerDocument;
};
