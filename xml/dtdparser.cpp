#include "xml/dtdparser.h"

#include "xml/contentmodel.h"
#include "xml/document.h"
#include "xml/dtd.h"
#include "xml/entities.h"
#include "xml/lexexpansion.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {

struct TAttType {
  const char16_t* Word;
  WideChar Code;
};

constexpr TAttType kAttTypes[] = {
    {u"CDATA", atCDATA},       {u"ID", atID},         {u"IDREF", atIDREF},         {u"IDREFS", atIDREFS},
    {u"ENTITY", atENTITY},     {u"ENTITIES", atENTITIES}, {u"NMTOKEN", atNMTOKEN}, {u"NMTOKENS", atNMTOKENS},
    {u"NOTATION", atNOTATION},
};

}  // namespace

TLkDocumentType* TDTDParser::DocType() const { return Document ? Document->GetDocType() : nullptr; }

void TDTDParser::ParseInternalSubset(TLexState& state, TLkXMLDocument* document) {
  RestoreState(state);
  Document = document;
  ParseTextDecl();
  ParseMarkupDecls();
}

void TDTDParser::ParseExternalSubset(TStream& stream, TLkXMLDocument* document) {
  Document = document;
  InitLexer();
  try {
    if (auto* guard = TExpansionGuard::Active()) guard->AddInput(stream.Size());
    s_.MainBuffer->LoadFromStream(stream);
    NextToken();
    ParseTextDecl();
    ParseMarkupDecls();
  } catch (...) {
    DoneLexer();
    throw;
  }
  DoneLexer();
}

bool TDTDParser::FindParameterEntity(const WideString& name, WideString& value) {
  return TLexAnalyzer::FindParameterEntity(name, value);
}

void TDTDParser::NextToken() {
  ShiftToken();
  if (s_.PIMode) return ScanPIData();
  if (s_.Previous->Value == tkCommentOpen) return ScanCommentText();
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
      case u'<':
        return ScanMarkupOpener();
      case u'-':
      case u'/':
      case u'>':
      case u'?':
      case u']':
        return ScanSymbol(c);
      case u'#':
        return ScanKeyword();
      case u'"':
      case u'\'':
        return ScanLiteral(c);
      case 0:
        return SetToken(tkEOF, WideString());
      default:
        if (LexIsName(c)) return ScanName(c, true);
        return SetToken(c, WideString(1, c));
    }
  }
}

void TDTDParser::ParseMarkupDecls() {
  for (;;) {
    switch (CurrentToken().Value) {
      case tkCommentOpen:
        ParseComment();
        break;
      case tkPIOpen:
        ParsePI();
        break;
      case tkElementDecl:
        ParseElementDecl();
        break;
      case tkAttlistDecl:
        ParseAttlistDecl();
        break;
      case tkEntityDecl:
        ParseEntityDecl();
        break;
      case tkNotationDecl:
        ParseNotationDecl();
        break;
      case '%':
        ExpandPEReference();
        break;
      default:
        return;  // "]", the end, or a conditional section (not supported)
    }
  }
}

WideString TDTDParser::MatchNamePE() {
  if (CurrentToken().Value == '%') ExpandPEReference();
  WideString name = CurrentToken().Name;
  Match(tkName);
  return name;
}

void TDTDParser::ParseElementDecl() {
  Match(tkElementDecl);
  WideString name = MatchNamePE();
  auto* decl = new TLkElementDecl(name, Document);
  if (TLkDocumentType* dt = DocType())
    dt->AddElementDecl(decl);
  else
    delete decl, decl = nullptr;
  Stack().Push(decl);
  TContentModelParser models(nullptr);
  models.SourceName = SourceName;
  LendInput(models, [&](TLexState& state) { models.ParseModel(state, Document); });
  Stack().Pop();
  MatchPE(tkGreater);
}

void TDTDParser::ParseAttlistDecl() {
  Match(tkAttlistDecl);
  WideString element = MatchNamePE();
  TLkDocumentType* dt = DocType();
  TLkAttListDecl* list = dt ? dt->GetAttListDecl(element) : nullptr;
  if (dt && !list) {
    list = new TLkAttListDecl(element, Document);
    dt->AddAttListDecl(list);
  }
  Stack().Push(list);
  while (IsTokenPE(CurrentToken().Value, tkName)) ParseAttDef(list);
  MatchPE(tkGreater);
  Stack().Pop();
}

