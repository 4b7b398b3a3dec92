#include "xml/nodepool.h"

#include <atomic>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define LK_NODEPOOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LK_NODEPOOL_OFF 1
#endif
#endif

namespace nodepool {

#ifdef LK_NODEPOOL_OFF

void* Allocate(std::size_t size) { return ::operator new(size); }
void Release(void* p, std::size_t) noexcept { ::operator delete(p); }

#else

namespace {

// Nodes hold pointers and strings, nothing aligned wider: a grain of 8
// wastes less than the general heap's 16.
constexpr std::size_t kGrain = kAlignment;
constexpr std::size_t kLargest = 512;  // bigger objects go to the general heap
constexpr std::size_t kClasses = kLargest / kGrain;
constexpr std::size_t kBlockSize = 64 * 1024;

struct TFree {
  TFree* Next;
};

struct TPool {
  // Read without the lock to see whether a list is empty: a parse that
  // builds a new tree finds them all empty and takes no lock.
  std::atomic<TFree*> Free[kClasses] = {};
  std::atomic_flag Busy = ATOMIC_FLAG_INIT;  // nodes are a main-thread affair; this only keeps it safe
};

TPool& Pool() {
  static TPool pool;
  return pool;
}

// Each thread cuts new nodes from a block of its own, without a lock (a
// lock is a full memory fence, on every node). The rest of a thread's
// block is lost when the thread ends.
struct TBlock {
  char* Cursor = nullptr;
  char* End = nullptr;
};
thread_local TBlock tBlock;

struct TLock {
  std::atomic_flag& Flag;
  explicit TLock(std::atomic_flag& f) : Flag(f) {
    while (Flag.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~TLock() { Flag.clear(std::memory_order_release); }
};

}  // namespace

void* Allocate(std::size_t size) {
  if (size == 0 || size > kLargest) return ::operator new(size);
  const std::size_t cls = (size - 1) / kGrain;
  const std::size_t rounded = (cls + 1) * kGrain;
  TPool& pool = Pool();
  if (pool.Free[cls].load(std::memory_order_relaxed)) {
    TLock lock(pool.Busy);
    if (TFree* f = pool.Free[cls].load(std::memory_order_relaxed)) {
      pool.Free[cls].store(f->Next, std::memory_order_relaxed);
      return f;
    }
  }
  TBlock& block = tBlock;
  if (static_cast<std::size_t>(block.End - block.Cursor) < rounded) {
    // A new block; the rest of the old one is too small for this size and
    // stays unused.
    block.Cursor = static_cast<char*>(::operator new(kBlockSize));
    block.End = block.Cursor + kBlockSize;
  }
  void* p = block.Cursor;
  block.Cursor += rounded;
  return p;
}

void Release(void* p, std::size_t size) noexcept {
  if (!p) return;
  if (size == 0 || size > kLargest) {
    ::operator delete(p);
    return;
  }
  const std::size_t cls = (size - 1) / kGrain;
  TPool& pool = Pool();
  TLock lock(pool.Busy);
  auto* f = static_cast<TFree*>(p);
  f->Next = pool.Free[cls].load(std::memory_order_relaxed);
  pool.Free[cls].store(f, std::memory_order_relaxed);
}

#endif

}  // namespace nodepool
