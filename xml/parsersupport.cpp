#include "xml/parsersupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "base/sysutils.h"
#include "xml/dom.h"
#include "xml/xmlstrings.h"

#ifndef O_BINARY
#define O_BINARY 0  // only the Windows runtime distinguishes text files
#endif

// --- TStringBuffer ----------------------------------------------------------

TStringBuffer::TStringBuffer(int32_t size) : capacity_(size) {
  items_.reserve(size > 0 ? static_cast<std::size_t>(size) : 0);
}

void TStringBuffer::AddChar(WideChar c) {
  items_.push_back(c);
  ++count_;
  if (count_ == capacity_) capacity_ += 1024;
}

void TStringBuffer::AddString(const WideString& text) {
  for (WideChar c : text) {
    if (c == 0) break;
    AddChar(c);
  }
}

void TStringBuffer::Reset() {
  items_.clear();
  count_ = 1;
}

// --- TSymTab ----------------------------------------------------------------

TSymTab::TSymTab() : buckets_(kBuckets) {}

int TSymTab::Hash(const WideString& name) {
  uint16_t h = 0;
  for (WideChar c : name) {
    if (c == 0) break;
    uint16_t code = c < 256 ? XMLUpCase(c) : c;
    h = static_cast<uint16_t>(h * 16 + code);
  }
  return h % kBuckets;
}

int32_t TSymTab::Insert(const WideString& name, int32_t value) {
  int bucket = Hash(name);
  auto& list = buckets_[static_cast<std::size_t>(bucket)];
  list.emplace_back(value, name.substr(0, static_cast<std::size_t>(XMLStrLen(name))), -1);
  if (grown_.empty() || grown_.back() != bucket) grown_.push_back(bucket);
  return bucket + 256 * static_cast<int32_t>(list.size() - 1);
}

int32_t TSymTab::Lookup(const WideString& name) const {
  int bucket = Hash(name);
  const auto& list = buckets_[static_cast<std::size_t>(bucket)];
  for (std::size_t i = 0; i < list.size(); ++i)
    if (XMLStrCompareText(list[i].Name, name) == 0) return bucket + 256 * static_cast<int32_t>(i);
  return -1;
}

void TSymTab::ResetTo(const TSymTab& base) {
  for (int b : grown_) {
    auto& list = buckets_[static_cast<std::size_t>(b)];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(base.buckets_[static_cast<std::size_t>(b)].size()), list.end());
  }
  grown_.clear();
}

const TSTEntry& TSymTab::Entry(int32_t handle) const {
  if (handle < 0) throw std::out_of_range("TSymTab: invalid handle");
  return buckets_.at(static_cast<std::size_t>(handle & 0xFF)).at(static_cast<std::size_t>(handle >> 8));
}

// --- TXMLStack --------------------------------------------------------------

WideString TXMLStack::Pop() {
  if (items_.empty()) throw std::logic_error("TXMLStack.Pop: the stack is empty");
  TLkXMLNode* node = items_.back();
  items_.pop_back();
  return node ? node->GetNodeName() : WideString();
}

// --- file streams -----------------------------------------------------------

int64_t TXMLHandleStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  auto n = ::read(handle_, buffer, static_cast<unsigned>(count));
  return n < 0 ? 0 : n;
}

int64_t TXMLHandleStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  auto n = ::write(handle_, buffer, static_cast<unsigned>(count));
  return n < 0 ? 0 : n;
}

int64_t TXMLHandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(handle_, static_cast<off_t>(offset), whence);
}

void TXMLHandleStream::SetSize(int64_t size) {
  Seek(size, TSeekOrigin::soBeginning);
  if (::ftruncate(handle_, static_cast<off_t>(size)) != 0)
    throw EOSError("Unable to set the end of the file", static_cast<uint32_t>(errno));
}

namespace {
int OpenFlags(uint32_t access, uint32_t disposition) {
  int flags = O_BINARY;
  bool read = (access & xmlGenericRead) != 0, write = (access & xmlGenericWrite) != 0;
  flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case xmlCreateNew: flags |= O_CREAT | O_EXCL; break;
    case xmlCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case xmlOpenAlways: flags |= O_CREAT; break;
    case xmlTruncateExisting: flags |= O_TRUNC; break;
    default: break;
  }
  return flags;
}
}  // namespace

TXMLFileStream::TXMLFileStream(const std::string& fileName, uint32_t desiredAccess, uint32_t /*shareMode*/,
                               uint32_t creationDisposition, uint32_t /*flagsAndAttributes*/)
    : TXMLHandleStream(::open(fileName.c_str(), OpenFlags(desiredAccess, creationDisposition), 0666)) {
  if (handle_ < 0) throw EFCreateError("Error creating file stream for " + fileName);
}

TXMLFileStream::~TXMLFileStream() {
  if (handle_ >= 0) ::close(handle_);
}
