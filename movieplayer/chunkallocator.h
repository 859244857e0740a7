// Fixed-size record allocator for the small records of the display list, the
// rasteriser and the tag reader.
//
// Records live in slots of malloc'ed blocks; each slot starts with an 8-byte
// header holding the 32-bit offset back to its block (8 rather than 4 bytes
// so that items stay aligned for 64-bit members), followed by the item
// rounded up to 8 bytes.
// Freed slots go back on their block's free list; allocation drifts to the
// oldest block that has room so that young blocks empty and can be freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace movie {

class ChunkAllocator {
public:
    ChunkAllocator() = default;
    ChunkAllocator(const ChunkAllocator&) = delete;
    ChunkAllocator& operator=(const ChunkAllocator&) = delete;
    ~ChunkAllocator() { FreeAll(); }

    void Init(size_t itemSize, int slotsPerBlock, bool keepEmpty, uint32_t blockTag);
    void* Alloc();
    void Free(void* item);
    void Compact();
    void FreeAll();

    // For tests and statistics.
    int BlockCount() const;
    int SlotsInUse() const;

    struct Block;

private:
    Block* NewBlock();
    void Unlink(Block* b);

    size_t slotSize_ = 0;
    int slotsPerBlock_ = 0;
    bool keepEmpty_ = false;
    uint32_t tag_ = 0;
    uint16_t counter_ = 0;
    Block* first_ = nullptr;
    Block* last_ = nullptr;
    Block* current_ = nullptr;
};

// Typed convenience over a ChunkAllocator; records are trivially copyable
// and are value-initialised on allocation.
template <class T>
class RecordPool {
public:
    void Init(int perBlock, bool keepEmpty, uint32_t tag) { alloc_.Init(sizeof(T), perBlock, keepEmpty, tag); }
    T* New()
    {
        void* p = alloc_.Alloc();
        return p ? new (p) T() : nullptr;
    }
    void Delete(T* p)
    {
        if (p) alloc_.Free(p);
    }
    void Compact() { alloc_.Compact(); }
    void FreeAll() { alloc_.FreeAll(); }
    ChunkAllocator& Allocator() { return alloc_; }

private:
    ChunkAllocator alloc_;
};

}  // namespace movie
