#include "xml/document.h"

#include "xml/dtd.h"
#include "xml/parserlink.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {
std::string A(const WideString& w) { return WideToLatin1(w); }

WideString QuotedW(const WideString& s) { return u"\"" + s + u"\""; }
}  // namespace

// --- TDOMImplementation ---------------------------------------------------------------

bool TDOMImplementation::HasFeature(const WideString&, const WideString& version) const {
  for (TLkXMLNode* a = document_->ChildNodes().FirstOfKind(ntAttribute); a; a = a->NextOfKind())
    if (XMLStrCompare(a->GetValue(), version) == 0) return true;
  return false;
}

// --- TLkDocumentType ------------------------------------------------------------------

TLkDocumentType::TLkDocumentType(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkExternalNode(name, ntDocType, ownerDocument), declarations_(new TLkNodeList(ownerDocument, this)) {
  CheckName(name);
}

TLkDocumentType::~TLkDocumentType() { delete declarations_; }

void TLkDocumentType::ReleaseOwned(std::vector<TLkXMLNode*>& out) {
  if (TLkXMLNode* f = declarations_->Detach()) out.push_back(f);
}

bool TLkDocumentType::AddEntityDecl(TLkCustomEntityDecl* decl) {
  if (GetEntityDecl(decl->GetNodeName())) return false;
  declarations_->Append(decl);
  return true;
}

bool TLkDocumentType::AddAttListDecl(TLkAttListDecl* decl) {
  TLkAttListDecl* existing = GetAttListDecl(decl->GetNodeName());
  if (!existing) {
    declarations_->Append(decl);
    return true;
  }
  for (TLkXMLNode* d = decl->Definitions().First(); d; d = d->NextSibling()) {
    if (existing->FindDefinition(d->GetNodeName())) continue;
    std::unique_ptr<TLkAttDef> c(static_cast<TLkAttDef*>(d->Clone()));
    if (existing->AddDefinition(c.get())) c.release();
  }
  return false;
}

TLkElementDecl* TLkDocumentType::GetElementDecl(const WideString& name) const {
  return static_cast<TLkElementDecl*>(declarations_->FindNamed(name, ntElementDecl));
}
TLkAttListDecl* TLkDocumentType::GetAttListDecl(const WideString& name) const {
  return static_cast<TLkAttListDecl*>(declarations_->FindNamed(name, ntAttListDecl));
}
TLkCustomEntityDecl* TLkDocumentType::GetEntityDecl(const WideString& name) const {
  return static_cast<TLkCustomEntityDecl*>(declarations_->FindNamed(name, ntEntityDecl));
}

void TLkDocumentType::LoadExternalSubset() {
  TMemoryStream m;
  if (!LoadResource(m)) return;
  m.SetPosition(0);
  TLkXMLParserLink& parser = OwnerDocument->GetParser();
  try {
    parser.ParseExternalSubset(m, *OwnerDocument);
  } catch (const ELkXMLParserError& e) {
    throw ELkXMLParserError::CreatePos(e.Message(), parser.GetSourceName(), parser.GetLine(), e.Line);
  }
}

void TLkDocumentType::Validate() {
  TLkErrorsList& errors = OwnerDocument->GetParser().GetErrors();
  TLkXMLElement* root = OwnerDocument->GetDocumentElement();
  if (!root) {
    errors.Add("[XML]: Root element not found.", this);
    return;
  }
  if (XMLStrCompare(Name, root->GetNodeName()) != 0)
    errors.Add("[DTD]: Root name \"" + A(Name) + "\" in declaration does not match root name \"" +
                   A(root->GetNodeName()) + "\" in document.",
               this);
  // Each declaration of a name reports every further declaration of it:
  // k declarations give k * (k - 1) reports, found in one pass.
  std::unordered_map<WideString, std::vector<TLkXMLNode*>> byName;
  for (TLkXMLNode* d = declarations_->FirstOfKind(ntElementDecl); d; d = d->NextOfKind())
    byName[d->GetNodeName()].push_back(d);
  for (TLkXMLNode* d = declarations_->FirstOfKind(ntElementDecl); d; d = d->NextOfKind()) {
    const auto& same = byName[d->GetNodeName()];
    for (std::size_t i = 1; i < same.size(); ++i)
      errors.Add("[DTD]: Element \"" + A(d->GetNodeName()) + "\" is declared more than once.", same[i]);
  }
  if (OwnerDocument->GetStandalone()) {
    TLkXMLNode* standalone = OwnerDocument->GetAttributeNode(u"standalone");
    for (TLkXMLNode* d = declarations_->FirstOfKind(ntEntityDecl); d; d = d->NextOfKind())
      if (!static_cast<TLkCustomEntityDecl*>(d)->GetInternal())
        errors.Add("[XML]: Wrong document standalone declaration.", standalone);
  }
  for (TLkXMLNode* d = declarations_->FirstOfKind(ntEntityDecl); d; d = d->NextOfKind())
    if (auto* g = dynamic_cast<TLkGEntityDecl*>(d)) g->Validate();
}

void TLkDocumentType::WriteTo(TStream& stream, int32_t) {
  WriteWide(stream, u"<!DOCTYPE " + Name);
  WideString id = !PublicId.empty() ? PublicId : SystemId;
  if (OwnerDocument->DeclarationOutputMode == 0 && id.empty()) {
    WriteWide(stream, u" [");
    if (declarations_->First()) WriteWide(stream, u"\r\n");
    for (TLkXMLNode* d = declarations_->First(); d; d = d->NextSibling()) d->WriteTo(stream, 3);
    WriteWide(stream, u"]>\r\n");
    return;
  }
  if (!PublicId.empty())
    WriteWide(stream, u" PUBLIC " + QuotedW(PublicId) + u" " + QuotedW(SystemId));
  else
    WriteWide(stream, u" SYSTEM " + QuotedW(id));
  if (OwnerDocument->SavingToFile) {
    TMemoryStream units;
    for (TLkXMLNode* d = declarations_->First(); d; d = d->NextSibling()) d->WriteTo(units, 0);
    WideString text(reinterpret_cast<const char16_t*>(units.Memory()), static_cast<std::size_t>(units.Size() / 2));
    std::string bytes = "\xFF\xFE" + WideToEncoded(text, UTF_16, false);
    auto write = [&](const WideString& name) {
      try {
        TXMLFileStream f(A(name), xmlGenericWrite, xmlFileShareRead, xmlCreateAlways, xmlFileAttributeNormal);
        f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        return true;
      } catch (const EStreamError&) {
        return false;
      }
    };
    if (!write(id)) write(!PublicId.empty() ? SystemId : Name + u".dtd");
  }
  WriteWide(stream, u" []>\r\n");
}

// --- TLkXMLDocument ---------------------------------------------------------------------

TLkXMLDocument::TLkXMLDocument() : TLkContainer(WideString(), this, ntDocument) { AddVersion(); }

TLkXMLDocument::~TLkXMLDocument() {
  ClearIDs();
  ChildNodes().Clear();
}

void TLkXMLDocument::AddVersion() {
  std::unique_ptr<TLkXMLAttr> v(new TLkXMLAttr(u"version", u"1.0", this, 1));
  setAttributeNode(v.get());
  v.release();
}

void TLkXMLDocument::Clear() {
  ClearIDs();
  ResetChildList();
  AddVersion();
  encoding_ = US_ASCII;
}

TLkXMLParserLink& TLkXMLDocument::GetParser() const {
  if (!parser_)
    throw ELkXMLParserError("XMLParser component not assigned to XMLDocument. Use TLkXMLDocument.AssignParser method",
                            0);
  return *parser_;
}

int32_t TLkXMLDocument::ErrorLine() const { return GetParser().GetLine(); }

void TLkXMLDocument::setDocumentElement(TLkXMLElement* element) {
  if (GetDocumentElement())
    throw ELkDOMException(INVALID_CHARACTER_ERR, "TLkXMLDocument.setDocumentElement: DocumentElement alredy exists");
  ChildNodes().Append(element);
}

TLkXMLElement* TLkXMLDocument::GetDocumentElement() const {
  return static_cast<TLkXMLElement*>(ChildNodes().FirstOfKind(ntElement));
}

TLkXMLElement* TLkXMLDocument::NewElement(const WideString& name) { return new TLkXMLElement(name, this); }

void TLkXMLDocument::SetDocType(TLkDocumentType* docType) { ChildNodes().insertBefore(docType, GetDocumentElement()); }

TLkDocumentType* TLkXMLDocument::GetDocType() const {
  return static_cast<TLkDocumentType*>(ChildNodes().FirstOfKind(ntDocType));
}

std::string TLkXMLDocument::GetVersion() const { return A(GetAttributeValue(u"version")); }

void TLkXMLDocument::SetEncoding(const std::string& name) {
  TEncoding e = EncodingFromName(name);
  if (e == n_sup) {
    TLkXMLParserLink& p = GetParser();
    throw ELkXMLParserError::CreateSource("Encoding '" + name + "' is not supported in this version of XMLParser.",
                                          p.GetLine(), p.GetSourceName());
  }
  encoding_ = e;
  WideString value = Latin1ToWide(name);
  if (TLkXMLAttr* a = GetAttributeNode(u"encoding")) {
    a->SetValue(value);
    return;
  }
  std::unique_ptr<TLkXMLAttr> a(TLkXMLAttr::CreateUnescaped(u"encoding", value, this, 1));
  a->SetValue(value);
  ChildNodes().insertAfter(a.get(), GetAttributeNode(u"version"));
  a.release();
}

void TLkXMLDocument::SetStandalone(bool standalone) { SetAttributeValue(u"standalone", standalone ? u"yes" : u"no"); }

bool TLkXMLDocument::GetStandalone() const {
  TLkXMLAttr* a = GetAttributeNode(u"standalone");
  return a && XMLStrCompareText(a->GetValue(), u"yes") == 0;
}

void TLkXMLDocument::CollectIDs() {
  ClearIDs();
  TLkXMLElement* root = GetDocumentElement();
  if (!root) return;
  idList_.reset(root->AttributesByType(atID));
  for (TLkXMLNode* a = idList_->First(); a; a = a->NextSibling()) ++idCounts_[a->GetValue()];
}

void TLkXMLDocument::ClearIDs() {
  idList_.reset();
  idCounts_.clear();
}

int32_t TLkXMLDocument::IDCount(const WideString& value) const {
  auto it = idCounts_.find(value);
  return it == idCounts_.end() ? 0 : it->second;
}

void TLkXMLDocument::SaveToStream(TStream& stream) {
  TLkXMLParserLink& parser = GetParser();
  Buffer.Reset();
  TMemoryStream units;
  WriteWide(units, u"<?xml");
  for (TLkXMLNode* a = ChildNodes().FirstOfKind(ntAttribute); a; a = a->NextOfKind()) a->WriteTo(units, 0);
  WriteWide(units, u"?>\r\n");
  TextWritten = false;
  for (TLkXMLNode* n = ChildNodes().First(); n; n = n->NextSibling())
    if (n->GetKind() != ntAttribute) n->WriteTo(units, 0);
  WideString text(reinterpret_cast<const char16_t*>(units.Memory()), static_cast<std::size_t>(units.Size() / 2));
  std::string bytes = WideToEncoded(text, encoding_, ByteOrder == 1);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  parser.SetUnconvertedChars(Buffer.GetText());
}

void TLkXMLDocument::SaveToFile(const std::string& fileName) {
  GetParser();  // before the file is touched
  // The whole text is made first, so a failure leaves no half-written file.
  TMemoryStream bytes;
  if (encoding_ == UTF_16) bytes.WriteBuffer(ByteOrder == 1 ? "\xFE\xFF" : "\xFF\xFE", 2);
  SavingToFile = true;
  try {
    SaveToStream(bytes);
  } catch (...) {
    SavingToFile = false;
    throw;
  }
  SavingToFile = false;
  TXMLFileStream f(fileName, xmlGenericWrite, xmlFileShareRead, xmlCreateAlways, xmlFileAttributeNormal);
  if (f.Write(bytes.Memory(), bytes.Size()) != bytes.Size()) throw EWriteError();
}
