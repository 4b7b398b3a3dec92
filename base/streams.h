// Byte streams: the abstract stream, memory streams and file streams.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/events.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A TObject, so that string lists can hold streams as their objects.
class TStream : public TObject {
 public:
  ~TStream() override = default;
  // Read and Write move up to `count` bytes and return how many moved.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
  virtual int64_t Size();

  // All or nothing: EReadError "Stream read error" / EWriteError otherwise.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies `count` bytes from `source`'s position; count 0 copies the whole
  // source from its start. Returns the bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }

  void Clear();
  unsigned char* Memory() { return data_.data(); }
  const unsigned char* Memory() const { return data_.data(); }
  const std::vector<unsigned char>& Bytes() const { return data_; }
  std::string AsString() const { return std::string(data_.begin(), data_.end()); }

  void LoadFromStream(TStream& source);  // replaces the content, position 0
  void LoadFromFile(const std::string& fileName);
  void SaveToStream(TStream& dest);       // the whole content
  void SaveToFile(const std::string& fileName);

 private:
  std::vector<unsigned char> data_;
  int64_t pos_ = 0;
};

// File modes, combinable with the share flags (accepted and ignored natively).
enum : uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A file on disk. Raises EFOpenError "Cannot open file "<name>". <reason>"
// or EFCreateError "Cannot create file "<name>". <reason>".
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, uint32_t mode);
  ~TFileStream() override;
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return name_; }
  // Flushes to disk; raises EWriteError when the data could not be written.
  void Flush();

 private:
  std::FILE* f_ = nullptr;
  std::string name_;
};

// A whole file's bytes, or raises EFOpenError / EReadError.
std::string ReadFileBytes(const std::string& fileName);
bool FileExists(const std::string& fileName);
bool DeleteFile(const std::string& fileName);

// Writes `bytes` to a temporary file beside `fileName` and then moves it over
// `fileName` (lk_fileops::MoveReplace: on the 9x line by renames, which a
// reader completes through lk_fileops::ReplacedFileToRead), so a failure
// never leaves a torn file. Raises EFCreateError or EWriteError and removes
// the temporary file on failure.
void ReplaceFileAtomically(const std::string& fileName, const void* bytes, std::size_t count);
