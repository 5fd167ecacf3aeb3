#include "zyengine/ZyHeap.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace qoxa::zy {
namespace {

// Slabs double from 4 KB up to 4 MB, so a lone value costs little and a big document few slabs.
constexpr size_t kFirstSlabBytes = 4096;
constexpr size_t kMaxSlabBytes = size_t{4} << 20;

// Under AddressSanitizer every block is an allocation of its own, so that the sanitizer sees
// each record's lifetime instead of a few slabs.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kBlockPerAllocation = true;
#else
constexpr bool kBlockPerAllocation = false;
#endif

void* MallocOrThrow(size_t bytes) {
  void* p = std::malloc(bytes ? bytes : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

// Slabs start on a page boundary (their sizes are whole pages), so that every page can name its heap.
void* PageAlignedOrThrow(size_t bytes) {
  void* p = std::aligned_alloc(4096, bytes);
  if (!p) throw std::bad_alloc();
  return p;
}

// Big slabs are mapped with their pages made present at once: one call instead of a page fault
// for every 4 KB page as the slab fills (the pages are written right away anyway).
constexpr size_t kMappedSlabBytes = size_t{256} << 10;

#if defined(__linux__) && defined(MAP_POPULATE) && defined(MADV_FREE)
// Big slabs of released documents are kept for the next document instead of being unmapped:
// the zy lookups parse the whole text again on every selection, and fresh pages cost a page fault
// and a cleared page each, far more than the parse writes into them. Kept slabs have their pages
// marked free (MADV_FREE), so the kernel takes them back when memory runs short; a slab whose
// pages are still there is written again without faults. At most kKeptLimit bytes are kept.
class SlabPool {
 public:
  void* Take(size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = slabs_.size(); i-- > 0;) {
      if (slabs_[i].bytes != bytes) continue;
      void* slab = slabs_[i].address;
      slabs_.erase(slabs_.begin() + static_cast<ptrdiff_t>(i));
      kept_ -= bytes;
      return slab;
    }
    return nullptr;
  }
  bool Keep(void* slab, size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (kept_ + bytes > kKeptLimit) return false;
    slabs_.push_back({slab, bytes});
    kept_ += bytes;
    madvise(slab, bytes, MADV_FREE);
    return true;
  }

 private:
  static constexpr size_t kKeptLimit = size_t{768} << 20;
  struct Slab {
    void* address;
    size_t bytes;
  };
  std::mutex mutex_;
  std::vector<Slab> slabs_;
  size_t kept_ = 0;
};

// Never destroyed: heaps may be released during the process's exit.
SlabPool& Pool() {
  static SlabPool* pool = new SlabPool;
  return *pool;
}

void* NewSlab(size_t bytes) {
  if (bytes >= kMappedSlabBytes) {
    if (void* kept = Pool().Take(bytes)) return kept;
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return p;
  }
  return PageAlignedOrThrow(bytes);
}

void FreeSlab(void* slab, size_t bytes) {
  if (bytes >= kMappedSlabBytes) {
    if (!Pool().Keep(slab, bytes)) munmap(slab, bytes);
    return;
  }
  std::free(slab);
}
#else
void* NewSlab(size_t bytes) { return PageAlignedOrThrow(bytes); }
void FreeSlab(void* slab, size_t) { std::free(slab); }
#endif

}  // namespace

ZyHeap* ZyHeap::Create() { return new ZyHeap; }

ZyHeap::~ZyHeap() {
  // Slab sizes double from the first up to the largest, as Carve made them.
  size_t bytes = kFirstSlabBytes;
  for (size_t i = 0; i < slabCount_; ++i) {
    FreeSlab(slabs_[i], bytes);
    if (bytes < kMaxSlabBytes) bytes *= 2;
  }
  std::free(slabs_);
}

size_t ZyHeap::ClassOf(size_t bytes, size_t* blockBytes) {
  if (bytes == 0) bytes = 1;
  if (bytes <= kSmallLimit) {
    const size_t index = (bytes + 7) / 8 - 1;
    *blockBytes = (index + 1) * 8;
    return index;
  }
  size_t size = kSmallLimit * 2;
  size_t index = kSmallLimit / 8;
  while (size < bytes) {
    size *= 2;
    ++index;
  }
  *blockBytes = size;
  return index;
}

void ZyHeap::StartPage(char* page) {
  ZyHeap* self = this;
  std::memcpy(page, &self, sizeof self);
  cursor_ = page + kPageHeader;
  limit_ = page + kPageBytes;
}

void* ZyHeap::Carve(size_t blockBytes) {
  // A block never straddles pages: the rest of a page too small for it stays unused.
  while (static_cast<size_t>(limit_ - cursor_) < blockBytes) {
    if (limit_ != slabEnd_) {
      StartPage(limit_);
      continue;
    }
    if (slabCount_ == slabCapacity_) {
      slabCapacity_ = slabCapacity_ ? slabCapacity_ * 2 : 8;
      auto** grown = static_cast<char**>(MallocOrThrow(slabCapacity_ * sizeof(char*)));
      if (slabCount_) std::memcpy(grown, slabs_, slabCount_ * sizeof(char*));
      std::free(slabs_);
      slabs_ = grown;
    }
    char* slab = static_cast<char*>(NewSlab(nextSlabBytes_));
    slabs_[slabCount_++] = slab;
    slabEnd_ = slab + nextSlabBytes_;
    StartPage(slab);
    if (nextSlabBytes_ < kMaxSlabBytes) nextSlabBytes_ *= 2;
  }
  void* block = cursor_;
  cursor_ += blockBytes;
  return block;
}

void* ZyHeap::AllocateSlow(size_t bytes) {
  void* block;
  if (kBlockPerAllocation) {
    // A block of its own, with its heap's address in front of it.
    char* own = static_cast<char*>(MallocOrThrow(bytes + kBlockHeader));
    ZyHeap* self = this;
    std::memcpy(own, &self, sizeof self);
    block = own + kBlockHeader;
  } else if (bytes > kPooledLimit) {
    block = MallocOrThrow(bytes);
  } else {
    size_t blockBytes;
    const size_t index = ClassOf(bytes, &blockBytes);
    if (FreeBlock* reused = free_[index]) {
      free_[index] = reused->next;
      block = reused;
    } else {
      block = Carve(blockBytes);
    }
  }
  ++live_;
  return block;
}

void ZyHeap::FreeSlow(void* block, size_t bytes) {
  if (!block) return;
  if (kBlockPerAllocation) {
    std::free(static_cast<char*>(block) - kBlockHeader);
  } else if (bytes > kPooledLimit) {
    std::free(block);
  } else {
    size_t blockBytes;
    const size_t index = ClassOf(bytes, &blockBytes);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = free_[index];
    free_[index] = freed;
  }
  if (--live_ == 0) delete this;
}

}  // namespace qoxa::zy
