#include "controls/core/direditrules.h"

#include "controls/core/textfit.h"

TLkRect EditButtonPlace(const TEditButtonPlaceInput& in) {
  const int w = in.ButtonWidth;
  if (!in.NewShell || !in.SingleBorder) return {in.EditWidth - w, 0, in.EditWidth, in.EditHeight};
  if (in.Ctl3D) return {in.EditWidth - w - 4, 0, in.EditWidth - 4, in.EditHeight - 4};
  return {in.EditWidth - w - 2, 2, in.EditWidth - 2, in.EditHeight - 2};
}

TLkRect EditFormattingRect(int clientWidth, int clientHeight, int containerWidth) {
  return {0, 0, clientWidth - containerWidth - 2, clientHeight + 1};
}

int EditMinimumHeight(int systemFontHeight, int controlFontHeight, int borderHeight) {
  return IntMin(systemFontHeight, controlFontHeight) + 4 * borderHeight + 1;
}

int ButtonWidthForGlyph(TGlyphKind kind, int glyphWidth, int numGlyphs, int current, int scrollBarWidth) {
  if (kind == TGlyphKind::gkDefault && glyphWidth > 0)
    return IntMax(glyphWidth / (numGlyphs < 1 ? 1 : numGlyphs) + 6, current);
  if (kind == TGlyphKind::gkDropDown) return scrollBarWidth;
  return current;
}

bool ButtonWidthStored(TGlyphKind kind, int glyphWidth, int numGlyphs, int buttonWidth, int scrollBarWidth) {
  int expected = 21;
  if (kind == TGlyphKind::gkDefault && glyphWidth > 0)
    expected = IntMax(glyphWidth / (numGlyphs < 1 ? 1 : numGlyphs) + 6, 21);
  else if (kind == TGlyphKind::gkDropDown)
    expected = scrollBarWidth;
  return buttonWidth != expected;
}

TEllipsisGlyph EllipsisGlyph(int buttonWidth) {
  TEllipsisGlyph g;
  g.Width = IntMax(1, buttonWidth - 6);
  int gap = (g.Width - 6) / 2;
  gap = gap < 1 ? 1 : gap > 3 ? 3 : gap;
  const int x0 = (g.Width - 6 - 2 * gap) / 2;
  g.Squares[0] = x0;
  g.Squares[1] = x0 + gap + 2;
  g.Squares[2] = x0 + 2 * gap + 4;
  return g;
}

std::string ChooserStartFolder(const std::string& text, const std::string& initialDir,
                               const std::function<bool(const std::string&)>& folderExists) {
  const std::string& name = !text.empty() ? text : initialDir;
  if (name.empty() || !folderExists(name)) return std::string(1, '\\');
  return name;
}

namespace {
std::string Joined(const std::string& text, const std::string& name, bool multipleDirs) {
  return text.empty() || !multipleDirs ? name : text + ";" + name;
}
}  // namespace

std::string TextAfterChoice(const std::string& text, int selStart, int selLength, const std::string& name,
                            bool multipleDirs) {
  std::string rest = text;
  const int len = static_cast<int>(text.size());
  if (selStart >= 0 && selStart < len && selLength > 0)
    rest.erase(static_cast<std::size_t>(selStart), static_cast<std::size_t>(IntMin(selLength, len - selStart)));
  return Joined(rest, name, multipleDirs);
}

std::string TextAfterDrop(const std::string& text, const std::string& name, bool nameIsFile, bool multipleDirs) {
  std::string folder = name;
  if (nameIsFile) {
    const std::size_t cut = folder.find_last_of("\\:");
    folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
  }
  return Joined(text, folder, multipleDirs);
}

std::string ConvertDirList(const std::string& text, bool multipleDirs,
                           const std::function<std::string(const std::string&)>& convert) {
  if (!multipleDirs) return convert(text);
  std::string result;
  int pos = 1;
  const int len = static_cast<int>(text.size());
  while (pos <= len) {
    const std::string piece = convert(ExtractSubstring(text, pos, ";"));
    if (!result.empty() && !piece.empty()) result += ";";
    result += piece;
  }
  return result;
}

std::string SingleLineText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') out += c;
  return out;
}
