// Characters of a movie and the dictionary that finds them by id.
//
// A character is a definition tag read in place: it records where in the
// movie's bytes its definition continues (data .. dataEnd, always inside the
// defining tag) and the few fields every user needs; the shape records,
// glyphs, text records and button records are read from there each time
// they are drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "movieplayer/geometry.h"
#include "movieplayer/stream/stream_cursor.h"

namespace movie {

class MovieBuffer;
struct DecodedBitmap;

enum CharacterKind : int {
    kCharShape = 0,
    kCharBitmap = 1,
    kCharButton = 2,
    kCharFont = 3,
    kCharText = 4,
    kCharSprite = 6,
    kCharMorphShape = 7,
    kCharEditText = 9,
    kCharLoadedMovie = 97,
    kCharRoot = 98,
};

constexpr uint16_t kRootCharacterId = 0xFFFE;

struct Character {
    Character* next = nullptr;          // dictionary chain
    const MovieBuffer* movie = nullptr; // whose bytes the positions index
    uint16_t id = 0;
    int kind = kCharShape;
    int tagCode = 0;
    MovieRect bounds;                   // empty until set
    MovieRect endBounds;                // morph shapes: bounds of the end shape
    size_t tagStart = 0;                // the defining record's header
    size_t data = 0;                    // where the definition continues
    size_t dataEnd = 0;                 // end of the defining tag

    // Buttons
    bool trackAsMenu = false;
    size_t cxformPos = 0;               // DefineButtonCxform body (0: none)
    // Fonts
    uint16_t fontFlags = 0;
    uint16_t glyphCount = 0;
    size_t fontInfoPos = 0;             // DefineFontInfo body (0: none)
    // Sprites
    uint16_t frameCount = 0;
    // Morph shapes: start of the end shape's records
    size_t morphEndEdges = 0;
    // Bitmaps, decoded on first use
    bool bitmapAlpha = false;
    bool decodeTried = false;
    std::shared_ptr<DecodedBitmap> bitmap;

    // A cursor over the rest of the definition.
    StreamCursor Cursor() const;
};

// 128 chains indexed by id & 0x7F; lookup compares the full 16-bit id.
class CharacterDictionary {
public:
    static constexpr int kBuckets = 128;

    CharacterDictionary() = default;
    CharacterDictionary(const CharacterDictionary&) = delete;
    CharacterDictionary& operator=(const CharacterDictionary&) = delete;
    ~CharacterDictionary() { Clear(); }

    Character* Find(uint16_t id) const;
    // Creates the record for id; null when the id is already defined (the
    // later definition is ignored) or memory runs out.
    Character* Create(uint16_t id);
    // Takes the id out of the dictionary and frees its decoded bitmap.  The
    // record itself lives on until the dictionary goes, because instances
    // placed earlier may still point at it.
    void Remove(uint16_t id);
    void Clear();
    int Count() const { return count_; }
    template <class F>
    void ForEach(F f) const
    {
        for (Character* head : buckets_)
            for (Character* c = head; c; c = c->next) f(c);
    }

private:
    Character* buckets_[kBuckets] = {};
    Character* retired_ = nullptr;
    int count_ = 0;
};

}  // namespace movie
