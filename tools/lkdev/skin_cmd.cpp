// lkdev skin check PATH
//
// Loads a skin (its folder or its "skin.xml") through TLMSkin, as the gate
// does. Loaded: status 0 and its values, one line each (texts escaped as
// everywhere in lkdev). Not loaded: status 1 and each error text on its own
// line, or for a document that does not parse the one message the gate
// shows. A file that cannot be opened, or a conversion error: status 2 and
// its message.
#include <cstdio>
#include <string>

#include "base/fileops.h"
#include "base/sysutils.h"
#include "skins/lmskins.h"
#include "tools/lkdev/lkdev.h"

#ifdef _WIN32
#include "xml/win/xmlwin.h"
#endif

namespace {

std::string Area(const TSkinArea& a) {
  return IntToStr(a.X) + "," + IntToStr(a.Y) + "," + IntToStr(a.Width) + "," + IntToStr(a.Height);
}

int RunSkin(const TDevArgs& args) {
  if (args.size() != 2 || args[0] != "check") throw EDevUsage("expected check PATH");
#ifdef _WIN32
  InstallWinXMLSystem();  // the system's code page, as the gate has it
#endif
  std::string path = args[1];
  if (lk_fileops::IsDirectory(path)) path = IncludeTrailingPathDelimiter(path) + "skin.xml";
  TLMSkin skin;
  bool loaded;
  try {
    loaded = skin.LoadSkin(path);
  } catch (const EStreamError& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 2;
  } catch (const EConvertError& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    return 2;
  }
  if (!loaded) {
    if (!skin.Errors()) {
      WriteOut(EscapeBytes(skin.ParseErrorText()) + "\n");
    } else {
      for (const std::string& text : *skin.Errors()) WriteOut(EscapeBytes(text) + "\n");
    }
    return 1;
  }
  std::string out;
  out += "version=" + EscapeBytes(skin.Version()) + "\n";
  out += "name=" + EscapeBytes(skin.Name()) + "\n";
  out += "author=" + EscapeBytes(skin.Author()) + "\n";
  out += "background=" + EscapeBytes(skin.Background()) + "\n";
  out += "text=" + Area(skin.TextArea()) + " maxlength=" + IntToStr(skin.MaxLength()) +
         " color=" + TLMSkin::ColorToCode(skin.TextColor()) + "\n";
  out += "inputbox=" + Area(skin.InputBoxArea()) + " color=" + TLMSkin::ColorToCode(skin.InputBoxColor()) + "\n";
  out += "button=" + Area(skin.ButtonArea()) + " up=" + EscapeBytes(skin.ButtonUp()) +
         " down=" + EscapeBytes(skin.ButtonDown()) + "\n";
  // A loaded skin has a link exactly when both of these are given.
  if (!skin.LinkURL().empty())
    out += "link=" + Area(skin.LinkArea()) + " url=" + EscapeBytes(skin.LinkURL()) +
           " text=" + EscapeBytes(skin.LinkText()) + " color=" + TLMSkin::ColorToCode(skin.LinkColor()) + "\n";
  WriteOut(out);
  return 0;
}

const TDevCommandRegistrar kSkin({"skin", "skin check PATH   (a skin folder or its skin.xml)", RunSkin});

}  // namespace
