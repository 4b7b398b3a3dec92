// "skin.xml" bytes through TLMSkin as the gate loads them: a file in a
// folder of its own, read by the shared parser (no network, no file outside
// the folder). Whatever the bytes, the load answers or raises one of the
// errors the gate reports; a loaded skin's values are written out and read
// back to the same values.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/streams.h"
#include "base/sysutils.h"
#include "skins/lmskins.h"
#include "xml/xmlerrors.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string f = "/tmp/lkskin-fuzz-" + std::to_string(getpid()) + "/Night/";
    std::filesystem::create_directories(f);
    // A file beside the skin that a document type may name, and one outside.
    std::FILE* in = std::fopen((f + "inside.dtd").c_str(), "wb");
    std::fputs("<!ENTITY e 'inside'>", in);
    std::fclose(in);
    return f;
  }();
  return folder;
}

// The file outside the skin's folder, defining "e" as WORD.
void WriteOutside(const char* word) {
  std::FILE* out = std::fopen((Folder() + "../outside.dtd").c_str(), "wb");
  if (!out) __builtin_trap();
  std::fprintf(out, "<!ENTITY e '%s'>", word);
  std::fclose(out);
}

bool Load(TLMSkin& skin, const std::string& path) {
  try {
    return skin.LoadSkin(path);
  } catch (const EConvertError&) {
    return false;  // a coordinate that is no number, a picture name the code page cannot hold
  }
}

bool SameTexts(const TLMSkin& a, const TLMSkin& b) {
  return a.Name() == b.Name() && a.Author() == b.Author() && a.LinkText() == b.LinkText() &&
         a.Background() == b.Background();
}

bool SaysOutside(const TLMSkin& skin) {
  for (const std::string* text : {&skin.Name(), &skin.Author(), &skin.LinkText(), &skin.Background()})
    if (text->find("OUTSIDE") != std::string::npos) return true;
  return false;
}

// Texts that come back as they went out. A control character below 0x20
// does not: tab, line feed and carriage return come back normalised (as a
// blank), the others, like 0x7F to 0x9F, have no byte in the written
// encoding and are written as "_".
// Nor does an "&" followed by ";" before any other "&": the writer keeps it
// as the start of a reference (and escapes what lies between), so what
// comes back is what that reference reads as.
bool Plain(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x20 || (b >= 0x7F && b <= 0x9F)) return false;
    if (b == '&') {
      const std::size_t end = s.find_first_of("&;", i + 1);
      if (end != std::string::npos && s[end] == ';') return false;
    }
  }
  return true;
}

void Same(const TLMSkin& a, const TLMSkin& b) {
  if (!(a.TextArea() == b.TextArea()) || a.TextColor() != b.TextColor() || !(a.InputBoxArea() == b.InputBoxArea()) ||
      a.InputBoxColor() != b.InputBoxColor() || !(a.ButtonArea() == b.ButtonArea()))
    __builtin_trap();
  if (a.MaxLength() > 0 && a.MaxLength() != b.MaxLength()) __builtin_trap();
  for (auto text : {&TLMSkin::Version, &TLMSkin::Name, &TLMSkin::Author, &TLMSkin::Background, &TLMSkin::ButtonUp,
                    &TLMSkin::ButtonDown})
    if (Plain((a.*text)()) && (a.*text)() != (b.*text)()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = Folder() + "skin.xml";
  // Written plainly: a synced replace each run would cost most of the time.
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) __builtin_trap();
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
  static const bool outsideWritten = (WriteOutside("OUTSIDE"), true);
  (void)outsideWritten;
  TLMSkin skin;
  bool loaded = false;
  try {
    loaded = skin.LoadSkin(path);
  } catch (const EConvertError&) {
    return 0;  // a coordinate that is no number, a picture name the code page cannot hold
  }
  if (!loaded) {
    if (!skin.Errors()) {
      if (skin.ParseErrorText().rfind("Error parsing XML. ", 0) != 0) __builtin_trap();
    } else if (skin.Errors()->empty()) {
      __builtin_trap();  // a failed read always says why
    }
    return 0;
  }
  if (skin.Errors() && !skin.Errors()->empty()) __builtin_trap();
  // Nothing comes from the file outside the folder. The document may say
  // "OUTSIDE" itself (as text or character references): the file was read
  // only if another word in it changes what loads.
  if (SaysOutside(skin)) {
    WriteOutside("ELSEWHERE");
    TLMSkin probe;
    const bool same = Load(probe, path) && SameTexts(skin, probe);
    WriteOutside("OUTSIDE");
    if (!same) __builtin_trap();
  }
  // Written out and read back: the same values (texts the code page
  // changed, or with characters XML cannot carry, are not compared).
  // A text whose "&" is followed by ";" before any other "&" is written
  // as a reference, and an empty one ("&;") makes the writer raise.
  std::string written;
  try {
    skin.BuildDocument();
    written = skin.GetXMLText();
  } catch (const ELkXMLParserError&) {
    return 0;
  }
  TLMSkin again;
  if (!again.LoadFromString(written)) return 0;
  if (!again.ReadDocument()) return 0;
  Same(skin, again);
  return 0;
}
