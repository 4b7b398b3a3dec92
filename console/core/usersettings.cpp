#include "console/core/usersettings.h"

#include "base/locale.h"
#include "base/stringlist.h"
#include "base/sysutils.h"

const TFlagNode kFlagNodes[kFlagNodeCount] = {
    {"General", -1},     {"Use log", 0},  {"Window type", -1}, {"Message only", 2},
    {"Nothing (Stealth)", 2}, {"On Exit", -1}, {"Log Off", 5}, {"Reboot", 5},
    {"Shutdown", 5},     {"ScreenSaver", 5}, {"Lock Workstation", 5},
};

bool IsFlagGroupHead(int code) { return code >= 0 && code < kFlagNodeCount && kFlagNodes[code].Parent < 0; }

TFlagStates FlagStatesFromOptions(std::string_view optionText, int nodeCount) {
  TFlagStates r;
  r.States.assign(nodeCount, kFlagUnchecked);
  for (int i = 0; i < nodeCount; ++i)
    if (IsFlagGroupHead(i)) r.States[i] = kFlagNoBox;
  TStringList entries;
  entries.SetCommaText(std::string(optionText));
  for (int i = 0; i < entries.Count(); ++i) {
    int32_t code = -1;
    if (TryStrToInt(entries[i], code) && code >= 0 && code < nodeCount && !IsFlagGroupHead(code))
      r.States[code] = kFlagChecked;
    else
      r.Ignored.push_back(entries[i]);
  }
  return r;
}

std::string OptionsFromFlagStates(const std::vector<uint8_t>& states) {
  std::string text;
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (states[i] != kFlagChecked) continue;
    if (!text.empty()) text += ',';
    text += IntToStr(static_cast<int>(i));
  }
  return text;
}

std::vector<int> FlagGroupSiblings(int code, int nodeCount) {
  std::vector<int> siblings;
  if (code < 0 || code >= nodeCount || IsFlagGroupHead(code)) return siblings;
  for (int i = 0; i < nodeCount; ++i)
    if (i != code && kFlagNodes[i].Parent == kFlagNodes[code].Parent) siblings.push_back(i);
  return siblings;
}

std::string TagReplacement(TTagCommand command, std::string_view selection) {
  const std::string sel(selection);
  switch (command) {
    case TTagCommand::tcUsername: return "<uname>";
    case TTagCommand::tcTime: return "<time>";
    case TTagCommand::tcDate: return "<date>";
    case TTagCommand::tcBold: return "<b>" + sel + "</b>";
    case TTagCommand::tcItalic: return "<i>" + sel + "</i>";
    case TTagCommand::tcUnderlined: return "<u>" + sel + "</u>";
  }
  return sel;
}

std::string RemoveMessageTags(std::string_view text) {
  static const char* const kTags[] = {"<b>", "</b>", "<u>", "</u>", "<i>", "</i>", "<uname>", "<sname>", "<time>",
                                      "<date>"};
  std::string out(text);
  // One pass per tag in this order, as the tags were always removed: what a
  // removal joins together is not looked at again for the same tag.
  for (const char* tag : kTags) {
    const std::string t(tag);
    std::string next;
    std::size_t i = 0;
    while (i < out.size()) {
      if (i + t.size() <= out.size() && AnsiSameText(out.substr(i, t.size()), t)) {
        i += t.size();
      } else {
        next.push_back(out[i++]);
      }
    }
    out = std::move(next);
  }
  return out;
}
