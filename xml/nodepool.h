// Storage for document nodes. A document is many small objects of a few
// sizes, built and destroyed together; a free list per size, filled from
// large blocks, makes that much cheaper than the general heap. Blocks are
// kept for later documents, never given back; each thread cuts new nodes
// from a block of its own. Under AddressSanitizer the
// general heap is used, so the checks keep seeing every node.
#pragma once

#include <cstddef>

namespace nodepool {
// The alignment of the storage the pool gives out.
constexpr std::size_t kAlignment = 8;
void* Allocate(std::size_t size);
void Release(void* p, std::size_t size) noexcept;
}  // namespace nodepool
