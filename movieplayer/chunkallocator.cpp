#include "movieplayer/chunkallocator.h"

#include <cstdlib>
#include <cstring>

namespace movie {

struct ChunkAllocator::Block {
    uint32_t tag;
    ChunkAllocator* owner;
    Block* next;
    Block* prev;
    void* freeList;
    uint16_t used;
    uint16_t serial;
};

namespace {

// Header sizes are kept at a multiple of 8 so that every item is aligned
// for the 64-bit members of the records stored in it.
constexpr size_t kBlockHeader = (sizeof(ChunkAllocator::Block) + 7) & ~size_t{7};
constexpr size_t kSlotHeader = 8;

ChunkAllocator::Block* BlockOfSlot(void* slot)
{
    uint32_t offset;
    std::memcpy(&offset, slot, sizeof offset);
    return reinterpret_cast<ChunkAllocator::Block*>(static_cast<char*>(slot) - offset);
}

}  // namespace

void ChunkAllocator::Init(size_t itemSize, int slotsPerBlock, bool keepEmpty, uint32_t blockTag)
{
    FreeAll();
    if (itemSize < sizeof(void*)) itemSize = sizeof(void*);
    slotSize_ = ((itemSize + 7) & ~size_t{7}) + kSlotHeader;
    slotsPerBlock_ = slotsPerBlock < 1 ? 1 : slotsPerBlock > 65535 ? 65535 : slotsPerBlock;
    keepEmpty_ = keepEmpty;
    tag_ = blockTag;
    counter_ = 0;
}

ChunkAllocator::Block* ChunkAllocator::NewBlock()
{
    if (slotSize_ == 0) return nullptr;
    void* mem = std::malloc(kBlockHeader + slotSize_ * static_cast<size_t>(slotsPerBlock_));
    if (!mem) return nullptr;
    Block* b = static_cast<Block*>(mem);
    b->tag = tag_;
    b->owner = this;
    b->next = nullptr;
    b->prev = last_;
    b->used = 0;
    b->serial = counter_++;
    b->freeList = nullptr;
    char* slots = static_cast<char*>(mem) + kBlockHeader;
    // Thread the slots so that the lowest address is handed out first.
    for (int i = slotsPerBlock_ - 1; i >= 0; --i) {
        char* slot = slots + slotSize_ * static_cast<size_t>(i);
        const uint32_t offset = static_cast<uint32_t>(slot - static_cast<char*>(mem));
        std::memcpy(slot, &offset, sizeof offset);
        std::memcpy(slot + kSlotHeader, &b->freeList, sizeof(void*));
        b->freeList = slot;
    }
    if (last_) last_->next = b;
    else first_ = b;
    last_ = b;
    return b;
}

void* ChunkAllocator::Alloc()
{
    if (!current_ || !current_->freeList) {
        current_ = nullptr;
        for (Block* b = first_; b; b = b->next) {
            if (b->freeList) {
                current_ = b;
                break;
            }
        }
        if (!current_) current_ = NewBlock();
        if (!current_) return nullptr;
    }
    char* slot = static_cast<char*>(current_->freeList);
    std::memcpy(&current_->freeList, slot + kSlotHeader, sizeof(void*));
    ++current_->used;
    return slot + kSlotHeader;
}

void ChunkAllocator::Unlink(Block* b)
{
    if (b->prev) b->prev->next = b->next;
    else first_ = b->next;
    if (b->next) b->next->prev = b->prev;
    else last_ = b->prev;
}

void ChunkAllocator::Free(void* item)
{
    if (!item) return;
    char* slot = static_cast<char*>(item) - kSlotHeader;
    Block* b = BlockOfSlot(slot);
    std::memcpy(slot + kSlotHeader, &b->freeList, sizeof(void*));
    b->freeList = slot;
    --b->used;
    if (b->used > 0 || keepEmpty_) {
        if (!current_ || b->serial < current_->serial) current_ = b;
    } else {
        Unlink(b);
        if (current_ == b) current_ = first_;
        std::free(b);
    }
}

void ChunkAllocator::Compact()
{
    for (Block* b = first_; b;) {
        Block* next = b->next;
        if (b->used == 0) {
            Unlink(b);
            if (current_ == b) current_ = nullptr;
            std::free(b);
        }
        b = next;
    }
    if (!current_) current_ = first_;
}

void ChunkAllocator::FreeAll()
{
    for (Block* b = first_; b;) {
        Block* next = b->next;
        std::free(b);
        b = next;
    }
    first_ = last_ = current_ = nullptr;
}

int ChunkAllocator::BlockCount() const
{
    int n = 0;
    for (Block* b = first_; b; b = b->next) ++n;
    return n;
}

int ChunkAllocator::SlotsInUse() const
{
    int n = 0;
    for (Block* b = first_; b; b = b->next) n += b->used;
    return n;
}

}  // namespace movie
