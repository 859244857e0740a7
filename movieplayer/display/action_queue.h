// The queue of action lists waiting to run: frame actions (DoAction) and
// button transitions post here, the player runs them after the frame.
// A ring whose capacity is a power of two, starting at 32 and doubling when
// full up to 4096; a post beyond that is refused and the action dropped.
//
// A timeline that goes away cancels its waiting entries.  Scripts that seek
// back and forth fill the ring and destroy a sprite at every seek, so
// cancelling must not look at the whole ring: the entries of one target are
// chained (oldest first) and a cancel walks only that chain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

namespace movie {

class Timeline;

struct QueuedAction {
    size_t pos = 0;               // first action record, in the target's movie bytes
    size_t end = 0;               // end of the enclosing tag or record
    Timeline* target = nullptr;   // null once cancelled
};

class ActionQueue {
public:
    static constexpr size_t kInitialCapacity = 32;
    static constexpr size_t kMaxCapacity = 4096;

    // Returns the slot, or -1 when the queue is full.
    int Post(size_t pos, size_t end, Timeline* target);
    // Takes the oldest entry; false when empty.  Cancelled entries come out
    // with a null target.
    bool Take(QueuedAction* out);
    // Clears the target of every waiting entry aimed at target.
    void Cancel(const Timeline* target);
    size_t Count() const { return write_ - read_; }
    size_t Capacity() const { return ring_.size(); }

private:
    static constexpr size_t kNone = SIZE_MAX;
    struct Slot {
        QueuedAction action;
        size_t nextSame = kNone;   // counter of the next waiting entry for the same target
    };
    struct Chain {
        size_t first, last;        // counters of the target's oldest and newest waiting entries
    };

    Slot& At(size_t counter) { return ring_[counter & (ring_.size() - 1)]; }

    std::vector<Slot> ring_;
    size_t read_ = 0;    // counters run freely; the slot is counter & mask
    size_t write_ = 0;
    std::unordered_map<const Timeline*, Chain> chains_;
};

// The same queue the obvious way (a list, every cancel looks at every
// entry); the tests run both on the same operations.
class ReferenceActionQueue {
public:
    int Post(size_t pos, size_t end, Timeline* target);
    bool Take(QueuedAction* out);
    void Cancel(const Timeline* target);
    size_t Count() const { return entries_.size(); }

private:
    std::deque<QueuedAction> entries_;
};

}  // namespace movie
