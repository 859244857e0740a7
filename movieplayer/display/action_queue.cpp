#include "movieplayer/display/action_queue.h"

#include <new>

namespace movie {

int ActionQueue::Post(size_t pos, size_t end, Timeline* target)
{
    try {
        if (ring_.empty()) ring_.resize(kInitialCapacity);
        if (Count() == ring_.size()) {
            const size_t capacity = ring_.size() * 2;
            if (capacity > kMaxCapacity) return -1;
            // Entries keep their counters, so the chains stay valid.
            std::vector<Slot> grown(capacity);
            for (size_t c = read_; c != write_; ++c) grown[c & (capacity - 1)] = At(c);
            ring_.swap(grown);
        }
        if (target) {
            auto [chain, fresh] = chains_.try_emplace(target, Chain{write_, write_});
            if (!fresh) {
                At(chain->second.last).nextSame = write_;
                chain->second.last = write_;
            }
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    Slot& s = At(write_);
    s.action = QueuedAction{pos, end, target};
    s.nextSame = kNone;
    ++write_;
    return int((write_ - 1) & (ring_.size() - 1));
}

bool ActionQueue::Take(QueuedAction* out)
{
    if (read_ == write_) return false;
    const Slot& s = At(read_);
    *out = s.action;
    if (s.action.target) {
        // The oldest entry of the queue is the oldest of its target's chain.
        auto chain = chains_.find(s.action.target);
        if (s.nextSame == kNone) chains_.erase(chain);
        else chain->second.first = s.nextSame;
    }
    ++read_;
    return true;
}

void ActionQueue::Cancel(const Timeline* target)
{
    auto chain = chains_.find(target);
    if (chain == chains_.end()) return;
    for (size_t c = chain->second.first; c != kNone;) {
        Slot& s = At(c);
        s.action.target = nullptr;
        c = s.nextSame;
    }
    chains_.erase(chain);
}

int ReferenceActionQueue::Post(size_t pos, size_t end, Timeline* target)
{
    if (entries_.size() == ActionQueue::kMaxCapacity) return -1;
    entries_.push_back(QueuedAction{pos, end, target});
    return 0;
}

bool ReferenceActionQueue::Take(QueuedAction* out)
{
    if (entries_.empty()) return false;
    *out = entries_.front();
    entries_.pop_front();
    return true;
}

void ReferenceActionQueue::Cancel(const Timeline* target)
{
    for (QueuedAction& a : entries_)
        if (a.target == target) a.target = nullptr;
}

}  // namespace movie
