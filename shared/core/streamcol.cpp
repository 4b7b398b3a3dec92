#include "shared/core/streamcol.h"

#include <cstdint>
#include <cstring>
#include <limits>

#include "base/locale.h"
#include "base/sysutils.h"
#include "shared/core/blowfish.h"
#include "shared/core/lh5.h"

namespace {

constexpr unsigned char kSignature[8] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr char kCompressedMark = '&';
constexpr char kEncipheredMark = '*';
constexpr char kBlankMark = ' ';

std::unique_ptr<TStringList> NewNameList() {
  auto list = std::make_unique<TStringList>();
  list->SetCompare([](const std::string& a, const std::string& b) { return AnsiCompareText(a, b); });
  list->SetSorted(true);
  list->SetOwnsObjects(true);
  return list;
}

// A name already held keeps its spelling and takes the new stream.
void PutStream(TStringList& list, const std::string& name, std::unique_ptr<TMemoryStream> stream) {
  int index;
  if (list.Find(name, index)) {
    delete list.Objects(index);
    list.SetObject(index, stream.release());
  } else {
    list.AddObject(name, stream.get());
    stream.release();
  }
}

void WriteLE(TMemoryStream& s, uint32_t v, int bytes) {
  unsigned char b[4];
  for (int i = 0; i < bytes; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
  s.WriteBuffer(b, bytes);
}

uint32_t ReadLE(TMemoryStream& s, int bytes) {
  unsigned char b[4];
  s.ReadBuffer(b, bytes);
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[i];
  return v;
}

}  // namespace

TLkStreams::TLkStreams(TComponent* owner) : TComponent(owner), list_(NewNameList()) {}

TLkStreams::~TLkStreams() { ClearStreams(); }

void TLkStreams::AddStream(const std::string& name, const TMemoryStream& source) {
  if (name.empty()) return;
  // The file stores the length in 16 bits; a longer name could not be read back.
  if (name.size() > kMaxNameLength)
    throw EListError("Stream name is longer than 65535 bytes (" + IntToStr(static_cast<int64_t>(name.size())) + ")");
  auto copy = std::make_unique<TMemoryStream>();
  copy->WriteBuffer(source.Memory(), static_cast<int64_t>(source.Bytes().size()));
  copy->SetPosition(0);
  PutStream(*list_, name, std::move(copy));
}

void TLkStreams::GetStream(const std::string& name, TMemoryStream& dest) const {
  if (name.empty()) return;
  int index;
  if (list_->Find(name, index)) {
    const auto* held = static_cast<const TMemoryStream*>(list_->Objects(index));
    dest.WriteBuffer(held->Memory(), static_cast<int64_t>(held->Bytes().size()));
  }
  dest.SetPosition(0);
}

void TLkStreams::ClearStreams() { list_->Clear(); }

void TLkStreams::RaiseCorrupt() {
  if (OnCorrupt) OnCorrupt(this);
  throw ECorruptFile("File is corrupt.");
}

void TLkStreams::CheckSignature(TMemoryStream& block) {
  unsigned char head[sizeof kSignature];
  block.SetPosition(0);
  if (block.Read(head, sizeof head) != sizeof head || std::memcmp(head, kSignature, sizeof head) != 0) RaiseCorrupt();
}

void TLkStreams::WriteStreamName(TMemoryStream& block, const std::string& name) {
  WriteLE(block, static_cast<uint32_t>(name.size()), 2);
  block.WriteBuffer(name.data(), static_cast<int64_t>(name.size()));
}

void TLkStreams::WriteStreams(TMemoryStream& block) const {
  block.WriteBuffer(kSignature, sizeof kSignature);
  WriteLE(block, static_cast<uint32_t>(list_->Count()), 4);
  for (int i = 0; i < list_->Count(); ++i) {
    const auto* item = static_cast<const TMemoryStream*>(list_->Objects(i));
    const std::size_t size = item->Bytes().size();
    if (size > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
      throw EWriteError("Stream \"" + list_->Strings(i) + "\" is too large to save");
    WriteStreamName(block, list_->Strings(i));
    WriteLE(block, static_cast<uint32_t>(size), 4);
    block.WriteBuffer(item->Memory(), static_cast<int64_t>(size));
  }
}

std::string TLkStreams::ReadStreamName(TMemoryStream& block) {
  const uint32_t n = ReadLE(block, 2);
  std::string name(n, '\0');
  block.ReadBuffer(name.data(), n);
  return name;
}

std::unique_ptr<TStringList> TLkStreams::ReadStreams(TMemoryStream& block) {
  CheckSignature(block);
  auto list = NewNameList();
  // Every field must lie inside the block: one that runs past its end is a
  // read error (ReadBuffer), never a read beyond it.
  const auto count = static_cast<int32_t>(ReadLE(block, 4));
  for (int32_t i = 0; i < count; ++i) {
    std::string name = ReadStreamName(block);
    const auto size = static_cast<int32_t>(ReadLE(block, 4));
    if (size < 0) RaiseCorrupt();
    if (size > block.Size() - block.Position()) throw EReadError();
    auto item = std::make_unique<TMemoryStream>();
    if (size > 0) {
      // Straight into the item: a log holds a great many small records.
      item->SetSize(size);
      block.ReadBuffer(item->Memory(), size);
    }
    // An empty name cannot be asked for; it is dropped as AddStream would.
    if (!name.empty()) PutStream(*list, name, std::move(item));
  }
  return list;
}

void TLkStreams::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TLkStreams::LoadFromStream(TStream& stream) {
  std::string key = key_;
  stream.SetPosition(0);
  const int64_t size = stream.Size();
  if (size < 2) RaiseCorrupt();
  unsigned char marks[2];
  stream.ReadBuffer(marks, 2);
  const bool compressed = marks[0] == kCompressedMark;
  const bool enciphered = marks[1] == kEncipheredMark;

  TMemoryStream payload;
  if (size > 2) payload.CopyFrom(stream, size - 2);
  payload.SetPosition(0);

  if (enciphered) {
    if (OnAskForKey) key = OnAskForKey(this);
    try {
      BlowfishDecipherStream(payload, key);
    } catch (const Exception&) {
      RaiseCorrupt();
    }
  }

  TMemoryStream expanded;
  TMemoryStream* inner = &payload;
  if (compressed) {
    payload.SetPosition(0);
    try {
      LH5Expand(payload, expanded);
    } catch (const Exception&) {
      RaiseCorrupt();
    }
    inner = &expanded;
  } else {
    CheckSignature(payload);
  }

  // Parsed aside first: a file that fails half-way must not leave a partial
  // content that the next save would write out.
  std::unique_ptr<TStringList> parsed = ReadStreams(*inner);
  list_.swap(parsed);
  key_ = key;
  compressed_ = compressed;
  encrypted_ = enciphered;
}

void TLkStreams::SaveToStream(TStream& stream) {
  TMemoryStream block;
  WriteStreams(block);
  const bool encipher = encrypted_ && !key_.empty();

  TMemoryStream payload;
  if (compressed_) {
    block.SetPosition(0);
    LH5Compress(block, payload);
  } else {
    payload.WriteBuffer(block.Memory(), block.Size());
  }
  if (encipher) BlowfishEncipherStream(payload, key_);

  const char marks[2] = {compressed_ ? kCompressedMark : kBlankMark, encipher ? kEncipheredMark : kBlankMark};
  stream.WriteBuffer(marks, 2);
  stream.WriteBuffer(payload.Memory(), payload.Size());
}

void TLkStreams::SaveToFile(const std::string& fileName) {
  TMemoryStream image;
  SaveToStream(image);
  ReplaceFileAtomically(fileName, image.Memory(), static_cast<std::size_t>(image.Size()));
}
