// Element content models: the parser of one "<!ELEMENT" content
// specification, and the analyser that matches an element's children
// against a "children" model.
#pragma once

#include <vector>

#include "xml/lexer.h"

class TLkContentModel;
class TLkXMLElement;
class TLkXMLNode;

class TContentModelParser : public TLexAnalyzer {
 public:
  // Groups nested deeper than this are refused instead of exhausting the
  // stack.
  static constexpr int kMaxGroupDepth = 256;

  explicit TContentModelParser(TComponent* owner) : TLexAnalyzer(owner) {}
  // Takes over the DTD parser's state and reads one content specification
  // into the element declaration on top of the stack. The caller takes the
  // state back with SaveState, also after an error.
  void ParseModel(TLexState& state, TLkXMLDocument* document);

  void NextToken() override;
  void Build(int kind, const WideString& arg) override;
  void BuildPair(int kind, const WideString& arg1, const WideString& arg2) override;

 private:
  void ParseContentSpec();
  void ParseGroup();  // after its "("
  void ParseParticle();
  bool IsOccurrence() const;
  int depth_ = 0;
};

class TContentModelAnalyzer : public TObject {
 public:
  // True when the element children, first to last, satisfy the model.
  // Greedy, without backtracking: a choice takes its alternatives one after
  // the other in the order written.
  bool Analyze(const std::vector<TLkXMLElement*>& children, TLkContentModel& model);

 private:
  bool MatchRepeated(TLkContentModel* particle);
  bool MatchOnce(TLkContentModel* particle);
  const std::vector<TLkXMLElement*>* children_ = nullptr;
  std::size_t current_ = 0;  // the next child still to be matched
};
