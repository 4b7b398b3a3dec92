// Events: callables that know who they belong to.
//
// A component often has to tell its own handler from a foreign one (it
// chains to a handler it replaced, or unhooks only what it hooked), so an
// event bound to an object's method compares equal to another binding of
// the same object and method. Lambdas get an identity only when one is given.
#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <utility>

class TObject {
 public:
  virtual ~TObject() = default;
};

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // An anonymous handler (no identity: equal only to itself by copy).
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<R, F&, A...> &&
                                              !std::is_same_v<std::decay_t<F>, TEvent>>>
  TEvent(F f) : fn_(std::move(f)) {
    static char anon;
    id_owner_ = &anon;
    id_serial_ = ++Serial();
  }

  // A handler bound to an object's method.
  template <class C, class M>
  TEvent(C* object, M method) : fn_([object, method](A... a) -> R { return (object->*method)(std::forward<A>(a)...); }) {
    static_assert(sizeof(M) <= sizeof(id_method_), "member pointer too large");
    id_owner_ = object;
    std::memcpy(id_method_.data(), &method, sizeof(M));
  }

  // A handler with an explicit identity (owner and tag).
  template <class F>
  static TEvent WithIdentity(const void* owner, std::size_t tag, F f) {
    TEvent e;
    e.fn_ = std::move(f);
    e.id_owner_ = owner;
    e.id_serial_ = tag;
    return e;
  }

  explicit operator bool() const { return static_cast<bool>(fn_); }
  R operator()(A... a) const { return fn_(std::forward<A>(a)...); }

  // The object the handler is bound to (or the identity owner); null for none.
  const void* Owner() const { return id_owner_; }

  bool operator==(const TEvent& o) const {
    if (!fn_ && !o.fn_) return true;
    return id_owner_ == o.id_owner_ && id_serial_ == o.id_serial_ && id_method_ == o.id_method_ &&
           static_cast<bool>(fn_) == static_cast<bool>(o.fn_);
  }
  bool operator!=(const TEvent& o) const { return !(*this == o); }

 private:
  static std::size_t& Serial() {
    static std::size_t s = 0;
    return s;
  }
  std::function<R(A...)> fn_;
  const void* id_owner_ = nullptr;
  std::size_t id_serial_ = 0;
  std::array<unsigned char, 3 * sizeof(void*)> id_method_{};
};

using TNotifyEvent = TEvent<void(TObject* sender)>;
