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

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const std::string f = "/tmp/lkskin-fuzz-" + std::to_string(getpid()) + "/Night/";
    std::filesystem::create_directories(f);
    // A file beside the skin that a document type may name, and one outside.
    std::FILE* in = std::fopen((f + "inside.dtd").c_str(), "wb");
    std::fputs("<!ENTITY e 'inside'>", in);
    std::fclose(in);
    std::FILE* out = std::fopen((f + "../outside.dtd").c_str(), "wb");
    std::fputs("<!ENTITY e 'OUTSIDE'>", out);
    std::fclose(out);
    return f;
  }();
  return folder;
}

// Texts that come back as they went out. A control character below 0x20
// does not: tab, line feed and carriage return come back normalised (as a
// blank), the others, like 0x7F to 0x9F, have no byte in the written
// encoding and are written as "_".
bool Plain(const std::string& s) {
  for (const char c : s) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20 || (b >= 0x7F && b <= 0x9F)) return false;
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
  for (const std::string* text : {&skin.Name(), &skin.Author(), &skin.LinkText(), &skin.Background()})
    if (text->find("OUTSIDE") != std::string::npos) __builtin_trap();
  // Written out and read back: the same values (texts the code page
  // changed, or with characters XML cannot carry, are not compared).
  skin.BuildDocument();
  TLMSkin again;
  if (!again.LoadFromString(skin.GetXMLText())) return 0;
  if (!again.ReadDocument()) return 0;
  Same(skin, again);
  return 0;
}
