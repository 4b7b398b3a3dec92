#include "tests/xml_parser/parser_test_util.h"

#include <unistd.h>

#include <filesystem>

#include "base/streams.h"
#include "xml/xmlerrors.h"
#include "xml/xmlparserdump.h"

std::unique_ptr<TParse> Parse(const std::string& bytes, const TSetup& setup, bool owned) {
  auto p = std::make_unique<TParse>();
  if (owned) p->owner = std::make_unique<TComponent>(nullptr);
  p->parser = std::make_unique<TLkXMLParser>(nullptr);
  if (owned) p->parser.reset(new TLkXMLParser(p->owner.get()));
  if (setup) setup(*p->parser);
  p->document = std::make_unique<TLkXMLDocument>();
  TMemoryStream stream;
  stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  TLkXMLDocument* doc = p->document.get();
  try {
    p->result = p->parser->ParseStream(stream, doc);
    p->dump = CanonicalDump(*doc);
  } catch (const ELkXMLParserError& e) {
    p->failed = true;
    p->error = e.Message();
    p->line = e.Line;
    p->innerLine = e.InnerLine;
  } catch (const ELkDOMException& e) {
    p->failed = true;
    p->error = e.FullText();
  }
  if (owned) p->parser.release();  // freed with its owner
  return p;
}

std::string Outcome(const std::string& bytes, const TSetup& setup) {
  auto p = Parse(bytes, setup);
  if (!p->failed) return "ok";
  std::string s = std::to_string(p->line);
  if (p->innerLine) s += "/" + std::to_string(p->innerLine);
  return s + ": " + p->error;
}

std::string Dump(const std::string& bytes, const TSetup& setup) {
  auto p = Parse(bytes, setup);
  if (p->failed) return std::to_string(p->line) + ": " + p->error;
  return p->dump;
}

std::string Saved(TLkXMLDocument& document) {
  TMemoryStream out;
  document.SaveToStream(out);
  return out.AsString();
}

std::string TempDir() {
  static std::string dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("lk_xml_parser_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  return dir;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  TFileStream f(path, fmCreate);
  f.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}
