#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "base/streams.h"
#include "base/sysutils.h"
#include "shared/core/blowfish.h"
#include "shared/core/errors.h"
#include "shared/core/lh5.h"
#include "shared/core/streamcol.h"

namespace {

namespace fs = std::filesystem;
using Items = std::map<std::string, std::string>;  // name -> bytes, in the order compared below

const std::string kSignature("\x01\x02\x03\x04\x05\x06\x07\x08", 8);

std::string Int32(int32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
  return s;
}

std::string Item(const std::string& name, const std::string& data) {
  std::string s;
  s += static_cast<char>(name.size() & 0xFF);
  s += static_cast<char>(name.size() >> 8);
  return s + name + Int32(static_cast<int32_t>(data.size())) + data;
}

TMemoryStream Stream(const std::string& bytes) {
  TMemoryStream s;
  s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  s.SetPosition(0);
  return s;
}

void Add(TLkStreams& c, const std::string& name, const std::string& data) { c.AddStream(name, Stream(data)); }

std::string Get(const TLkStreams& c, const std::string& name) {
  TMemoryStream s;
  c.GetStream(name, s);
  return s.AsString();
}

// Names in list order with their bytes.
using Pairs = std::vector<std::pair<std::string, std::string>>;
Pairs Content(const TLkStreams& c) {
  Pairs r;
  for (int i = 0; i < c.Count(); ++i)
    r.emplace_back(c.StreamList().Strings(i), static_cast<const TMemoryStream*>(c.StreamList().Objects(i))->AsString());
  return r;
}

std::string Save(TLkStreams& c) {
  TMemoryStream s;
  c.SaveToStream(s);
  return s.AsString();
}

void Load(TLkStreams& c, const std::string& bytes) {
  TMemoryStream s = Stream(bytes);
  c.LoadFromStream(s);
}

std::string Compress(const std::string& bytes) {
  TMemoryStream in = Stream(bytes), out;
  LH5Compress(in, out);
  return out.AsString();
}

// Blowfish blocks of `bytes` (a multiple of 8) without the padding block.
std::string CipherBlocks(const std::string& bytes, const std::string& key) {
  TMemoryStream s = Stream(bytes);
  BlowfishEncipherStream(s, key);
  return s.AsString().substr(0, bytes.size());
}

TEST(StreamContainer, EmptyContainerIsMarkersAndBareBlock) {
  TLkStreams c(nullptr);
  EXPECT_TRUE(c.Compressed());
  EXPECT_FALSE(c.Encrypted());
  c.SetCompressed(false);
  EXPECT_EQ(Save(c), "  " + kSignature + Int32(0));

  c.SetCompressed(true);
  const std::string packed = Save(c);
  EXPECT_EQ(packed.substr(0, 2), "& ");
  TMemoryStream body = Stream(packed.substr(2)), inner;
  LH5Expand(body, inner);
  EXPECT_EQ(inner.AsString(), kSignature + Int32(0));
}

TEST(StreamContainer, StoredLayoutIsSortedCaseInsensitively) {
  TLkStreams c(nullptr);
  c.SetCompressed(false);
  for (const char* name : {"2", "b", "10", "A", "1"}) Add(c, name, name);
  Add(c, "e", "");
  EXPECT_EQ(Save(c), "  " + kSignature + Int32(6) + Item("1", "1") + Item("10", "10") + Item("2", "2") +
                         Item("A", "A") + Item("b", "b") + Item("e", ""));
}

TEST(StreamContainer, EncryptedWithoutKeyWritesPlain) {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  Add(c, "x", "y");
  const std::string bytes = Save(c);
  EXPECT_EQ(bytes.substr(0, 2), "& ");
  TLkStreams d(nullptr);
  Load(d, bytes);
  EXPECT_EQ(Get(d, "x"), "y");
  EXPECT_FALSE(d.Encrypted());
}

TEST(StreamContainer, NamesDifferingInCaseAreOneEntry) {
  TLkStreams c(nullptr);
  Add(c, "Default", "first");
  Add(c, "DEFAULT", "second");
  ASSERT_EQ(c.Count(), 1);
  EXPECT_EQ(c.StreamList().Strings(0), "Default");
  EXPECT_EQ(Get(c, "dEfAuLt"), "second");
  // Windows-1252 letters fold as well.
  Add(c, "\xC9t\xC9", "1");
  Add(c, "\xE9T\xE9", "2");
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(Get(c, "\xE9t\xE9"), "2");
}

TEST(StreamContainer, AddStreamCopiesTheWholeSource) {
  TLkStreams c(nullptr);
  TMemoryStream s = Stream("whole text");
  s.SetPosition(6);
  c.AddStream("a", s);
  s.WriteBuffer("!!!!", 4);  // a copy, not a reference
  EXPECT_EQ(Get(c, "a"), "whole text");
  c.AddStream("", s);
  EXPECT_EQ(c.Count(), 1);
}

TEST(StreamContainer, NameLengthLimit) {
  TLkStreams c(nullptr);
  const std::string longest(65535, 'n');
  Add(c, longest, "fits");
  EXPECT_THROW(Add(c, std::string(65536, 'm'), "too long"), EListError);
  EXPECT_EQ(c.Count(), 1);
  TLkStreams d(nullptr);
  Load(d, Save(c));
  EXPECT_EQ(Get(d, longest), "fits");
}

TEST(StreamContainer, GetStreamWritesAtThePositionAndRewinds) {
  TLkStreams c(nullptr);
  Add(c, "a", "XY");
  TMemoryStream dest = Stream("12345");
  dest.SetPosition(2);
  c.GetStream("a", dest);
  EXPECT_EQ(dest.AsString(), "12XY5");
  EXPECT_EQ(dest.Position(), 0);

  dest.SetPosition(3);
  c.GetStream("missing", dest);
  EXPECT_EQ(dest.AsString(), "12XY5");
  EXPECT_EQ(dest.Position(), 0);

  dest.SetPosition(3);
  c.GetStream("", dest);  // does nothing at all
  EXPECT_EQ(dest.Position(), 3);
}

TEST(StreamContainer, EveryModeRoundTripsAndSetsTheProperties) {
  std::string big;
  for (int i = 0; i < 100000; ++i) big += static_cast<char>(i % 7 == 0 ? (i * 2654435761u) >> 24 : 'a' + i % 26);
  const Items items = {{"All Users", "pw\r\nHello\xFFthere\r\n1,6\r\n"}, {"big", big}, {"empty", ""},
                       {std::string("\0z", 2), std::string("\0\x01\xFF", 3)}};
  for (const bool compressed : {false, true}) {
    for (const bool encrypted : {false, true}) {
      TLkStreams c(nullptr);
      c.SetCompressed(compressed);
      c.SetEncrypted(encrypted);
      c.SetKey("4617");
      for (const auto& [name, data] : items) Add(c, name, data);
      const std::string bytes = Save(c);
      EXPECT_EQ(bytes[0], compressed ? '&' : ' ');
      EXPECT_EQ(bytes[1], encrypted ? '*' : ' ');

      TLkStreams d(nullptr);
      d.SetCompressed(!compressed);
      d.SetEncrypted(!encrypted);
      d.SetKey("4617");
      Load(d, bytes);
      EXPECT_EQ(d.Compressed(), compressed);
      EXPECT_EQ(d.Encrypted(), encrypted);
      auto want = Content(c);
      EXPECT_EQ(Content(d), want) << compressed << encrypted;
    }
  }
}

TEST(StreamContainer, AskedKeyIsUsedAndKept) {
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("right");
  Add(c, "a", "b");
  const std::string bytes = Save(c);

  TLkStreams d(nullptr);
  d.SetKey("wrong");
  int asked = 0;
  d.OnAskForKey = [&](TObject* sender) {
    EXPECT_EQ(sender, &d);
    ++asked;
    return std::string("right");
  };
  Load(d, bytes);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(d.Key(), "right");
  EXPECT_EQ(Get(d, "a"), "b");
}

TEST(StreamContainer, FileRecordsAreReadAsStored) {
  // A repeated name keeps its first spelling and its last bytes; an empty
  // name cannot be asked for and is dropped.
  TLkStreams c(nullptr);
  Load(c, "  " + kSignature + Int32(4) + Item("Bob", "1") + Item("", "lost") + Item("BOB", "2") + Item("z", "3"));
  EXPECT_EQ(Content(c), (Pairs{{"Bob", "2"}, {"z", "3"}}));
  // A count of 0 or less is an empty container, whatever follows.
  Load(c, "  " + kSignature + Int32(-5) + "junk");
  EXPECT_EQ(c.Count(), 0);
}

// The damaged-input table. Each file is loaded into a container that holds
// a stored, plain file; the failed load must leave that untouched.
struct Damaged {
  const char* what;
  std::function<std::string()> bytes;
  bool corrupt;  // ECorruptFile "File is corrupt." (else EReadError "Stream read error")
};

std::string Block(const std::string& items, int32_t count) { return kSignature + Int32(count) + items; }

std::string PackedFile(bool compressed, const std::string& key) {
  TLkStreams c(nullptr);
  c.SetCompressed(compressed);
  c.SetEncrypted(true);
  c.SetKey(key);
  Add(c, "All Users", "secret\r\nmessage\r\n1\r\n");
  return Save(c);
}

const Damaged kDamaged[] = {
    {"empty file", [] { return std::string(); }, true},
    {"one byte", [] { return std::string("&"); }, true},
    {"markers only, stored", [] { return std::string("  "); }, true},
    {"markers only, compressed", [] { return std::string("& "); }, true},
    {"markers only, enciphered", [] { return std::string(" *"); }, true},
    {"missing signature", [] { return "  " + std::string("\x01\x02\x03\x04\x05\x06\x07\x09", 8) + Int32(0); }, true},
    {"signature cut short", [] { return "  " + kSignature.substr(0, 7); }, true},
    {"expanded data without signature", [] { return "& " + Compress("not a container at all"); }, true},
    {"compressed size field cut", [] { return "& " + Compress(Block("", 0)).substr(0, 3); }, true},
    {"wrong key", [] { return PackedFile(true, "4618"); }, true},
    {"wrong key, stored", [] { return PackedFile(false, "4618"); }, true},
    {"enciphered length not a multiple of 8",
     [] {
       std::string b = PackedFile(true, "4617");
       b.resize(b.size() - 3);
       return b;
     },
     true},
    {"pad count 0",
     [] { return " *" + CipherBlocks(Block("", 0) + std::string(3, '\0') + '\0', "4617"); }, true},
    {"pad count 9",
     [] { return " *" + CipherBlocks(Block("", 0) + std::string(3, '\0') + '\x09', "4617"); }, true},
    {"pad count beyond the data", [] { return " *" + CipherBlocks(std::string(7, 'x') + '\x08', "4617"); }, true},
    {"negative item size", [] { return "  " + Block(Item("a", "") .substr(0, 3) + Int32(-1), 1); }, true},
    {"count field cut", [] { return "  " + kSignature + Int32(1).substr(0, 2); }, false},
    {"name length cut", [] { return "  " + Block("\x01", 1); }, false},
    {"name cut", [] { return "  " + Block(std::string("\x05\x00" "ab", 4), 1); }, false},
    {"size field cut", [] { return "  " + Block(Item("ab", "").substr(0, 5), 1); }, false},
    {"item data cut", [] { return "  " + Block(Item("ab", "12345").substr(0, 9), 1); }, false},
    {"huge item size", [] { return "  " + Block(Item("ab", "").substr(0, 4) + Int32(0x7FFFFFFF) + "xy", 1); }, false},
    {"second item missing", [] { return "  " + Block(Item("a", "1"), 2); }, false},
};

TEST(StreamContainer, DamagedFilesFailCleanly) {
  TLkStreams c(nullptr);
  c.SetCompressed(false);
  Add(c, "keep", "me");
  const std::string original = Save(c);
  for (const auto& row : kDamaged) {
    const std::string bytes = row.bytes();
    const bool corrupt = row.corrupt;
    Load(c, original);
    c.SetKey("4617");
    int fired = 0;
    c.OnCorrupt = [&](TObject* sender) {
      EXPECT_EQ(sender, &c);
      ++fired;
    };
    std::string message;
    bool isCorrupt = false;
    try {
      Load(c, bytes);
      ADD_FAILURE() << row.what << ": loaded";
    } catch (const ECorruptFile& e) {
      isCorrupt = true;
      message = e.Message();
    } catch (const EReadError& e) {
      message = e.Message();
    }
    EXPECT_EQ(isCorrupt, corrupt) << row.what;
    EXPECT_EQ(message, corrupt ? "File is corrupt." : "Stream read error") << row.what;
    EXPECT_EQ(fired, corrupt ? 1 : 0) << row.what;
    EXPECT_EQ(Content(c), (Pairs{{"keep", "me"}})) << row.what;
    EXPECT_FALSE(c.Compressed()) << row.what;
    EXPECT_FALSE(c.Encrypted()) << row.what;
    EXPECT_EQ(c.Key(), "4617") << row.what;
    c.OnCorrupt = nullptr;
  }
}

TEST(StreamContainer, PadCountZeroWouldHaveLoaded) {
  // Guards the row above: with the pad byte read as 0 the deciphered block
  // is a valid container plus three stray bytes.
  const std::string plain = Block("", 0) + std::string(3, '\0') + '\0';
  TLkStreams c(nullptr);
  Load(c, "  " + plain);
  EXPECT_EQ(c.Count(), 0);
}

class StreamContainerFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // ctest runs each case in its own process, side by side: one folder each.
    dir_ = fs::path(LK_BINARY_DIR) / "test-output" / "streamcol" /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(StreamContainerFiles, SaveReplacesTheFileWhole) {
  const std::string file = Path("lmdata.bin");
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fputs("an older and much longer file that must not leave a tail behind", f);
    std::fclose(f);
  }
  TLkStreams c(nullptr);
  c.SetEncrypted(true);
  c.SetKey("4617");
  Add(c, "Default", "pw");
  c.SaveToFile(file);
  EXPECT_EQ(ReadFileBytes(file), Save(c));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  TLkStreams d(nullptr);
  d.SetKey("4617");
  d.LoadFromFile(file);
  EXPECT_EQ(Get(d, "default"), "pw");
}

TEST_F(StreamContainerFiles, MissingFileIsAnOpenError) {
  TLkStreams c(nullptr);
  Add(c, "keep", "me");
  EXPECT_THROW(c.LoadFromFile(Path("absent.bin")), EFOpenError);
  EXPECT_EQ(c.Count(), 1);
  EXPECT_THROW(c.SaveToFile(Path("no-such-folder/x.bin")), EStreamError);
}

}  // namespace
