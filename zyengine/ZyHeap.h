#pragma once
// The memory of a document. Records, their containers and their texts are carved from the slabs
// of a ZyHeap; a freed block goes to a free list of its size and is reused. A heap counts its
// live blocks and frees all its slabs at once when the last one goes, so releasing a whole
// document costs a walk over its records and a handful of large frees.
//
// A record made next to another record (a child while parsing, a value made for a document) uses
// that record's heap; a record made on its own starts a new heap. Like the rest of a document,
// a heap assumes one thread at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace qoxa::zy {

class ZyHeap {
 public:
  static ZyHeap* Create();
  ZyHeap(const ZyHeap&) = delete;
  ZyHeap& operator=(const ZyHeap&) = delete;

  void* Allocate(size_t bytes) {
#if !defined(__SANITIZE_ADDRESS__)
    // Small blocks: the free list of their size, else the current slab (the common case inline).
    if (bytes - 1 < kSmallLimit) {
      const size_t index = (bytes - 1) / 8;
      if (FreeBlock* reused = free_[index]) {
        free_[index] = reused->next;
        ++live_;
        return reused;
      }
      const size_t blockBytes = (index + 1) * 8;
      if (static_cast<size_t>(limit_ - cursor_) >= blockBytes) {
        void* block = cursor_;
        cursor_ += blockBytes;
        // The slab is written front to back: ask for the lines a few blocks ahead, so that
        // fetching them overlaps the work instead of stalling the next writes.
        __builtin_prefetch(cursor_ + kPrefetchAhead, 1);
        ++live_;
        return block;
      }
    }
#endif
    return AllocateSlow(bytes);
  }
  // Gives a block back; the heap destroys itself when this was its last live block.
  void Free(void* block, size_t bytes) {
#if !defined(__SANITIZE_ADDRESS__)
    if (block && bytes - 1 < kSmallLimit) {
      auto* freed = static_cast<FreeBlock*>(block);
      const size_t index = (bytes - 1) / 8;
      freed->next = free_[index];
      free_[index] = freed;
      if (--live_ == 0) delete this;
      return;
    }
#endif
    FreeSlow(block, bytes);
  }

  size_t LiveBlocks() const { return live_; }

  // The heap a block of up to kPagedLimit bytes was allocated from. Records use it instead of
  // keeping a heap pointer each: every page of a slab starts with its heap's address, and small
  // blocks never straddle pages. (Under AddressSanitizer every block carries the address in front
  // of it instead.)
  static constexpr size_t kPagedLimit = 2048;
  static ZyHeap* Of(const void* block) {
    ZyHeap* heap;
#if defined(__SANITIZE_ADDRESS__)
    std::memcpy(&heap, static_cast<const char*>(block) - kBlockHeader, sizeof heap);
#else
    std::memcpy(&heap, reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(block) & ~(kPageBytes - 1)), sizeof heap);
#endif
    return heap;
  }

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  static constexpr size_t kSmallLimit = 256;     // 8-byte size steps up to here
  static constexpr size_t kPooledLimit = kPagedLimit;  // powers of two up to here; larger blocks are single allocations
  static constexpr size_t kPageBytes = 4096;
  static constexpr size_t kPageHeader = 8;  // the heap's address at the start of every slab page
  static constexpr size_t kBlockHeader = 16;  // the same in front of a block of its own
  static constexpr size_t kClassCount = kSmallLimit / 8 + 3;
  static constexpr size_t kPrefetchAhead = 512;

  ZyHeap() = default;
  ~ZyHeap();
  static size_t ClassOf(size_t bytes, size_t* blockBytes);
  void* AllocateSlow(size_t bytes);
  void FreeSlow(void* block, size_t bytes);
  void* Carve(size_t blockBytes);
  // Makes the page at `page` the current one: its header written, the cursor after it.
  void StartPage(char* page);

  FreeBlock* free_[kClassCount] = {};
  char** slabs_ = nullptr;  // slab addresses, kept in a plain growable array
  size_t slabCount_ = 0;
  size_t slabCapacity_ = 0;
  size_t nextSlabBytes_ = 4096;  // the first slab's size, then doubling up to a limit
  char* cursor_ = nullptr;
  char* limit_ = nullptr;  // the end of the current page
  char* slabEnd_ = nullptr;
  size_t live_ = 0;
};

template <class T, class... Args>
T* HeapNew(ZyHeap* heap, Args&&... args) {
  void* block = heap->Allocate(sizeof(T));
  return new (block) T(std::forward<Args>(args)...);
}

template <class T>
void HeapDelete(ZyHeap* heap, T* object) {
  if (!object) return;
  object->~T();
  heap->Free(object, sizeof(T));
}

}  // namespace qoxa::zy
