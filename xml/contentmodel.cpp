#include "xml/contentmodel.h"

#include "xml/dom.h"
#include "xml/dtd.h"
#include "xml/xmlchars.h"
#include "xml/xmlstrings.h"

namespace {

// The occurrence of a particle, as the model keeps it.
uint8_t OccurrenceKind(const WideString& text) {
  if (text == u"?") return occOptional;
  if (text == u"*") return occZeroOrMore;
  if (text == u"+") return occOneOrMore;
  return occOnce;
}

}  // namespace

// --- parser -------------------------------------------------------------------

void TContentModelParser::ParseModel(TLexState& state, TLkXMLDocument* document) {
  RestoreState(state);
  Document = document;
  depth_ = 0;
  ParseContentSpec();
}

void TContentModelParser::NextToken() {
  ShiftToken();
  for (;;) {
    WideChar c = ReadChar();
    switch (c) {
      case u'\n':
        NewLine();
        continue;
      case u'\t':
      case u'\r':
      case u' ':
        continue;
      case u'#':
        return ScanKeyword();
      case u'>':
        return SetTableToken(u">", tkGreater);
      case 0:
        return SetToken(tkEOF, WideString());
      default:
        if (LexIsName(c)) return ScanName(c, true);
        return SetToken(c, WideString(1, c));
    }
  }
}

bool TContentModelParser::IsOccurrence() const {
  int32_t v = CurrentToken().Value;
  return v == '?' || v == '*' || v == '+';
}

void TContentModelParser::ParseContentSpec() {
  if (CurrentToken().Value == '%') ExpandPEReference();
  if (CurrentToken().Value == tkName) {
    const WideString word = CurrentToken().Name;
    if (XMLStrCompareText(word, u"EMPTY") == 0 || XMLStrCompareText(word, u"ANY") == 0) {
      MatchTextPE(word);
      Build(20, XMLStrCompareText(word, u"EMPTY") == 0 ? u"EMPTY" : u"ANY");
    }
    return;  // another word fails at the DTD parser's ">"
  }
  MatchPE('(');
  if (IsTokenPE(CurrentToken().Value, tkPCDATA)) {
    MatchPE(tkPCDATA);
    Build(20, u"#PCDATA");
    while (IsTokenPE(CurrentToken().Value, '|')) {
      MatchPE('|');
      Build(22, u"|");
      WideString name = CurrentToken().Name;
      MatchPE(tkName);
      BuildPair(17, name, WideString());
    }
    MatchPE(')');
    Build(21, WideString());
    if (CurrentToken().Value == '*') MatchPE('*');
    return;
  }
  ParseGroup();
}

void TContentModelParser::ParseGroup() {
  if (++depth_ > kMaxGroupDepth) Error("Content model groups nest too deeply.");
  Build(20, u"(");
  ParseParticle();
  const int32_t separator = CurrentToken().Value == '|' ? '|' : ',';
  while (IsTokenPE(CurrentToken().Value, separator)) {
    MatchPE(separator);
    Build(22, WideString(1, static_cast<WideChar>(separator)));
    ParseParticle();
  }
  MatchPE(')');
  WideString occurrence;
  if (IsOccurrence()) {
    occurrence = CurrentToken().Name;
    MatchPE(CurrentToken().Value);
  }
  Build(21, occurrence);
  --depth_;
}

void TContentModelParser::ParseParticle() {
  if (IsTokenPE(CurrentToken().Value, tkName)) {
    WideString name = CurrentToken().Name;
    MatchPE(tkName);
    WideString occurrence;
    if (IsOccurrence()) {
      occurrence = CurrentToken().Name;
      MatchPE(CurrentToken().Value);
    }
    BuildPair(17, name, occurrence);
  } else if (CurrentToken().Value == '(') {
    MatchPE('(');
    ParseGroup();
  }
}

void TContentModelParser::Build(int kind, const WideString& arg) {
  TLkXMLNode* top = Stack().Top();
  switch (kind) {
    case 20: {
      if (auto* decl = dynamic_cast<TLkElementDecl*>(top)) {
        WideChar type = arg == u"EMPTY" ? ctEmpty : arg == u"ANY" ? ctAny
                        : arg == u"#PCDATA"  ? ctMixed : ctChildren;
        auto* model = new TLkContentModel(type, Document);
        decl->SetContentModel(model);
        if (type == ctMixed || type == ctChildren) Stack().Push(model);
      } else if (auto* group = dynamic_cast<TLkContentModel*>(top)) {
        auto* model = new TLkContentModel(group->Type(), Document);
        group->AppendGroup(model);
        Stack().Push(model);
      }
      return;
    }
    case 21:
      if (auto* model = dynamic_cast<TLkContentModel*>(top)) model->SetOccurrence(OccurrenceKind(arg));
      Stack().Pop();
      return;
    case 22:
      if (auto* model = dynamic_cast<TLkContentModel*>(top)) model->SetSeparator(arg[0]);
      return;
  }
}

void TContentModelParser::BuildPair(int kind, const WideString& arg1, const WideString& arg2) {
  if (kind != 17) return;
  if (auto* model = dynamic_cast<TLkContentModel*>(Stack().Top())) model->AddParticle(arg1, OccurrenceKind(arg2));
}

// --- analyser -----------------------------------------------------------------

bool TContentModelAnalyzer::Analyze(const std::vector<TLkXMLElement*>& children, TLkContentModel& model) {
  children_ = &children;
  current_ = 0;
  return MatchRepeated(&model) && current_ == children.size();
}

bool TContentModelAnalyzer::MatchRepeated(TLkContentModel* particle) {
  switch (particle->Occurrence()) {
    case occOptional:
      MatchOnce(particle);
      return true;
    case occZeroOrMore:
    case occOneOrMore: {
      std::size_t before = current_;
      bool first = MatchOnce(particle);
      // An iteration that uses no child would repeat for ever.
      while (first && current_ != before) {
        before = current_;
        if (!MatchOnce(particle)) break;
      }
      return particle->Occurrence() == occZeroOrMore || first;
    }
    default:
      return MatchOnce(particle);
  }
}

bool TContentModelAnalyzer::MatchOnce(TLkContentModel* particle) {
  WideString name = XMLStrTrim(particle->GetNodeName());
  if (XMLStrLen(name) != 0) {
    if (current_ >= children_->size() || XMLStrCompareText((*children_)[current_]->GetNodeName(), name) != 0)
      return false;
    ++current_;
    return true;
  }
  bool all = true, any = false;
  for (TLkXMLNode* n = particle->Children().First(); n; n = n->NextSibling()) {
    auto* member = dynamic_cast<TLkContentModel*>(n);
    if (!member) continue;
    bool ok = MatchRepeated(member);
    all = all && ok;
    any = any || ok;
  }
  return particle->Separator() == u'|' ? any : all;
}
