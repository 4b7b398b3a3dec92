// The standard buttons in fifteen languages and the texts of the password
// dialog: which caption, modal result and role each kind has, and where its
// text stands in the program's string table. The texts are kept here once
// (UTF-8); the string-table resource is generated from this table.
#pragma once

#include <cstdint>
#include <string>

// The languages, in string-table order.
enum TDialogLanguage : uint8_t {
  dlEnglish, dlRussian, dlUkranian, dlFrench, dlPortuguese, dlSpanish, dlGerman, dlDanish,
  dlItalian, dlSwedish, dlDutch, dlPolish, dlHungarian, dlTurkish, dlSlovak
};
constexpr int kDialogLanguageCount = 15;

#define LK_BUTTON_GROUP(G)                                                                                   \
  pbk##G, pbk##G##Rus, pbk##G##Ukr, pbk##G##Fr, pbk##G##Por, pbk##G##Esp, pbk##G##Ger, pbk##G##Dan,          \
      pbk##G##Ita, pbk##G##Swe, pbk##G##Dut, pbk##G##Pol, pbk##G##Hun, pbk##G##Tur, pbk##G##Slk

enum TLkButtonKind : uint8_t {
  pbkCustom,
  pbkOk,
  LK_BUTTON_GROUP(Cancel),
  LK_BUTTON_GROUP(Help),
  LK_BUTTON_GROUP(Yes),
  LK_BUTTON_GROUP(No),
  LK_BUTTON_GROUP(Close),
  LK_BUTTON_GROUP(Abort),
  LK_BUTTON_GROUP(Retry),
  LK_BUTTON_GROUP(Ignore),
  LK_BUTTON_GROUP(All),
  LK_BUTTON_GROUP(Done),
  LK_BUTTON_GROUP(Prev),
  LK_BUTTON_GROUP(Next),
  LK_BUTTON_GROUP(Finish),
};
#undef LK_BUTTON_GROUP
constexpr int kButtonKindCount = 197;
static_assert(pbkFinishSlk == 196, "13 groups of 15 after pbkOk");

// Groups in caption-number order.
enum TLkButtonGroup : int8_t {
  bgNone = -1, bgOk, bgCancel, bgHelp, bgYes, bgNo, bgClose, bgAbort, bgRetry, bgIgnore, bgAll, bgDone, bgPrev,
  bgNext, bgFinish
};

TLkButtonGroup ButtonGroup(TLkButtonKind kind);
TDialogLanguage ButtonLanguage(TLkButtonKind kind);  // pbkOk and pbkCustom: English
// The string-table number of the kind's caption (0 for pbkCustom).
int ButtonCaptionId(TLkButtonKind kind);
// The caption as the string table holds it (UTF-8).
const std::string& ButtonCaptionText(TLkButtonKind kind);
int ButtonModalResult(TLkButtonKind kind);
bool ButtonIsDefault(TLkButtonKind kind);
bool ButtonIsCancel(TLkButtonKind kind);
// The kind of a group in a language (pbkOk for the Ok group in any language).
TLkButtonKind ButtonKindOf(TLkButtonGroup group, TDialogLanguage language);

// The password dialog's texts: string numbers 30510 + 30 x language + 1 and + 2.
int PasswordCaptionId(TDialogLanguage language);
int PasswordPromptId(TDialogLanguage language);
const std::string& PasswordCaptionText(TDialogLanguage language);
const std::string& PasswordPromptText(TDialogLanguage language);
