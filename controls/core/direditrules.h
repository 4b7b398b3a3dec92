// The directory edit's rules that need no window: where its button sits,
// the glyph width it implies, the chooser's starting folder, and how a
// chosen, dropped or pasted name becomes the edit's text.
#pragma once

#include <functional>
#include <string>

#include "controls/core/geometry.h"

enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// The button container's place in an edit of `width` x `height`.
struct TEditButtonPlaceInput {
  int EditWidth = 0, EditHeight = 0;
  int ButtonWidth = 21;
  bool NewShell = true;
  bool Ctl3D = true;
  bool SingleBorder = true;
};
TLkRect EditButtonPlace(const TEditButtonPlaceInput& in);
// The formatting rectangle that keeps the text clear of the button.
TLkRect EditFormattingRect(int clientWidth, int clientHeight, int containerWidth);
// The least height the edit may take.
int EditMinimumHeight(int systemFontHeight, int controlFontHeight, int borderHeight);

// The button width a glyph kind gives: the larger of one image + 6 and the
// current width for gkDefault with a glyph; the scroll-bar width for
// gkDropDown; otherwise the current width.
int ButtonWidthForGlyph(TGlyphKind kind, int glyphWidth, int numGlyphs, int current, int scrollBarWidth);
// Whether ButtonWidth differs from what the glyph implies (and so is stored).
bool ButtonWidthStored(TGlyphKind kind, int glyphWidth, int numGlyphs, int buttonWidth, int scrollBarWidth);

// The ellipsis glyph for a button `buttonWidth` wide: its width and the
// left edges of its three 2 x 2 squares (height 4, squares at top 1).
struct TEllipsisGlyph {
  int Width = 1;
  int Squares[3] = {0, 0, 0};
};
TEllipsisGlyph EllipsisGlyph(int buttonWidth);

// The folder the chooser opens at: the text, else InitialDir, else "\"; a
// name that is no existing folder becomes "\".
std::string ChooserStartFolder(const std::string& text, const std::string& initialDir,
                               const std::function<bool(const std::string&)>& folderExists);

// The text after a folder was chosen: the selection [selStart, selStart +
// selLength) is taken out first; then the name replaces the text (single
// folder, or an empty text) or is added after a ";".
std::string TextAfterChoice(const std::string& text, int selStart, int selLength, const std::string& name,
                            bool multipleDirs);
// The text after a dropped name was accepted: a file gives its folder with a
// trailing "\"; then as TextAfterChoice without a selection.
std::string TextAfterDrop(const std::string& text, const std::string& name, bool nameIsFile, bool multipleDirs);

// Each folder of the text converted (all of it when not `multipleDirs`),
// the pieces joined again by ";" without empty separators.
std::string ConvertDirList(const std::string& text, bool multipleDirs,
                           const std::function<std::string(const std::string&)>& convert);

// What a paste puts into the one-line edit: the text without its line breaks.
std::string SingleLineText(const std::string& text);
