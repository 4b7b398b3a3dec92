// What the document model asks of the parser assigned to a document: the
// current line for errors, output and loading options, the validation error
// list, and the sub-parses that the model starts (replacement text of an
// entity, an external DTD subset, content-model matching). The XML parser
// implements this interface; the model never depends on the parser classes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/events.h"
#include "base/streams.h"
#include "xml/parsersupport.h"
#include "xml/xmlstring.h"

class TLkXMLDocument;
class TLkXMLElement;
class TLkContentModel;

// Called with the node and the lower-cased identifier of an external
// resource that could not be loaded.
using TFileNotFoundEvent = TEvent<void(TObject* sender, const std::string& fileName)>;

class TLkXMLParserLink {
 public:
  virtual ~TLkXMLParserLink() = default;
  virtual int32_t GetLine() = 0;
  virtual std::string GetSourceName() { return std::string(); }
  virtual bool GetFormatedOutput() = 0;
  virtual bool GetRetrieveInternetURI() = 0;
  virtual TFileNotFoundEvent GetOnFileNotFound() = 0;
  // The file that an external identifier names, or false when the parser
  // may not read it.
  virtual bool LocalResourcePath(const std::string& identifier, std::string& path) {
    path = identifier;
    return true;
  }
  virtual TLkErrorsList& GetErrors() = 0;
  // The field into which the parser copies the unmapped characters of a parse.
  virtual void SetUnconvertedChars(const WideString& text) = 0;

  // A fresh parser without owner, in external-entity mode ("e"), parses
  // `source` into `into`. ELkXMLParserError passes to the caller.
  virtual void ParseEntityText(TStream& source, TLkXMLDocument& into) = 0;
  // A fresh DTD parser reads an external subset into the declarations of
  // `into`'s document type.
  virtual void ParseExternalSubset(TMemoryStream& source, TLkXMLDocument& into) = 0;
  // Whether `children` (the element children in document order) match a
  // "children" content model.
  virtual bool AnalyzeContent(const std::vector<TLkXMLElement*>& children, TLkContentModel& model) = 0;
};
