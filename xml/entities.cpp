#include "xml/entities.h"

#include <cctype>

#include "base/streams.h"
#include "xml/document.h"
#include "xml/parserlink.h"
#include "xml/platform.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {

std::string A(const WideString& w) { return WideToLatin1(w); }

int32_t LineOf(const TLkXMLDocument* d) { return d ? d->ErrorLine() : 0; }

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// Trimmed, and each run of blanks after the first character made one "_".
std::string CanonicalSpaces(const std::string& url) {
  std::string t = Trim(url), out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (i > 0 && t[i] == ' ') {
      while (i + 1 < t.size() && t[i + 1] == ' ') ++i;
      out += '_';
    } else {
      out += t[i];
    }
  }
  return out;
}

// What one external resource may bring: a fetch that goes on past this
// fails instead of filling the memory.
constexpr int64_t kMaxResourceBytes = int64_t{16} << 20;

// Passes writes on to the destination up to the cap; beyond it refuses them.
class TCappedStream : public TStream {
 public:
  explicit TCappedStream(TStream& dest) : dest_(dest) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    if (written_ + count > kMaxResourceBytes) {
      overflow_ = true;
      return 0;
    }
    int64_t n = dest_.Write(buffer, count);
    written_ += n;
    return n;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return written_; }
  void SetSize(int64_t) override {}
  bool Overflow() const { return overflow_; }

 private:
  TStream& dest_;
  int64_t written_ = 0;
  bool overflow_ = false;
};

bool Fetch(const std::string& url, TStream& dest) {
  TLkResourceFetcher* f = XMLPlatform().Fetcher;
  if (!f) return false;
  TCappedStream capped(dest);
  bool got = false;
  try {
    got = f->Fetch(CanonicalSpaces(url), capped);
  } catch (const EStreamError&) {
    got = false;
  }
  return got && !capped.Overflow();
}

// Only the scheme of a system identifier is case-insensitive: paths and the
// rest of a URL keep their case.
std::string LowerScheme(const std::string& id) {
  std::size_t colon = id.find("://");
  if (colon == std::string::npos) return id;
  std::string scheme = id.substr(0, colon);
  for (char& c : scheme)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return scheme + id.substr(colon);
}

std::string Quoted(const WideString& s) { return "\"" + A(s) + "\""; }

WideString EscapeValue(const WideString& v) { return EscapeChar(EscapeChar(v, u'&'), u'"'); }

// The value as UTF-16 code units in a file of its own (an external subset
// or entity written beside the document), behind a byte-order mark so that
// it reads back.
bool WriteUnitsFile(const WideString& name, const WideString& text) {
  try {
    TXMLFileStream f(A(name), xmlGenericWrite, xmlFileShareRead, xmlCreateAlways, xmlFileAttributeNormal);
    std::string bytes = "\xFF\xFE" + WideToEncoded(text, UTF_16, false);
    f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return true;
  } catch (const EStreamError&) {
    return false;
  }
}

}  // namespace

// --- external resources ----------------------------------------------------------

bool TLkExternalNode::LoadResource(TStream& dest) {
  TLkXMLParserLink& parser = OwnerDocument->GetParser();
  bool internet = parser.GetRetrieveInternetURI();
  std::string last;
  bool got = false;
  std::string pub = LowerAscii(Trim(A(PublicId)));
  if (!pub.empty()) {
    last = pub;
    if (internet) got = Fetch(XMLPlatform().PublicIdService + "/cgi-bin/PUBLIC?" + pub, dest);
  }
  std::string sys = LowerScheme(Trim(A(SystemId)));
  if (!got && !sys.empty()) {
    last = sys;
    if (StartsWith(sys, "http://") || StartsWith(sys, "ftp://")) {
      if (!internet) return false;
      got = Fetch(sys, dest);
    } else if (std::string path; parser.LocalResourcePath(sys, path) && FileExists(path)) {
      try {
        TFileStream f(path, fmOpenRead | fmShareDenyNone);
        got = f.Size() <= kMaxResourceBytes;
        if (got) dest.CopyFrom(f, 0);
      } catch (const EStreamError&) {
        got = false;
      }
    }
  }
  if (!got) {
    TFileNotFoundEvent onNotFound = parser.GetOnFileNotFound();
    if (onNotFound) onNotFound(this, last);
  }
  return got;
}

