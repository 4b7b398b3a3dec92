#include "xml/lexexpansion.h"

#include <algorithm>

#include "xml/xmlerrors.h"

namespace {
TExpansionGuard* gActive = nullptr;  // parses run in the main thread only
}  // namespace

TExpansionGuard* TExpansionGuard::Active() { return gActive; }

int64_t TExpansionGuard::Limit() const { return std::clamp(input_ * 10, kMinTotal, kMaxTotal); }

void TExpansionGuard::Enter(bool parameter, const WideString& name, std::size_t length, int32_t line) {
  for (const auto& n : names_)
    if (n.first == parameter && n.second == name) throw ELkXMLParserError(kMsgRecursiveEntity, line);
  if (Depth() >= kMaxDepth) throw ELkXMLParserError(kMsgEntityDepth, line);
  if (total_ + static_cast<int64_t>(length) > Limit()) throw ELkXMLParserError(kMsgEntityTotal, line);
  total_ += static_cast<int64_t>(length);
  names_.emplace_back(parameter, name);
}

void TExpansionGuard::Leave() {
  if (!names_.empty()) names_.pop_back();
}

TExpansionSession::TExpansionSession() : guard_(gActive ? gActive : &own_), owner_(gActive == nullptr) {
  if (owner_) {
    own_.outer_ = gActive;
    gActive = &own_;
  }
}

TExpansionSession::~TExpansionSession() {
  if (owner_) gActive = own_.outer_;
}

TExpansionScope::TExpansionScope(bool parameter, const WideString& name, std::size_t length, int32_t line)
    : guard_(TExpansionGuard::Active()) {
  if (guard_) guard_->Enter(parameter, name, length, line);
}

TExpansionScope::~TExpansionScope() {
  if (guard_) guard_->Leave();
}

TExpansionScope& TExpansionScope::operator=(TExpansionScope&& other) noexcept {
  if (this != &other) {
    if (guard_) guard_->Leave();
    guard_ = other.guard_;
    other.guard_ = nullptr;
  }
  return *this;
}
