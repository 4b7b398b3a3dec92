// TLkStreams: a set of named in-memory streams stored whole in one file,
// optionally LH5-compressed and Blowfish-enciphered. The user-data file and
// the log file are such files, shared by the console and the gate, so the
// layout below is fixed:
//
//   byte 0   "&" compressed, otherwise stored
//   byte 1   "*" enciphered, otherwise plain
//   rest     the inner block, compressed first and then enciphered
//
//   inner block: 01 02 .. 08, int32 count, then per item in list order:
//   uint16 name length, name bytes, int32 size, data bytes (little-endian).
#pragma once

#include <memory>
#include <string>

#include "base/component.h"
#include "base/events.h"
#include "base/streams.h"
#include "base/stringlist.h"
#include "shared/core/errors.h"

using TOnAskForKey = TEvent<std::string(TObject* sender)>;

// The key of both data files ("lmdata.bin", "lmlog.bin").
inline constexpr const char* kDataFileKey = "4617";

class TLkStreams : public TComponent {
 public:
  static constexpr std::size_t kMaxNameLength = 65535;

  explicit TLkStreams(TComponent* owner);
  ~TLkStreams() override;

  // Saving follows these; a successful load sets them from the file.
  bool Compressed() const { return compressed_; }
  void SetCompressed(bool value) { compressed_ = value; }
  bool Encrypted() const { return encrypted_; }
  void SetEncrypted(bool value) { encrypted_ = value; }
  const std::string& Key() const { return key_; }
  void SetKey(const std::string& value) { key_ = value; }

  // Asked for the key when an enciphered file is loaded (otherwise Key is used).
  TOnAskForKey OnAskForKey;
  // Fired just before a load fails as corrupt.
  TNotifyEvent OnCorrupt;

  // Names sorted case-insensitively by the user locale; each object is the
  // item's TMemoryStream, owned by the container.
  const TStringList& StreamList() const { return *list_; }
  int Count() const { return list_->Count(); }

  // Stores a copy of the whole source under `name`; a name already held
  // (letter case ignored) keeps its first spelling and takes the new bytes.
  // An empty name does nothing; one over 65535 bytes raises EListError.
  void AddStream(const std::string& name, const TMemoryStream& source);
  // Writes a copy of the held stream at dest's position, then rewinds dest
  // (also when the name is not held). An empty name does nothing.
  void GetStream(const std::string& name, TMemoryStream& dest) const;
  void ClearStreams();

  // A load replaces the content only when the whole file parsed. Errors:
  // ECorruptFile "File is corrupt." (OnCorrupt fired once) for a damaged,
  // undecipherable or wrongly keyed file; EReadError "Stream read error" for
  // an inner block that ends inside a field; the file errors of TFileStream.
  void LoadFromFile(const std::string& fileName);
  void LoadFromStream(TStream& stream);
  // Saving writes a temporary file beside the target and moves it over.
  void SaveToFile(const std::string& fileName);
  void SaveToStream(TStream& stream);

  [[noreturn]] void RaiseCorrupt();
  void CheckSignature(TMemoryStream& block);

 private:
  void WriteStreams(TMemoryStream& block) const;
  static void WriteStreamName(TMemoryStream& block, const std::string& name);
  std::unique_ptr<TStringList> ReadStreams(TMemoryStream& block);
  static std::string ReadStreamName(TMemoryStream& block);

  std::unique_ptr<TStringList> list_;
  bool compressed_ = true;
  bool encrypted_ = false;
  std::string key_;
};
