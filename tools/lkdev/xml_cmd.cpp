// lkdev xml check FILE [--validate] [--no-net]
// lkdev xml dump FILE
//
// check prints "ok", or the parse error as FILE:LINE: MESSAGE (with the
// line inside an entity's text when the error arose there), or each
// validation finding; the status is 0 or 1. dump prints the canonical form
// of the parsed tree (xml/xmlparserdump.h).
#include <memory>
#include <string>

#include "base/component.h"
#include "base/streams.h"
#include "base/sysutils.h"
#include "tools/lkdev/lkdev.h"
#include "xml/document.h"
#include "xml/xmlerrors.h"
#include "xml/xmlparser.h"
#include "xml/xmlparserdump.h"

namespace {

int RunXml(const TDevArgs& args) {
  if (args.size() < 2 || (args[0] != "check" && args[0] != "dump")) throw EDevUsage("expected check FILE or dump FILE");
  const bool check = args[0] == "check";
  bool validate = false, noNet = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (check && args[i] == "--validate")
      validate = true;
    else if (check && args[i] == "--no-net")
      noNet = true;
    else
      throw EDevUsage("unknown option " + args[i]);
  }
  const std::string& file = args[1];
  TMemoryStream input;
  input.LoadFromFile(file);

  TComponent owner(nullptr);  // an owned parser applies DefaultEncoding
  auto* parser = new TLkXMLParser(&owner);
  parser->ValidateDocument = validate;
  parser->ForbidNetwork = noNet;
  parser->SourceName = file;
  parser->OnFileNotFound = TFileNotFoundEvent([](TObject*, const std::string& name) {
    WriteOut("not found: " + name + "\n");
  });
  std::unique_ptr<TLkXMLDocument> document(new TLkXMLDocument());
  TLkXMLDocument* doc = document.get();
  bool valid;
  try {
    valid = parser->ParseStream(input, doc);
  } catch (const ELkXMLParserError& e) {
    std::string where = (e.SourceName.empty() ? file : e.SourceName) + ":" + IntToStr(e.Line);
    if (e.InnerLine) where += ":" + IntToStr(e.InnerLine);
    WriteOut(where + ": " + e.Message() + "\n");
    return 1;
  } catch (const ELkDOMException& e) {
    WriteOut(file + ": " + e.FullText() + "\n");
    return 1;
  }
  if (!check) {
    WriteOut(CanonicalDump(*doc));
    return 0;
  }
  if (!valid) {
    for (int32_t i = 0; i < parser->Errors().Count(); ++i) WriteOut(parser->Errors().Items(i).Message + "\n");
    return 1;
  }
  WriteOut("ok\n");
  return 0;
}

const TDevCommandRegistrar kXml({"xml", "xml check FILE [--validate] [--no-net]\nxml dump FILE", RunXml});

}  // namespace
