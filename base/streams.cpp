#include "base/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/fileops.h"
#include "base/sysutils.h"

int64_t TStream::Size() {
  const int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  const int64_t end = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0 || (count != 0 && Read(buffer, count) != count)) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0 || (count != 0 && Write(buffer, count) != count)) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  std::vector<unsigned char> buf(static_cast<std::size_t>(std::min<int64_t>(count, 61440)) + 1);
  while (count > 0) {
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(buf.size()));
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    count -= n;
  }
  return total;
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || pos_ >= Size()) return 0;
  const int64_t n = std::min(count, Size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<std::size_t>(n));
  pos_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (pos_ + count > Size()) data_.resize(static_cast<std::size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, buffer, static_cast<std::size_t>(count));
  pos_ += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning: pos_ = offset; break;
    case TSeekOrigin::soCurrent: pos_ += offset; break;
    case TSeekOrigin::soEnd: pos_ = Size() + offset; break;
  }
  if (pos_ < 0) pos_ = 0;
  return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
  data_.resize(static_cast<std::size_t>(std::max<int64_t>(size, 0)));
  if (pos_ > size) pos_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t n = source.Size();
  std::vector<unsigned char> fresh(static_cast<std::size_t>(n));
  source.ReadBuffer(fresh.data(), n);
  data_.swap(fresh);
  pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
  f.Flush();
}

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : name_(fileName) {
  const char* how = "rb";
  if (mode == fmCreate || (mode & 0xFF00) == fmCreate)
    how = "w+b";
  else if ((mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite)
    how = "r+b";
  f_ = std::fopen(fileName.c_str(), how);
  if (!f_) {
    const std::string reason = std::strerror(errno);
    if (std::strcmp(how, "w+b") == 0) throw EFCreateError("Cannot create file \"" + fileName + "\". " + reason);
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + reason);
  }
}

TFileStream::~TFileStream() {
  if (f_) std::fclose(f_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  std::fseek(f_, 0, SEEK_CUR);  // switching between writing and reading
  return static_cast<int64_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), f_));
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  std::fseek(f_, 0, SEEK_CUR);
  return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), f_));
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int how = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
#ifdef _WIN32
  _fseeki64(f_, offset, how);
  return _ftelli64(f_);
#else
  fseeko(f_, offset, how);
  return ftello(f_);
#endif
}

void TFileStream::SetSize(int64_t size) {
  if (!lk_fileops::Truncate(f_, size)) throw EWriteError();
}

void TFileStream::Flush() {
  if (std::fflush(f_) != 0) throw EWriteError();
}

std::string ReadFileBytes(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  std::string bytes(static_cast<std::size_t>(f.Size()), '\0');
  f.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

bool FileExists(const std::string& fileName) { return lk_fileops::IsFile(fileName); }
bool DeleteFile(const std::string& fileName) { return std::remove(fileName.c_str()) == 0; }

void ReplaceFileAtomically(const std::string& fileName, const void* bytes, std::size_t count) {
  const std::string temp = fileName + ".tmp~";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) throw EFCreateError("Cannot create file \"" + temp + "\". " + std::strerror(errno));
  const bool written = (count == 0 || std::fwrite(bytes, 1, count, f) == count) && std::fflush(f) == 0 &&
                       lk_fileops::SyncFile(f);
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::remove(temp.c_str());
    throw EWriteError("Stream write error");
  }
  if (!lk_fileops::MoveReplace(temp, fileName)) {
    std::remove(temp.c_str());
    throw EWriteError("Cannot replace file \"" + fileName + "\"");
  }
}
