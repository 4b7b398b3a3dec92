#include "xml/xmlobject.h"

#include <exception>

#include "base/streams.h"
#include "base/sysutils.h"
#include "xml/document.h"
#include "xml/platform.h"
#include "xml/xmlerrors.h"
#include "xml/xmlparser.h"
#include "xml/xmlstrings.h"

namespace {

// Windows-1252 at 0x80..0x9F; the five bytes it leaves undefined map to the
// control characters of the same number, as Windows maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool WideToCp1252(const WideString& text, std::string& out) {
  out.clear();
  bool exact = true;
  const auto n = static_cast<std::size_t>(XMLStrLen(text));
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    int byte = -1;
    for (int k = 0; k < 32 && byte < 0; ++k)
      if (kCp1252High[k] == c) byte = 0x80 + k;
    if (byte < 0) {
      exact = false;
      out += '?';
      // A surrogate pair is one character.
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
    } else {
      out += static_cast<char>(byte);
    }
  }
  return exact;
}

bool Cp1252ToWide(const std::string& text, WideString& out) {
  out.clear();
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    out += b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return true;
}

bool ConvertToAnsi(const WideString& text, std::string& out) {
  auto convert = XMLPlatform().WideToAnsi;
  return convert ? convert(text, out) : WideToCp1252(text, out);
}

}  // namespace

TLkXMLParser& SharedXMLParser() {
  static TLkXMLParser* parser = [] {
    auto* p = new TLkXMLParser(nullptr);
    // The skin reader's parser: a document type in a skin must not make
    // every protected launch reach the network.
    p->ForbidNetwork = true;
    p->ConfineFiles = true;
    return p;
  }();
  return *parser;
}

std::string WideToAnsi(const WideString& text) {
  std::string out;
  ConvertToAnsi(text, out);
  return out;
}

std::string WideToAnsiExact(const WideString& text) {
  std::string out;
  if (!ConvertToAnsi(text, out))
    throw EConvertError("The text \"" + out + "\" holds characters that the system's code page cannot show");
  return out;
}

WideString AnsiToWide(const std::string& text) {
  WideString out;
  auto convert = XMLPlatform().AnsiToWide;
  if (convert)
    convert(text, out);
  else
    Cp1252ToWide(text, out);
  return out;
}

TXMLObject::TXMLObject() : document_(std::make_unique<TLkXMLDocument>()) {
  document_->AssignParser(&SharedXMLParser());
}

TXMLObject::~TXMLObject() = default;

std::string TXMLObject::GetXMLText() {
  TMemoryStream text;
  document_->SaveToStream(text);
  return text.AsString();
}

bool TXMLObject::LoadFromString(const std::string& text) {
  TMemoryStream source;
  source.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  source.SetPosition(0);
  return Parse(source, std::string(), std::string());
}

bool TXMLObject::LoadFromFile(const std::string& path) {
  TFileStream source(path, fmOpenRead | fmShareDenyWrite);
  return Parse(source, path, ExtractFilePath(path));
}

void TXMLObject::SaveToFile(const std::string& path) { document_->SaveToFile(path); }

TLkXMLElement* TXMLObject::GetDocumentElement() const { return document_->GetDocumentElement(); }

bool TXMLObject::Parse(TStream& source, const std::string& sourceName, const std::string& folder) {
  TLkXMLParser& parser = SharedXMLParser();
  parser.SourceName = sourceName;
  parser.FileFolder = folder;
  failure_ = TXMLParseFailure{};
  TLkXMLDocument* document = document_.get();
  try {
    parser.ParseStream(source, document);
    return true;
  } catch (const ELkXMLParserError& e) {
    failure_ = {e.Message(), e.Line};
  } catch (const ELkDOMException& e) {
    failure_ = {e.FullText(), 0};
  } catch (const std::exception& e) {
    failure_ = {e.what(), 0};
  } catch (...) {
    failure_ = {"Unknown exception", 0};
  }
  return false;
}
