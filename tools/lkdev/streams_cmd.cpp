// lkdev streams dump FILE [--key K]
// lkdev streams pack OUT [--key K] [--stored] [--plain] NAME=VALUE...
//
// Defaults match the programs' own container: compressed, enciphered with
// key "4617". Names and values use the escapes \r \n \\ \xHH both ways.
#include <string>

#include "shared/core/streamcol.h"
#include "tools/lkdev/lkdev.h"

namespace {

struct TPackOptions {
  std::string key = kDataFileKey;
  bool stored = false;
  bool plain = false;
};

// Options first; the rest of the words are returned.
TDevArgs TakeOptions(const TDevArgs& args, std::size_t from, TPackOptions& o, bool packing) {
  std::size_t i = from;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    if (args[i] == "--key" && i + 1 < args.size()) {
      o.key = args[++i];
    } else if (packing && args[i] == "--stored") {
      o.stored = true;
    } else if (packing && args[i] == "--plain") {
      o.plain = true;
    } else {
      throw EDevUsage("unknown option " + args[i]);
    }
  }
  return TDevArgs(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
}

int Dump(const TDevArgs& args) {
  TPackOptions o;
  if (args.size() < 2) throw EDevUsage("expected dump FILE");
  if (!TakeOptions(args, 2, o, false).empty()) throw EDevUsage("unexpected words after FILE");
  TLkStreams streams(nullptr);
  streams.SetKey(o.key);
  streams.LoadFromFile(args[1]);
  std::string out;
  const TStringList& list = streams.StreamList();
  for (int i = 0; i < list.Count(); ++i) {
    const auto* item = static_cast<const TMemoryStream*>(list.Objects(i));
    // "=" in a name is escaped so that every line can be packed again.
    out += EscapeBytes(list.Strings(i), "=") + "=" + EscapeBytes(item->AsString()) + "\n";
  }
  WriteOut(out);
  return 0;
}

int Pack(const TDevArgs& args) {
  if (args.size() < 2) throw EDevUsage("expected pack OUT NAME=VALUE...");
  TPackOptions o;
  const TDevArgs items = TakeOptions(args, 2, o, true);
  TLkStreams streams(nullptr);
  streams.SetCompressed(!o.stored);
  streams.SetEncrypted(!o.plain);
  streams.SetKey(o.key);
  for (const auto& item : items) {
    const std::size_t eq = item.find('=');
    if (eq == std::string::npos || eq == 0) throw EDevUsage("expected NAME=VALUE, got \"" + item + "\"");
    const std::string value = UnescapeBytes(item.substr(eq + 1));
    TMemoryStream data;
    data.WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
    streams.AddStream(UnescapeBytes(item.substr(0, eq)), data);
  }
  streams.SaveToFile(args[1]);
  return 0;
}

int RunStreams(const TDevArgs& args) {
  if (!args.empty() && args[0] == "dump") return Dump(args);
  if (!args.empty() && args[0] == "pack") return Pack(args);
  throw EDevUsage("expected dump or pack");
}

const TDevCommandRegistrar kStreams({"streams",
                                     "streams dump FILE [--key K]\n"
                                     "streams pack OUT [--key K] [--stored] [--plain] NAME=VALUE...",
                                     RunStreams});

}  // namespace
