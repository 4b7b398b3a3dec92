// The portable tables and text routines of the labels, buttons and dialogs.
#include <gtest/gtest.h>

#include "controls/core/lkbuttonkinds.h"
#include "controls/core/textfit.h"

namespace {

TEST(ButtonKinds, EveryGroupHasItsResultRoleAndCaptionNumberInEveryLanguage) {
  struct Group {
    TLkButtonGroup group;
    const char* english;
    int result;
    bool is_default, is_cancel;
  };
  const Group groups[] = {
      {bgCancel, "Cancel", 2, false, true}, {bgHelp, "&Help", 0, false, false},   {bgYes, "&Yes", 6, true, false},
      {bgNo, "&No", 7, false, true},        {bgClose, "&Close", 0, false, false}, {bgAbort, "Abort", 3, false, false},
      {bgRetry, "&Retry", 4, false, false}, {bgIgnore, "&Ignore", 5, false, false}, {bgAll, "&All", 8, false, false},
      {bgDone, "&Done", 9, true, false},    {bgPrev, "< &Back", 0, false, false}, {bgNext, "&Next >", 0, true, false},
      {bgFinish, "&Finish", 10, true, false},
  };
  int kinds_seen = 0;
  for (const Group& g : groups) {
    for (int l = 0; l < kDialogLanguageCount; ++l) {
      const auto lang = static_cast<TDialogLanguage>(l);
      const TLkButtonKind k = ButtonKindOf(g.group, lang);
      SCOPED_TRACE(testing::Message() << "kind " << int(k));
      EXPECT_EQ(k, 2 + (g.group - 1) * 15 + l);
      EXPECT_EQ(ButtonGroup(k), g.group);
      EXPECT_EQ(ButtonLanguage(k), lang);
      EXPECT_EQ(ButtonModalResult(k), g.result);
      EXPECT_EQ(ButtonIsDefault(k), g.is_default);
      EXPECT_EQ(ButtonIsCancel(k), g.is_cancel);
      const int id = k == pbkYesSlk ? 30138 : 30100 + g.group + 20 * l;
      EXPECT_EQ(ButtonCaptionId(k), id);
      if (l == 0) {
        EXPECT_EQ(ButtonCaptionText(k), g.english);
      }
      ++kinds_seen;
    }
  }
  EXPECT_EQ(kinds_seen, 195);
  EXPECT_EQ(ButtonCaptionId(pbkOk), 30100);
  EXPECT_EQ(ButtonCaptionText(pbkOk), "OK");
  EXPECT_EQ(ButtonModalResult(pbkOk), 1);
  EXPECT_TRUE(ButtonIsDefault(pbkOk));
  EXPECT_EQ(ButtonCaptionId(pbkCustom), 0);
  EXPECT_EQ(ButtonGroup(pbkCustom), bgNone);
}

TEST(ButtonKinds, CancelAndHelpTextsStandAsTheStringTableHoldsThem) {
  const char* cancel[] = {"Cancel",  "Отмена",   "Вiдмiна", "Annuler", "Cancela", "Cancelar", "Abbrechen", "Annuller",
                          "Annulla", "&Еtergе", "Ann&uleren", "Anuluj", "Mйgsem", "&Эptal", "&Storno"};
  const char* help[] = {"&Help",   "&Справка", "&Довiдка", "&Aide",  "&Ajuda", "Ay&uda",  "&Hilfe", "&Hjжlp",
                        "&Aiuto", "&Hjдlp",   "&Help",    "Pomo&c", "&Sъgу", "&Yardэm", "&Pomoc"};
  for (int l = 0; l < kDialogLanguageCount; ++l) {
    const auto lang = static_cast<TDialogLanguage>(l);
    EXPECT_EQ(ButtonCaptionText(ButtonKindOf(bgCancel, lang)), cancel[l]) << l;
    EXPECT_EQ(ButtonCaptionText(ButtonKindOf(bgHelp, lang)), help[l]) << l;
  }
  EXPECT_EQ(ButtonCaptionText(pbkCancelGer), "Abbrechen");
}

TEST(PasswordTexts, NumbersAndTextsPerLanguage) {
  EXPECT_EQ(PasswordCaptionId(dlEnglish), 30511);
  EXPECT_EQ(PasswordPromptId(dlEnglish), 30512);
  EXPECT_EQ(PasswordCaptionId(dlSlovak), 30511 + 30 * 14);
  EXPECT_EQ(PasswordCaptionText(dlEnglish), "Password");
  EXPECT_EQ(PasswordPromptText(dlEnglish), "&Enter password:");
  EXPECT_EQ(PasswordCaptionText(dlGerman), "Passwort");
  EXPECT_EQ(PasswordPromptText(dlGerman), "Passwort &Eingeben:");
  EXPECT_EQ(PasswordCaptionText(dlPolish), "Has?o:");
  EXPECT_EQ(PasswordPromptText(dlTurkish), "Юifreyi girin");
}

TEST(MinimizeText, ShortensTwoCharactersFirstThenOneAtATime) {
  auto width = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
  EXPECT_EQ(MinimizeText("abcdef", width, 60), "abcdef");  // fits
  EXPECT_EQ(MinimizeText("abcdef", width, 59), "ab...");  // "abcd..." and "abc..." are still too wide
  std::vector<std::string> seen;
  auto recording = [&](const std::string& s) {
    seen.push_back(s);
    return static_cast<int>(s.size()) * 10;
  };
  EXPECT_EQ(MinimizeText("abcdef", recording, 55), "ab...");
  EXPECT_EQ(seen, (std::vector<std::string>{"abcdef", "abcd...", "abc...", "ab..."}));
  EXPECT_EQ(MinimizeText("abcdef", width, 0), "...");
  EXPECT_EQ(MinimizeText("", width, 0), "");
}

TEST(ExtractSubstring, WalksDelimitedFields) {
  const std::string text = "a;;b";
  int pos = 1;
  EXPECT_EQ(ExtractSubstring(text, pos, ";"), "a");
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(ExtractSubstring(text, pos, ";"), "");
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(ExtractSubstring(text, pos, ";"), "b");
  EXPECT_EQ(pos, 5);
  EXPECT_EQ(ExtractSubstring(text, pos, ";"), "");  // past the end stays there
  EXPECT_EQ(pos, 5);
  int p2 = 1;
  EXPECT_EQ(ExtractSubstring("C:\\A\\B", p2, "\\/"), "C:");
  EXPECT_EQ(p2, 4);
}

}  // namespace
