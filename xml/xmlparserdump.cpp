#include "xml/xmlparserdump.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "xml/document.h"
#include "xml/dtd.h"
#include "xml/entities.h"

namespace {

std::string Escaped(const WideString& text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
    }
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      continue;
    }
    out += "&#x";
    std::string digits;
    do {
      digits.insert(digits.begin(), kHex[c & 15]);
      c >>= 4;
    } while (c);
    out += digits + ";";
  }
  return out;
}

void DumpDeclarations(TLkDocumentType& docType, std::string& out) {
  out += "DOCTYPE " + Escaped(docType.GetNodeName());
  if (!docType.PublicId.empty()) out += " PUBLIC \"" + Escaped(docType.PublicId) + "\"";
  if (!docType.SystemId.empty()) out += " SYSTEM \"" + Escaped(docType.SystemId) + "\"";
  out += "\n";
  for (TLkXMLNode* n = docType.Declarations().First(); n; n = n->NextSibling()) {
    if (auto* entity = dynamic_cast<TLkCustomEntityDecl*>(n)) {
      out += dynamic_cast<TLkPEntityDecl*>(entity) ? "  ENTITY % " : "  ENTITY ";
      out += Escaped(entity->GetNodeName()) + " \"" + Escaped(entity->GetValue()) + "\"";
      if (auto* general = dynamic_cast<TLkGEntityDecl*>(entity); general && general->GetUnparsed())
        out += " NDATA " + Escaped(general->NotationName);
      out += "\n";
    } else if (auto* list = dynamic_cast<TLkAttListDecl*>(n)) {
      out += "  ATTLIST " + Escaped(list->GetNodeName());
      for (TLkXMLNode* d = list->Definitions().First(); d; d = d->NextSibling()) {
        auto* def = dynamic_cast<TLkAttDef*>(d);
        if (!def) continue;
        out += " " + Escaped(def->GetNodeName()) + ":" + static_cast<char>(def->Type) +
               static_cast<char>(def->DefaultKind) + "\"" + Escaped(def->DefaultValue()) + "\"";
        if (TLkEnumeration* e = def->Enumeration()) {
          out += "(";
          for (TLkXMLNode* v = e->Items().First(); v; v = v->NextSibling())
            out += Escaped(v->GetNodeName()) + (v->NextSibling() ? "|" : "");
          out += ")";
        }
      }
      out += "\n";
    } else if (n->GetKind() == ntElementDecl || n->GetKind() == ntNotation) {
      out += std::string(n->GetKind() == ntElementDecl ? "  ELEMENT " : "  NOTATION ") + Escaped(n->GetNodeName());
      if (auto* notation = dynamic_cast<TLkNotation*>(n))
        out += " \"" + Escaped(notation->PublicId) + "\" \"" + Escaped(notation->SystemId) + "\"";
      if (auto* decl = dynamic_cast<TLkElementDecl*>(n); decl && decl->ContentModel()) {
        TMemoryStream s;
        decl->ContentModel()->WriteTo(s, 0);
        WideString model(static_cast<std::size_t>(s.Size() / 2), u'\0');
        std::memcpy(model.data(), s.Memory(), model.size() * 2);
        out += " " + Escaped(model);
      }
      out += "\n";
    } else if (n->GetKind() == ntComment) {
      out += "  COMMENT \"" + Escaped(n->GetValue()) + "\"\n";
    } else if (n->GetKind() == ntPI) {
      out += "  PI " + Escaped(n->GetNodeName()) + " \"" + Escaped(n->GetValue()) + "\"\n";
    }
  }
}

void DumpChildren(TLkNodeList& list, int depth, std::string& out) {
  const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  for (TLkXMLNode* n = list.First(); n; n = n->NextSibling()) {
    switch (n->GetKind()) {
      case ntElement: {
        auto* element = static_cast<TLkXMLElement*>(n);
        std::vector<std::pair<std::string, std::string>> attributes;
        for (TLkXMLNode* a = element->FirstAttribute(); a; a = a->NextOfKind())
          attributes.emplace_back(Escaped(a->GetNodeName()), Escaped(a->GetValue()));
        std::sort(attributes.begin(), attributes.end());
        out += indent + "<" + Escaped(element->GetNodeName());
        for (const auto& a : attributes) out += " " + a.first + "=\"" + a.second + "\"";
        out += ">\n";
        DumpChildren(element->ChildNodes(), depth + 1, out);
        out += indent + "</" + Escaped(element->GetNodeName()) + ">\n";
        break;
      }
      case ntText:
        out += indent + "TEXT \"" + Escaped(n->GetValue()) + "\"\n";
        break;
      case ntCData:
        out += indent + "CDATA \"" + Escaped(n->GetValue()) + "\"\n";
        break;
      case ntComment:
        out += indent + "COMMENT \"" + Escaped(n->GetValue()) + "\"\n";
        break;
      case ntPI:
        out += indent + "PI " + Escaped(n->GetNodeName()) + " \"" + Escaped(n->GetValue()) + "\"\n";
        break;
      case ntDocType:
        DumpDeclarations(*static_cast<TLkDocumentType*>(n), out);
        break;
      default:
        break;  // declaration attributes are dumped first
    }
  }
}

}  // namespace

std::string CanonicalDump(TLkXMLDocument& document) {
  std::string out;
  std::vector<std::pair<std::string, std::string>> declaration;
  for (TLkXMLNode* a = document.FirstAttribute(); a; a = a->NextOfKind())
    declaration.emplace_back(Escaped(a->GetNodeName()), Escaped(a->GetValue()));
  out += "XML";
  for (const auto& a : declaration) out += " " + a.first + "=\"" + a.second + "\"";
  out += "\n";
  DumpChildren(document.ChildNodes(), 0, out);
  return out;
}
