// Bounds on entity expansion, shared by every parser of one parse (the DTD
// and content-model parsers, and the parsers run on replacement text).
//
// An entity that is referenced while it is being expanded is refused, so
// are expansions nested more than kMaxDepth deep, and the text produced by
// all expansions of one parse together is capped, so a document of a few
// kilobytes cannot expand into gigabytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xml/xmlstring.h"

inline constexpr const char* kMsgRecursiveEntity = "Recursive entity reference";
inline constexpr const char* kMsgEntityDepth = "Entity references nest too deeply.";
inline constexpr const char* kMsgEntityTotal = "Entity expansion exceeds the size allowed for this document.";

class TExpansionGuard {
 public:
  static constexpr int kMaxDepth = 40;
  static constexpr int64_t kMinTotal = int64_t{1} << 20;   // code units
  static constexpr int64_t kMaxTotal = int64_t{16} << 20;  // code units

  // The guard of the running parse; null outside one.
  static TExpansionGuard* Active();

  // Bytes of input the parse has read (the document, external resources):
  // the cap is ten times this, within [kMinTotal, kMaxTotal].
  void AddInput(int64_t bytes) { input_ += bytes; }
  int64_t Limit() const;
  int64_t Total() const { return total_; }
  int Depth() const { return static_cast<int>(names_.size()); }

  // Raise ELkXMLParserError (line given) when the expansion is refused.
  void Enter(bool parameter, const WideString& name, std::size_t length, int32_t line);
  void Leave();

 private:
  friend class TExpansionSession;
  std::vector<std::pair<bool, WideString>> names_;
  int64_t total_ = 0;
  int64_t input_ = 0;
  TExpansionGuard* outer_ = nullptr;
};

// Makes a guard active for the outermost parse; inner parses share it.
class TExpansionSession {
 public:
  TExpansionSession();
  ~TExpansionSession();
  TExpansionSession(const TExpansionSession&) = delete;
  TExpansionSession& operator=(const TExpansionSession&) = delete;
  TExpansionGuard& Guard() { return *guard_; }

 private:
  TExpansionGuard own_;
  TExpansionGuard* guard_;
  bool owner_;
};

// One entity being expanded: entered on construction, left on destruction.
class TExpansionScope {
 public:
  TExpansionScope(bool parameter, const WideString& name, std::size_t length, int32_t line);
  ~TExpansionScope();
  TExpansionScope(TExpansionScope&& other) noexcept : guard_(other.guard_) { other.guard_ = nullptr; }
  TExpansionScope& operator=(TExpansionScope&& other) noexcept;
  TExpansionScope(const TExpansionScope&) = delete;
  TExpansionScope& operator=(const TExpansionScope&) = delete;

 private:
  TExpansionGuard* guard_;
};
