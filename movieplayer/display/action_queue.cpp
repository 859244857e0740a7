#include "movieplayer/display/action_queue.h"

#include <new>

namespace movie {

int ActionQueue::Post(size_t pos, size_t end, Timeline* target)
{
    if (ring_.empty()) {
        try {
            ring_.resize(kInitialCapacity);
        } catch (const std::bad_alloc&) {
            return -1;
        }
    }
    if (Count() == ring_.size()) {
        size_t capacity = ring_.size() * 2;
        if (capacity > kMaxCapacity) return -1;
        std::vector<QueuedAction> grown;
        try {
            grown.resize(capacity);
        } catch (const std::bad_alloc&) {
            return -1;
        }
        size_t n = Count();
        for (size_t i = 0; i < n; ++i) grown[i] = ring_[(read_ + i) & (ring_.size() - 1)];
        ring_.swap(grown);
        read_ = 0;
        write_ = n;
    }
    size_t slot = write_ & (ring_.size() - 1);
    ring_[slot] = QueuedAction{pos, end, target};
    ++write_;
    return int(slot);
}

bool ActionQueue::Take(QueuedAction* out)
{
    if (read_ == write_) return false;
    *out = ring_[read_ & (ring_.size() - 1)];
    ++read_;
    return true;
}

void ActionQueue::Cancel(const Timeline* target)
{
    for (size_t i = read_; i != write_; ++i) {
        QueuedAction& a = ring_[i & (ring_.size() - 1)];
        if (a.target == target) a.target = nullptr;
    }
}

}  // namespace movie
