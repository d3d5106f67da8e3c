// Storage for element objects. Elements are allocated from chunks reserved for
// them, by size class, instead of the general heap, where they would sit
// between the copies of their XML and their style texts. A tree's elements then
// lie together in creation order (document order), so the walks over a large
// tree (layout, painting, hit testing) read memory in a stream the processor
// can prefetch instead of one scattered cache miss per element.
// Freed storage is kept for later elements of the same size class; chunks are
// never given back. Thread-safe. Under AddressSanitizer the general heap is
// used, so that use after free stays detectable.
#pragma once

#include <cstddef>

namespace uilib {

void* AllocateElementStorage(std::size_t size);
void FreeElementStorage(void* storage, std::size_t size) noexcept;

}  // namespace uilib
