#include "console/core/configrules.h"

#include "base/locale.h"
#include "shared/core/vigenere.h"

std::string OverlayColourOfTag(int tag) {
  if (tag < 0 || tag >= static_cast<int>(kOverlayColourNames.size())) return {};
  return kOverlayColourNames[static_cast<std::size_t>(tag)];
}

std::string KnownOverlayColour(const std::string& name) {
  // Resource names are found without regard to case; the page keeps the canonical spelling.
  for (const char* known : kOverlayColourNames)
    if (AnsiSameText(name, known)) return known;
  return kDefaultOverlayColour;
}

int ClampChoice(int value, int count) { return value >= 0 && value < count ? value : 0; }

int ChooseSkin(const std::vector<std::string>& names, const std::string& skinName, int skinSelect) {
  if (!skinName.empty())
    for (std::size_t i = 0; i < names.size(); ++i)
      if (AnsiSameText(names[i], skinName)) return static_cast<int>(i);
  return ClampChoice(skinSelect, static_cast<int>(names.size()));
}

TPasswordGroup DecidePasswordGroup(bool checkAuth, bool checkContextAuth, const std::string& typed) {
  if ((checkAuth || checkContextAuth) && typed.empty()) return TPasswordGroup::pgNeedPassword;
  if (TLkVigenereCipher::DecryptText(typed, kProgramPasswordKey).find('\0') != std::string::npos)
    return TPasswordGroup::pgUnstorable;
  return TPasswordGroup::pgSave;
}
