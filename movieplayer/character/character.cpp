#include "movieplayer/character/character.h"

#include <new>

#include "movieplayer/character/bitmap_decode.h"
#include "movieplayer/stream/movie_buffer.h"

namespace movie {

StreamCursor Character::Cursor() const
{
    if (!movie) return StreamCursor();
    size_t end = dataEnd <= movie->Received() ? dataEnd : movie->Received();
    return StreamCursor(movie->Data(), data, end);
}

Character* CharacterDictionary::Find(uint16_t id) const
{
    for (Character* c = buckets_[id & 0x7F]; c; c = c->next)
        if (c->id == id) return c;
    return nullptr;
}

Character* CharacterDictionary::Create(uint16_t id)
{
    if (Find(id)) return nullptr;
    Character* c = new (std::nothrow) Character;
    if (!c) return nullptr;
    c->id = id;
    c->next = buckets_[id & 0x7F];
    buckets_[id & 0x7F] = c;
    ++count_;
    return c;
}

void CharacterDictionary::Remove(uint16_t id)
{
    for (Character** link = &buckets_[id & 0x7F]; *link; link = &(*link)->next) {
        if ((*link)->id == id) {
            Character* c = *link;
            *link = c->next;
            c->bitmap.reset();
            c->next = retired_;
            retired_ = c;
            --count_;
            return;
        }
    }
}

void CharacterDictionary::Clear()
{
    auto free = [](Character*& head) {
        while (head) {
            Character* c = head;
            head = c->next;
            delete c;
        }
    };
    for (Character*& head : buckets_) free(head);
    free(retired_);
    count_ = 0;
}

}  // namespace movie