// --- notation -------------------------------------------------------------------------

TLkNotation::TLkNotation(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkExternalNode(name, ntNotation, ownerDocument) {
  CheckName(name);
}

void TLkNotation::WriteTo(TStream& stream, int32_t indent) {
  WideString s = Indent(indent) + u"<!NOTATION " + Name;
  if (!PublicId.empty()) {
    s += u"\r\n" + Indent(indent + 10) + u"PUBLIC \"" + PublicId + u"\"";
    if (!SystemId.empty()) s += u" \"" + SystemId + u"\"";
  } else if (!SystemId.empty()) {
    s += u"\r\n" + Indent(indent + 10) + u"SYSTEM \"" + SystemId + u"\"";
  }
  WriteWide(stream, s + u">\r\n");
}

// --- entity declarations -----------------------------------------------------------------

TLkCustomEntityDecl::TLkCustomEntityDecl(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkExternalNode(name, ntEntityDecl, ownerDocument) {
  CheckName(name);
}

void TLkCustomEntityDecl::SetValue(const WideString& value) {
  if (!internal_) throw ELkXMLParserError("Can not set a value of an external entity.", 0);
  Value = value;
  Normalize();
}

namespace {

// Nested references of entity values: names already being expanded.
std::vector<WideString>& InProgress() {
  static std::vector<WideString> names;
  return names;
}

struct Expanding {
  explicit Expanding(const WideString& name, const TLkXMLDocument* doc) {
    auto& v = InProgress();
    for (const auto& n : v)
      if (n == name) throw ELkXMLParserError("Recursive reference to the entity \"" + A(name) + "\".", LineOf(doc));
    if (v.size() >= static_cast<std::size_t>(kMaxEntityNesting))
      throw ELkXMLParserError("Entity references nest more than " + std::to_string(kMaxEntityNesting) + " levels deep.",
                              LineOf(doc));
    v.push_back(name);
  }
  ~Expanding() { InProgress().pop_back(); }
};

enum class TValueRules { EntityValue, ParameterReference };

WideString NormalizeEntityText(const WideString& v, const TLkXMLDocument* doc, TValueRules rules) {
  std::size_t n = static_cast<std::size_t>(XMLStrLen(v));
  TStringBuffer out(100);
  std::size_t produced = 0;
  for (std::size_t i = 0; i < n; ++i) {
    WideChar c = v[i];
    if (c == u'\t' || c == u'\r' || c == u' ') {
      if (rules == TValueRules::ParameterReference || i == 0 || v[i - 1] != u' ') out.AddChar(u' ');
    } else if (c == u'\n') {
      if (i == 0 || v[i - 1] != u'\r') out.AddChar(u' ');
    } else if (c == u'&' || c == u'%') {
      if (i + 1 >= n) throw ELkXMLParserError("Illegal character in the entity value '&&' or '%'.", LineOf(doc));
      std::size_t semi = v.find(u';', i + 1);
      if (semi == WideString::npos || semi >= n)
        throw ELkXMLParserError("Illegal character in the the entity value '&&' or '%'.", 0);
      WideString name = v.substr(i + 1, semi - i - 1);
      if (XMLStrLen(XMLStrTrim(name)) == 0) throw ELkXMLParserError("Illegal (empty) reference name.", LineOf(doc));
      WideString written = WideString(1, c) + name + u";";
      i = semi;
      std::unique_ptr<TLkCustomReference> ref;
      if (c == u'%')
        ref = std::make_unique<TLkPEntityReference>(name, const_cast<TLkXMLDocument*>(doc));
      else if (name[0] == u'#')
        ref = std::make_unique<TLkCharReference>(name, const_cast<TLkXMLDocument*>(doc));
      else
        ref = std::make_unique<TLkGEntityReference>(name, const_cast<TLkXMLDocument*>(doc));
      char code = ref->Code();
      if (code == rcUnparsed)
        throw ELkXMLParserError("Reference to an unparsed entity is not allowed in the entity value.", LineOf(doc));
      bool keep = rules == TValueRules::EntityValue
                      ? (code == rcInternal || code == rcExternalParsed || code == rcUndeclared)
                      : (code == rcInternal || code == rcExternalParsed);
      if (!keep && ref->Resolve()) {
        produced += ref->GetValue().size();
        if (produced > kMaxEntityExpansion)
          throw ELkXMLParserError("Entity references expand to more than " + std::to_string(kMaxEntityExpansion) +
                                      " characters.",
                                  LineOf(doc));
        out.AddString(ref->GetValue());
      } else {
        out.AddString(written);
      }
    } else {
      out.AddChar(c);
    }
  }
  return out.GetText();
}

}  // namespace

void TLkCustomEntityDecl::Normalize() {
  Expanding guard(Name, OwnerDocument);
  Value = NormalizeEntityText(Value, OwnerDocument, TValueRules::EntityValue);
}

void TLkCustomEntityDecl::Load() {
  TMemoryStream m;
  if (LoadResource(m)) Value = Latin1ToWide(m.AsString());
}

void TLkCustomEntityDecl::WriteTo(TStream& stream, int32_t indent) {
  WideString s = Indent(indent) + u"<!ENTITY " + (IsParameter() ? u"% " : u"") + Name + u" ";
  auto* g = dynamic_cast<TLkGEntityDecl*>(this);
  if (!PublicId.empty() || !SystemId.empty()) {
    if (!PublicId.empty())
      s += u" PUBLIC \"" + PublicId + u"\" \"" + SystemId + u"\"";
    else
      s += u" SYSTEM \"" + SystemId + u"\"";
    if (g && g->GetUnparsed()) {
      s += u"\r\n" + Indent(indent + 10) + u"NDATA " + g->NotationName;
    } else if (OwnerDocument && OwnerDocument->SavingToFile) {
      WideString text = EscapeValue(Value);
      if (!WriteUnitsFile(!PublicId.empty() ? PublicId : SystemId, text))
        WriteUnitsFile(!PublicId.empty() ? SystemId : Name + u".ent", text);
    }
  } else {
    s += u"\"" + EscapeValue(Value) + u"\"";
  }
  WriteWide(stream, s + u">\r\n");
}

void TLkGEntityDecl::Load() {
  if (!GetUnparsed()) TLkCustomEntityDecl::Load();
}

void TLkGEntityDecl::Validate() {
  if (!unparsed_) return;
  TLkDocumentType* dt = OwnerDocument->GetDocType();
  bool declared = false;
  if (dt)
    for (TLkXMLNode* n = dt->Declarations().FirstOfKind(ntNotation); n && !declared; n = n->NextOfKind())
      declared = XMLStrCompare(n->GetNodeName(), NotationName) == 0;
  if (!declared)
    OwnerDocument->GetParser().GetErrors().Add(
        "[Unparsed entity declaration: " + Quoted(Name) + "]: Notation name " + Quoted(NotationName) + " is not declared.",
        this);
}

void TLkGEntityDecl::WriteTo(TStream& stream, int32_t indent) { TLkCustomEntityDecl::WriteTo(stream, indent); }

// --- references -------------------------------------------------------------------------

namespace {
char CodeFor(const WideString& name, TLkXMLDocument* doc) {
  if (!name.empty() && name[0] == u'#') return rcChar;
  TLkDocumentType* dt = doc ? doc->GetDocType() : nullptr;
  TLkCustomEntityDecl* e = dt ? dt->GetEntityDecl(name) : nullptr;
  if (!e) return rcUndeclared;
  if (dynamic_cast<TLkPEntityDecl*>(e)) return rcParameter;
  auto* g = static_cast<TLkGEntityDecl*>(e);
  if (g->GetUnparsed()) return rcUnparsed;
  return g->GetInternal() ? rcInternal : rcExternalParsed;
}

TLkCustomEntityDecl* DeclaredEntity(const WideString& name, TLkXMLDocument* doc) {
  TLkDocumentType* dt = doc ? doc->GetDocType() : nullptr;
  return dt ? dt->GetEntityDecl(name) : nullptr;
}
}  // namespace

TLkCustomReference::TLkCustomReference(const WideString& name, TLkXMLDocument* ownerDocument)
    : TLkXMLNode(name, ntReference, ownerDocument), code_(CodeFor(name, ownerDocument)) {}

bool TLkGEntityReference::Resolve() {
  static const struct {
    const char16_t* name;
    const char16_t* text;
  } kPredefined[] = {{u"amp", u"&"}, {u"apos", u"'"}, {u"quot", u"\""}, {u"lt", u"<"}, {u"gt", u">"}};
  for (const auto& p : kPredefined)
    if (Name == p.name) {
      Value = p.text;
      return true;
    }
  bool found = false;
  if (TLkCustomEntityDecl* e = DeclaredEntity(Name, OwnerDocument)) {
    Expanding guard(Name, OwnerDocument);
    Value = e->GetValue();
    found = true;
    Normalize();
  } else {
    Value.clear();
  }
  return found;
}

void TLkGEntityReference::ParseReplacementText(TLkXMLDocument*& document) {
  delete document;
  document = nullptr;
  document = new TLkXMLDocument();
  TLkXMLParserLink& parser = OwnerDocument->GetParser();
  TEncoding enc = OwnerDocument->Encoding();
  bool bigEndian = OwnerDocument->ByteOrder == 1;
  // UTF-16 text needs its mark to be read as UTF-16.
  std::string bytes = enc == UTF_16 ? std::string(bigEndian ? "\xFE\xFF" : "\xFF\xFE") : std::string();
  bytes += WideToEncoded(Value, enc, bigEndian);
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  int32_t line = parser.GetLine();
  try {
    parser.ParseEntityText(stream, *document);
  } catch (const ELkXMLParserError& e) {
    throw ELkXMLParserError::CreatePos(e.Message(), e.SourceName, line, e.Line);
  }
}

bool TLkPEntityReference::Resolve() {
  TLkCustomEntityDecl* e = DeclaredEntity(Name, OwnerDocument);
  if (!e) {
    Value.clear();
    return false;
  }
  Expanding guard(Name, OwnerDocument);
  Value = e->GetValue();
  Normalize();
  return true;
}

void TLkPEntityReference::Normalize() {
  Value = NormalizeEntityText(Value, OwnerDocument, TValueRules::ParameterReference);
}

void TLkPEntityReference::WriteTo(TStream& stream, int32_t indent) { WriteWide(stream, Indent(indent) + Name + u"\r\n"); }

bool TLkCharReference::Resolve() {
  WideString digits = Name.substr(1);
  bool hex = !digits.empty() && (digits[0] == u'x' || digits[0] == u'X');
  if (hex) digits = digits.substr(1);
  int32_t n = XMLStrLen(digits);
  if (n == 0) return false;
  for (int32_t i = 0; i < n; ++i) {
    WideChar c = digits[static_cast<std::size_t>(i)];
    if (hex ? !IsHexDigit(c) : !(c >= u'0' && c <= u'9')) return false;  // no number
  }
  int64_t cp = 0;
  if (hex) {
    cp = HexToInt(digits);
  } else {
    for (int32_t i = 0; i < n && cp <= 0x10FFFF; ++i) cp = cp * 10 + (digits[static_cast<std::size_t>(i)] - u'0');
  }
  bool ok = cp <= 0x10FFFF && (cp > 0xFFFF || IsXMLChar(static_cast<WideChar>(cp)));
  if (!ok)
    throw ELkXMLParserError("The character reference \"&" + A(Name) + ";\" does not name an XML character.",
                            LineOf(OwnerDocument));
  Value = CodePointToUtf16(static_cast<uint32_t>(cp));
  return true;
}
