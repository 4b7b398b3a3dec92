// The markup declarations of a document type definition: the internal
// subset (continuing the document parser's input) and external subsets.
#pragma once

#include "base/streams.h"
#include "xml/lexer.h"

class TLkDocumentType;
class TLkXMLParser;

class TDTDParser : public TLexAnalyzer {
 public:
  explicit TDTDParser(TComponent* owner) : TLexAnalyzer(owner) {}

  // Continues on the document parser's state; stops at the first token that
  // begins no declaration (normally "]") and leaves it current. The caller
  // takes the state back with SaveState, also after an error.
  void ParseInternalSubset(TLexState& state, TLkXMLDocument* document);
  // Reads the stream from its start; the rest after the first token that
  // begins no declaration is not read.
  void ParseExternalSubset(TStream& stream, TLkXMLDocument* document);

  void NextToken() override;
  void Build(int kind, const WideString& arg) override;
  void BuildPair(int kind, const WideString& arg1, const WideString& arg2) override;

 protected:
  bool FindParameterEntity(const WideString& name, WideString& value) override;

 private:
  void ParseMarkupDecls();
  void ParseElementDecl();
  void ParseAttlistDecl();
  void ParseAttDef(class TLkAttListDecl* list);
  void ParseEnumeration(class TLkEnumeration* values, bool namesOnly);
  void ParseEntityDecl();
  void ParseNotationDecl();
  WideString MatchNamePE();
  TLkDocumentType* DocType() const;
};
