#include "controls/core/lkbuttonkinds.h"

namespace {

constexpr int kFirstGroupKind = pbkCancel;  // kinds 2..196: 13 groups of 15

// The texts of the rows the system uses, as the string table holds them.
const std::string kCancelTexts[kDialogLanguageCount] = {
    "Cancel", "Отмена", "Вiдмiна", "Annuler", "Cancela", "Cancelar", "Abbrechen", "Annuller", "Annulla", "&Еtergе", "Ann&uleren", "Anuluj", "Mйgsem", "&Эptal", "&Storno"};
const std::string kHelpTexts[kDialogLanguageCount] = {
    "&Help", "&Справка", "&Довiдка", "&Aide", "&Ajuda", "Ay&uda", "&Hilfe", "&Hjжlp", "&Aiuto", "&Hjдlp", "&Help", "Pomo&c", "&Sъgу", "&Yardэm", "&Pomoc"};
const std::string kPasswordCaptions[kDialogLanguageCount] = {
    "Password", "Ввод пароля", "Ввiд паролю", "Mot de Passe", "Senha", "Contraseсa", "Passwort", "Kodeord", "Password", "Lцsenord", "Wachtwoord", "Has?o:", "Jelszу", "&Юifre", "Heslo"};
const std::string kPasswordPrompts[kDialogLanguageCount] = {
    "&Enter password:", "&Введите пароль:", "&Введите пароль:", "&Saisie Mot de Passe :", "&Informe sua Senha:", "&Introduzca la contraseсa:", "Passwort &Eingeben:", "&Indtast kodeord:", "&Inserire password:", "&Ange lцsenord:", "&Voer wachtwoord in:", "Podaj &has?o:", "&Adja meg a jelszуt:", "Юifreyi girin", "Zadajte heslo:"};

// English captions of every group; the groups Yes to Finish are not used by
// the system and stand in English in every language.
const std::string kEnglishCaptions[] = {"OK",      "Cancel",  "&Help",   "&Yes",     "&No",
                                        "&Close",  "Abort",   "&Retry",  "&Ignore",  "&All",
                                        "&Done",   "< &Back", "&Next >", "&Finish"};
const int kModalResults[] = {1, 2, 0, 6, 7, 0, 3, 4, 5, 8, 9, 0, 0, 10};

}  // namespace

TLkButtonGroup ButtonGroup(TLkButtonKind kind) {
  if (kind == pbkCustom || kind >= kButtonKindCount) return bgNone;
  if (kind == pbkOk) return bgOk;
  return static_cast<TLkButtonGroup>(1 + (kind - kFirstGroupKind) / kDialogLanguageCount);
}

TDialogLanguage ButtonLanguage(TLkButtonKind kind) {
  if (kind < kFirstGroupKind || kind >= kButtonKindCount) return dlEnglish;
  return static_cast<TDialogLanguage>((kind - kFirstGroupKind) % kDialogLanguageCount);
}

int ButtonCaptionId(TLkButtonKind kind) {
  const TLkButtonGroup g = ButtonGroup(kind);
  if (g == bgNone) return 0;
  if (kind == pbkYesSlk) return 30138;  // where the string table has it
  return 30100 + g + 20 * ButtonLanguage(kind);
}

const std::string& ButtonCaptionText(TLkButtonKind kind) {
  static const std::string empty;
  const TLkButtonGroup g = ButtonGroup(kind);
  if (g == bgNone) return empty;
  if (g == bgCancel) return kCancelTexts[ButtonLanguage(kind)];
  if (g == bgHelp) return kHelpTexts[ButtonLanguage(kind)];
  return kEnglishCaptions[g];
}

int ButtonModalResult(TLkButtonKind kind) {
  const TLkButtonGroup g = ButtonGroup(kind);
  return g == bgNone ? 0 : kModalResults[g];
}

bool ButtonIsDefault(TLkButtonKind kind) {
  const TLkButtonGroup g = ButtonGroup(kind);
  return g == bgOk || g == bgYes || g == bgDone || g == bgNext || g == bgFinish;
}

bool ButtonIsCancel(TLkButtonKind kind) {
  const TLkButtonGroup g = ButtonGroup(kind);
  return g == bgCancel || g == bgNo;
}

TLkButtonKind ButtonKindOf(TLkButtonGroup group, TDialogLanguage language) {
  if (group == bgNone) return pbkCustom;
  if (group == bgOk) return pbkOk;
  return static_cast<TLkButtonKind>(kFirstGroupKind + (group - 1) * kDialogLanguageCount + language);
}

int PasswordCaptionId(TDialogLanguage language) { return 30510 + 30 * language + 1; }
int PasswordPromptId(TDialogLanguage language) { return 30510 + 30 * language + 2; }
const std::string& PasswordCaptionText(TDialogLanguage language) { return kPasswordCaptions[language % kDialogLanguageCount]; }
const std::string& PasswordPromptText(TDialogLanguage language) { return kPasswordPrompts[language % kDialogLanguageCount]; }
