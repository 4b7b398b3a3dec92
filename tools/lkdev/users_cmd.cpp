// lkdev users dump FILE [--key K]
//
// The user-data file as the console and the gate read it: each entry in file
// order with its password, message and option codes, decoded by the same
// record codec. The message keeps its stored line breaks (shown as \xFF).
#include <string>

#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"
#include "tools/lkdev/lkdev.h"

namespace {

int Dump(const TDevArgs& args) {
  std::string key = kDataFileKey;
  if (args.size() == 4 && args[2] == "--key")
    key = args[3];
  else if (args.size() != 2)
    throw EDevUsage("expected dump FILE [--key K]");
  TLkStreams streams(nullptr);
  streams.SetKey(key);
  streams.LoadFromFile(args[1]);
  std::string out;
  const TStringList& list = streams.StreamList();
  for (int i = 0; i < list.Count(); ++i) {
    const auto* item = static_cast<const TMemoryStream*>(list.Objects(i));
    const TUserRecord r = DecodeUserRecord(item->AsString());
    out += "[" + EscapeBytes(list.Strings(i)) + "]\n";
    out += "password=" + EscapeBytes(r.Password) + "\n";
    out += "message=" + EscapeBytes(r.StoredMessage) + "\n";
    out += "options=" + EscapeBytes(r.OptionText) + "\n";
  }
  WriteOut(out);
  return 0;
}

int RunUsers(const TDevArgs& args) {
  if (!args.empty() && args[0] == "dump") return Dump(args);
  throw EDevUsage("expected dump");
}

const TDevCommandRegistrar kUsers({"users", "users dump FILE [--key K]", RunUsers});

}  // namespace