void TDTDParser::ParseAttDef(TLkAttListDecl* list) {
  WideString name = CurrentToken().Name;
  Match(tkName);
  TLkAttDef* def = nullptr;
  if (list && !list->FindDefinition(name)) {
    def = new TLkAttDef(name, Document);
    list->AddDefinition(def);
  }
  Stack().Push(def);

  if (CurrentToken().Value == '%') ExpandPEReference();
  if (CurrentToken().Value == '(') {
    auto* values = new TLkEnumeration(Document);
    if (def) {
      def->Type = atEnumerated;
      def->SetEnumeration(values);
    }
    try {
      ParseEnumeration(values, false);
    } catch (...) {
      if (!def) delete values;
      throw;
    }
    if (!def) delete values;
  } else {
    WideString word = CurrentToken().Name;
    const TAttType* type = nullptr;
    for (const auto& t : kAttTypes)
      if (XMLStrCompareText(word, t.Word) == 0) type = &t;
    if (!type && def) Error("Unknown attribute type: \"" + MsgText(word) + "\".");
    MatchTextPE(word);
    if (type && type->Code == atNOTATION) {
      auto* names = new TLkEnumeration(Document);
      if (def) def->SetEnumeration(names);
      try {
        ParseEnumeration(names, true);
      } catch (...) {
        if (!def) delete names;
        throw;
      }
      if (!def) delete names;
    }
    if (def && type) def->Type = type->Code;
  }

  if (CurrentToken().Value == '%') ExpandPEReference();
  WideChar kind;
  WideString value;
  switch (CurrentToken().Value) {
    case tkREQUIRED:
      kind = dkRequired;
      Match(tkREQUIRED);
      break;
    case tkIMPLIED:
      kind = dkImplied;
      Match(tkIMPLIED);
      break;
    case tkFIXED:
      kind = dkFixed;
      Match(tkFIXED);
      if (CurrentToken().Value == '%') ExpandPEReference();
      if (CurrentToken().Value != tkLiteral) Error("Attribute defaults required or incorrect.");
      value = CurrentToken().Name;
      Match(tkLiteral);
      break;
    case tkLiteral:
      kind = dkValue;
      value = CurrentToken().Name;
      Match(tkLiteral);
      break;
    default:
      Error("Attribute defaults required or incorrect.");
  }
  if (def) {
    def->DefaultKind = kind;
    def->SetDefaultValue(value);
  }
  Stack().Pop();
}

void TDTDParser::ParseEnumeration(TLkEnumeration* values, bool namesOnly) {
  MatchPE('(');
  for (;;) {
    if (CurrentToken().Value == '%') ExpandPEReference();
    WideString value = CurrentToken().Name;
    if (namesOnly)
      Match(tkName);
    else
      MatchEither(tkName, tkNmToken);
    values->Add(value);
    if (!IsTokenPE(CurrentToken().Value, '|')) break;
    Match('|');
  }
  MatchPE(')');
}

void TDTDParser::ParseEntityDecl() {
  Match(tkEntityDecl);
  bool parameter = false;
  if (CurrentToken().Value == '%') {
    parameter = true;
    Match('%');
  }
  WideString name = CurrentToken().Name;
  Match(tkName);
  TLkCustomEntityDecl* decl = parameter ? static_cast<TLkCustomEntityDecl*>(new TLkPEntityDecl(name, Document))
                                        : new TLkGEntityDecl(name, Document);
  TLkDocumentType* dt = DocType();
  if (!dt || !dt->AddEntityDecl(decl)) {
    delete decl;
    decl = nullptr;
  }
  Stack().Push(decl);

  if (CurrentToken().Value == '%') ExpandPEReference();
  if (CurrentToken().Value == tkLiteral) {
    WideString value = CurrentToken().Name;
    Match(tkLiteral);
    if (decl) decl->SetValue(value);
  } else {
    if (CurrentToken().Value != tkName)
      Error("Illegal occurence of \"" + MsgText(CurrentToken().Name) + "\".");
    ParseExternalID();
    if (CurrentToken().Value == tkName && XMLStrCompareText(CurrentToken().Name, u"NDATA") == 0) {
      Match(tkName);
      WideString notation = CurrentToken().Name;
      Match(tkName);
      if (auto* general = dynamic_cast<TLkGEntityDecl*>(decl)) {
        general->SetUnparsed(true);
        general->NotationName = notation;
      }
    }
  }
  MatchPE(tkGreater);
  if (decl && !decl->GetInternal()) {
    auto* general = dynamic_cast<TLkGEntityDecl*>(decl);
    if (!general || !general->GetUnparsed()) decl->Load();
  }
  Stack().Pop();
}

void TDTDParser::ParseNotationDecl() {
  Match(tkNotationDecl);
  WideString name = MatchNamePE();
  auto* notation = new TLkNotation(name, Document);
  if (TLkDocumentType* dt = DocType())
    dt->AddNotation(notation);
  else
    delete notation, notation = nullptr;
  Stack().Push(notation);
  if (CurrentToken().Value == '%') ExpandPEReference();
  if (CurrentToken().Value != tkName) Error("Illegal occurence of \"" + MsgText(CurrentToken().Name) + "\".");
  ParseExternalID();
  MatchPE(tkGreater);
  Stack().Pop();
}

void TDTDParser::Build(int kind, const WideString& arg) {
  TLkDocumentType* dt = DocType();
  switch (kind) {
    case 5:
      if (dt) dt->AddNode(new TLkXMLComment(arg, Document));
      return;
    case 28:
    case 29: {
      auto* node = dynamic_cast<TLkExternalNode*>(Stack().Top());
      if (!node) return;
      if (kind == 29) {
        node->PublicId = arg;
        return;
      }
      node->SystemId = arg;
      if (auto* entity = dynamic_cast<TLkCustomEntityDecl*>(node)) entity->SetInternal(false);
      if (Document) Document->SetStandalone(false);
      return;
    }
  }
}

void TDTDParser::BuildPair(int kind, const WideString& arg1, const WideString& arg2) {
  switch (kind) {
    case 2:
      // The text declaration of an external subset names its encoding.
      if (XMLStrCompareText(arg1, u"encoding") == 0 && s_.MainBuffer && !InEntity()) {
        TEncoding e = EncodingFromName(WideToLatin1(arg2));
        if (e == n_sup)
          Error("Encoding '" + MsgText(arg2) + "' is not supported in this version of XMLParser.");
        s_.MainBuffer->SetEncoding(e);
      }
      return;
    case 6:
      if (TLkDocumentType* dt = DocType()) dt->AddNode(new TLkXMLPi(arg1, Document, arg2));
      return;
  }
}
