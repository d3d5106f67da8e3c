#include "uilib/element_storage.h"

#include <array>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VELKO_ELEMENT_STORAGE_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELKO_ELEMENT_STORAGE_HEAP 1
#endif
#endif

namespace uilib {

#if defined(VELKO_ELEMENT_STORAGE_HEAP)
void* AllocateElementStorage(std::size_t size) { return ::operator new(size); }
void FreeElementStorage(void* storage, std::size_t) noexcept { ::operator delete(storage); }
#else
namespace {

// Objects are rounded up to whole cache lines so that no element shares a line
// with its neighbour; larger ones than the biggest class use the heap.
constexpr std::size_t kLine = 64;
constexpr std::size_t kClasses = 32;  // up to 2 KB
constexpr std::size_t kChunkBytes = 256 * 1024;

struct FreeSlot {
  FreeSlot* next;
};

struct SizeClass {
  FreeSlot* free = nullptr;
  char* cursor = nullptr;  // unused tail of the newest chunk
  char* end = nullptr;
};

class ElementStorage {
 public:
  void* Allocate(std::size_t size) {
    const std::size_t index = ClassOf(size);
    if (index >= kClasses) return ::operator new(size);
    std::lock_guard<std::mutex> lock(mutex_);
    SizeClass& c = classes_[index];
    if (c.free != nullptr) {
      FreeSlot* slot = c.free;
      c.free = slot->next;
      return slot;
    }
    const std::size_t slot_bytes = (index + 1) * kLine;
    if (c.cursor == nullptr || static_cast<std::size_t>(c.end - c.cursor) < slot_bytes) {
      chunks_.push_back(std::make_unique<Chunk>());
      c.cursor = chunks_.back()->bytes;
      c.end = c.cursor + kChunkBytes;
    }
    void* storage = c.cursor;
    c.cursor += slot_bytes;
    return storage;
  }

  void Free(void* storage, std::size_t size) noexcept {
    if (storage == nullptr) return;
    const std::size_t index = ClassOf(size);
    if (index >= kClasses) {
      ::operator delete(storage);
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    SizeClass& c = classes_[index];
    c.free = new (storage) FreeSlot{c.free};
  }

 private:
  struct alignas(kLine) Chunk {
    char bytes[kChunkBytes];
  };

  static std::size_t ClassOf(std::size_t size) { return size == 0 ? 0 : (size - 1) / kLine; }

  std::mutex mutex_;
  std::array<SizeClass, kClasses> classes_{};
  std::vector<std::unique_ptr<Chunk>> chunks_;
};

ElementStorage& Storage() {
  // Never destroyed: elements may be freed during static destruction.
  static ElementStorage* storage = new ElementStorage();
  return *storage;
}

}  // namespace

void* AllocateElementStorage(std::size_t size) { return Storage().Allocate(size); }
void FreeElementStorage(void* storage, std::size_t size) noexcept { Storage().Free(storage, size); }
#endif

}  // namespace uilib
