// Small classes the lexer, the parsers, the document model and the writer
// share: the symbol table, the element stack, the validation error list, the
// growable wide-character buffer and the file streams over a file handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/events.h"
#include "base/streams.h"
#include "xml/xmlstring.h"

class TLkXMLNode;

// --- string buffer ------------------------------------------------------------

// A wide-character buffer written one character at a time. Capacity follows
// the logical rule of the format (grows by 1024 when the next write position
// reaches it); the storage underneath grows geometrically, so appending is
// amortised constant time.
class TStringBuffer {
 public:
  explicit TStringBuffer(int32_t size);
  void AddChar(WideChar c);
  void AddString(const WideString& text);  // each unit up to the first U+0000
  WideString GetText() const { return items_; }
  void Reset();
  int32_t Capacity() const { return capacity_; }
  int32_t Count() const { return count_; }  // next write position, 1-based
  int32_t Length() const { return count_ - 1; }

 private:
  WideString items_;
  int32_t capacity_;
  int32_t count_ = 1;
};

// --- symbol table -------------------------------------------------------------

struct TSTEntry {
  TSTEntry() = default;
  TSTEntry(int32_t value, WideString name, int32_t extra)
      : Name(std::move(name)), Value(value), Extra(extra) {}
  void Set(int32_t value, const WideString& name, int32_t extra) {
    Value = value;
    Name = name;
    Extra = extra;
  }
  void Assign(const TSTEntry& other) { *this = other; }

  WideString Name;
  int32_t Value = 0;
  int32_t Extra = -1;
};

// 211 hashed buckets of entries. A handle is bucket + 256 * position in the
// bucket; -1 means not found.
class TSymTab {
 public:
  static constexpr int kBuckets = 211;
  TSymTab();
  static int Hash(const WideString& name);
  int32_t Insert(const WideString& name, int32_t value);  // never merges
  int32_t Lookup(const WideString& name) const;         // case-insensitive
  int32_t GetValue(int32_t handle) const { return Entry(handle).Value; }
  const WideString& GetName(int32_t handle) const { return Entry(handle).Name; }
  const TSTEntry& Entry(int32_t handle) const;
  // Back to the contents of `base`, which this table was copied from and
  // has only had entries added to since: cheaper than a new copy.
  void ResetTo(const TSymTab& base);

 private:
  std::vector<std::vector<TSTEntry>> buckets_;
  // The buckets Insert has added to, each once in a row at least: ResetTo
  // cuts only those back.
  std::vector<int> grown_;
};

// --- element stack ------------------------------------------------------------

// The open nodes of a parse; owns its elements, never the nodes.
class TXMLStack {
 public:
  TXMLStack() = default;
  TXMLStack(const TXMLStack&) = delete;
  TXMLStack& operator=(const TXMLStack&) = delete;
  void Push(TLkXMLNode* node) { items_.push_back(node); }
  // The name of the removed top's node (empty for nil). The stack must not
  // be empty.
  WideString Pop();
  // Removes the top without giving its name. The stack must not be empty.
  void Drop() { items_.pop_back(); }
  TLkXMLNode* Top() const { return items_.empty() ? nullptr : items_.back(); }
  bool Empty() const { return items_.empty(); }
  std::size_t Depth() const { return items_.size(); }

 private:
  std::vector<TLkXMLNode*> items_;
};

// --- validation errors --------------------------------------------------------

struct TLkError {
  TLkError(std::string message, TLkXMLNode* node) : Message(std::move(message)), Node(node) {}
  std::string Message;
  TLkXMLNode* Node;  // not owned
};

class TLkErrorsList {
 public:
  void Add(std::string message, TLkXMLNode* node) {
    items_.push_back(std::make_unique<TLkError>(std::move(message), node));
  }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  const TLkError& Items(int32_t i) const { return *items_.at(static_cast<std::size_t>(i)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<TLkError>> items_;
};

// --- file streams over a handle ----------------------------------------------

// The create-file arguments, with the values of the Windows API.
enum : uint32_t {
  xmlGenericRead = 0x80000000u,
  xmlGenericWrite = 0x40000000u,
  xmlFileShareRead = 0x00000001u,
  xmlFileShareWrite = 0x00000002u,
  xmlCreateNew = 1,
  xmlCreateAlways = 2,
  xmlOpenExisting = 3,
  xmlOpenAlways = 4,
  xmlTruncateExisting = 5,
  xmlFileAttributeNormal = 0x00000080u,
};

// A stream over an operating-system file handle (a C runtime descriptor on
// every platform). Read and Write return 0 when the system reports failure.
class TXMLHandleStream : public TStream {
 public:
  explicit TXMLHandleStream(int handle) : handle_(handle) {}
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;  // raises EOSError on failure
  int Handle() const { return handle_; }

 protected:
  int handle_;
};

// Opens or creates the file; owns the handle. Raises EFCreateError
// "Error creating file stream for <name>" when the system refuses. The
// share mode has no effect outside Windows.
class TXMLFileStream : public TXMLHandleStream {
 public:
  TXMLFileStream(const std::string& fileName, uint32_t desiredAccess, uint32_t shareMode,
                 uint32_t creationDisposition, uint32_t flagsAndAttributes);
  ~TXMLFileStream() override;
  TXMLFileStream(const TXMLFileStream&) = delete;
  TXMLFileStream& operator=(const TXMLFileStream&) = delete;
};
