// The gate's text handling on arbitrary bytes: tag expansion, wrapping at
// any column (with and without a double-byte lead test), the tagged-text
// engine, option codes, the record codecs and the parent-path walk. The
// first byte picks the column, as a signed value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gate/core/gateoptions.h"
#include "gate/core/messagetext.h"
#include "gate/core/pathparts.h"
#include "gate/core/taggedtext.h"
#include "shared/core/logrecord.h"
#include "shared/core/userrecord.h"

namespace {

class CountingCanvas : public ITaggedCanvas {
 public:
  uint8_t style = 0;
  TColor color = 0;
  uint8_t FontStyle() override { return style; }
  void SetFontStyle(uint8_t s) override { style = s; }
  TColor FontColor() override { return color; }
  void SetFontColor(TColor c) override { color = c; }
  void SetBrushColor(TColor) override {}
  void FillRect(int, int, int, int) override {}
  int TextWidth(std::string_view t) override { return static_cast<int>(t.size()) * ((style & tgBold) ? 7 : 6); }
  int TextHeight(std::string_view) override { return 13; }
  void TextOut(int, int, std::string_view) override {}
};

bool OddLead(unsigned char c) { return c >= 0x81 && c <= 0x9F; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t column = static_cast<int8_t>(data[0]);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::string expanded = ExpandMessageTags(text, {"<uname>", "<time>", "<date>"});
  const std::string wrapped = WrapMessageText(expanded, GateBreakText, GateBreakChars, column);
  // Wrapping only inserts break texts: every input byte survives, in order.
  std::size_t j = 0;
  for (char c : expanded) {
    while (j < wrapped.size() && wrapped[j] != c) ++j;
    if (j == wrapped.size()) __builtin_trap();
    ++j;
  }
  (void)WrapMessageText(text, "ab", " x", column, OddLead);
  (void)WrapMessageText(text, "", GateBreakChars, column);

  CountingCanvas canvas;
  const TTagExtent extent = TaggedTextExtent(canvas, {0, 0, 300, 200}, text);
  if (extent.Height < 0) __builtin_trap();
  if (canvas.style != 0 || canvas.color != 0) __builtin_trap();  // state restored

  (void)ParseOptionCodes(text);
  const TUserRecord user = DecodeUserRecord(text);
  if (DecodeUserRecord(EncodeUserRecord(user)).Password != user.Password) __builtin_trap();
  (void)DecodeLogRecord(text);
  (void)user.MessageText();

  // The long-path walk ends on any text, a lookup that renames every
  // component included.
  (void)LongPathWalk(text, [](std::string_view, std::string&) { return false; });
  (void)LongPathWalk(text, [](std::string_view prefix, std::string& name) {
    name = std::to_string(prefix.size());
    return true;
  });

  std::string p = text.substr(0, 300);
  for (int steps = 0; !p.empty(); ++steps) {
    const std::string parent = ParentPath(p);
    if (parent.size() >= p.size() || steps > 400) __builtin_trap();
    p = parent;
  }
  return 0;
}
