// A stand-in for the XML parser where the document model needs one: a
// settable line, the output and loading options, the error list, and
// sub-parses that the tests script.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "xml/document.h"
#include "xml/dtd.h"
#include "xml/parserlink.h"
#include "xml/xmlstrings.h"

class FakeParser : public TLkXMLParserLink {
 public:
  int32_t line = 7;
  bool formatted = true;
  bool retrieve = true;
  TFileNotFoundEvent onFileNotFound;
  TLkErrorsList errors;
  WideString unconverted = u"untouched";
  std::vector<std::string> entityTexts;  // what ParseEntityText was given
  std::function<void(TLkXMLDocument&)> buildEntity;
  std::vector<std::string> subsets;
  std::function<void(TLkXMLDocument&)> buildSubset;

  int32_t GetLine() override { return line; }
  std::string GetSourceName() override { return "fake"; }
  bool GetFormatedOutput() override { return formatted; }
  bool GetRetrieveInternetURI() override { return retrieve; }
  TFileNotFoundEvent GetOnFileNotFound() override { return onFileNotFound; }
  TLkErrorsList& GetErrors() override { return errors; }
  void SetUnconvertedChars(const WideString& text) override { unconverted = text; }
  void ParseEntityText(TStream& source, TLkXMLDocument& into) override {
    TMemoryStream m;
    m.CopyFrom(source, 0);
    entityTexts.push_back(m.AsString());
    if (buildEntity) buildEntity(into);
  }
  void ParseExternalSubset(TMemoryStream& source, TLkXMLDocument& into) override {
    subsets.push_back(source.AsString());
    if (buildSubset) buildSubset(into);
  }
  // Sequence models of leaves only, each exactly once: enough to see that
  // the model's verdict is reported.
  bool AnalyzeContent(const std::vector<TLkXMLElement*>& children, TLkContentModel& model) override {
    std::size_t i = 0;
    for (TLkXMLNode* p = model.Children().First(); p; p = p->NextSibling(), ++i)
      if (i >= children.size() || XMLStrCompareText(children[i]->GetNodeName(), p->GetNodeName()) != 0) return false;
    return i == children.size();
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> m;
    for (int32_t i = 0; i < errors.Count(); ++i) m.push_back(errors.Items(i).Message);
    return m;
  }
};

// A document with the fake parser assigned.
struct FakeDoc {
  FakeParser parser;
  TLkXMLDocument doc;
  FakeDoc() { doc.AssignParser(&parser); }
};
