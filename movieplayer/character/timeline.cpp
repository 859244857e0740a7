#include "movieplayer/character/timeline.h"

#include <new>

#include "movieplayer/character/bitmap_decode.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/stream/records.h"
#include "movieplayer/stream/tag_codes.h"

namespace movie {

namespace {

bool EqualNoCase(const char* a, size_t na, const char* b)
{
    size_t i = 0;
    for (; i < na && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == na && b[i] == 0;
}

}  // namespace

std::unique_ptr<Timeline> Timeline::CreateRoot(DisplayList* display, uint16_t level)
{
    std::unique_ptr<Timeline> t(new (std::nothrow) Timeline);
    if (!t) return nullptr;
    t->display_ = display;
    t->movie_ = std::shared_ptr<MovieBuffer>(new (std::nothrow) MovieBuffer);
    t->ownDict_.reset(new (std::nothrow) CharacterDictionary);
    if (!t->movie_ || !t->ownDict_) return nullptr;
    t->dict_ = t->ownDict_.get();
    t->root_ = t.get();
    t->level_ = level;
    display->RegisterContext(t.get());
    t->registered_ = true;
    return t;
}

std::unique_ptr<Timeline> Timeline::CreateSprite(DisplayList* display, const Timeline& owner,
                                                 const Character& sprite, Instance* instance)
{
    std::unique_ptr<Timeline> t(new (std::nothrow) Timeline);
    if (!t) return nullptr;
    Timeline* root = owner.root_;
    t->display_ = display;
    t->movie_ = root->movie_;   // shared bytes, counted by the shared pointer
    t->dict_ = root->dict_;
    t->root_ = root;
    t->instance_ = instance;
    t->first_ = sprite.data;
    t->end_ = sprite.dataEnd;
    t->frameCount_ = sprite.frameCount;
    t->tags_ = TagStream(t->movie_->Data(), t->first_, t->end_);
    t->nesting_ = owner.nesting_ + 1;
    display->RegisterContext(t.get());
    t->registered_ = true;
    return t;
}

std::unique_ptr<Timeline> Timeline::CreateLoadedMovie(DisplayList* display, Instance* instance)
{
    std::unique_ptr<Timeline> t = CreateRoot(display, instance->context ? instance->context->Level() : 0);
    if (!t) return nullptr;
    t->container_ = true;
    t->rootCharacter_.id = kRootCharacterId;
    t->rootCharacter_.kind = kCharLoadedMovie;
    t->rootCharacter_.movie = t->movie_.get();
    t->instance_ = instance;
    t->nesting_ = 0;
    return t;
}

Timeline::~Timeline()
{
    if (registered_) display_->UnregisterContext(this);
    // A root's instance and everything placed under it go with it; sprite
    // instances own their timelines and are destroyed by the display list,
    // and so are the containers of loaded movies.
    if (IsRoot() && instance_ && !container_) {
        Instance* inst = instance_;
        instance_ = nullptr;
        inst->boundTimeline = nullptr;
        display_->RemoveObject(&display_->Root(), inst->depth);
    }
}

void Timeline::Detach()
{
    if (registered_) display_->UnregisterContext(this);
    registered_ = false;
    instance_ = nullptr;
    playing_ = false;
}

bool Timeline::Append(const uint8_t* data, size_t size)
{
    if (!IsRoot()) return false;
    bool ok = movie_->Append(data, size);
    if (movie_->HeaderRead()) {
        if (tags_.Data() == nullptr) {
            first_ = movie_->FirstTag();
            tags_ = TagStream(movie_->Data(), first_, movie_->Received());
            frameCount_ = movie_->FrameCount();
        } else {
            tags_.Extend(movie_->Data(), movie_->Received());
        }
    }
    return ok;
}

int Timeline::FramesLoaded() const
{
    if (!IsRoot()) return frameCount_;
    return movie_->FramesLoaded();
}

const uint8_t* Timeline::JpegTables(size_t* size) const
{
    const Timeline* r = root_;
    if (!r->jpegTables_) return nullptr;
    *size = r->jpegTablesEnd_ - r->jpegTables_;
    return r->movie_->Data() + r->jpegTables_;
}

std::shared_ptr<DecodedBitmap> Timeline::Bitmap(Character* c, const Timeline* root)
{
    if (!c || c->kind != kCharBitmap || !c->movie) return nullptr;
    if (c->bitmap || c->decodeTried) return c->bitmap;
    c->decodeTried = true;
    const uint8_t* body = c->movie->Data() + c->data;
    size_t size = c->dataEnd - c->data;
    switch (c->tagCode) {
    case kTagDefineBits: {
        size_t n = 0;
        const uint8_t* tables = root ? root->JpegTables(&n) : nullptr;
        c->bitmap = DecodeJpeg(tables, n, body, size);
        break;
    }
    case kTagDefineBitsJpeg2: c->bitmap = DecodeJpeg(nullptr, 0, body, size); break;
    case kTagDefineBitsJpeg3: c->bitmap = DecodeJpegWithAlpha(body, size); break;
    case kTagDefineBitsLossless: c->bitmap = DecodeLossless(body, size, false); break;
    case kTagDefineBitsLossless2: c->bitmap = DecodeLossless(body, size, true); break;
    default: break;
    }
    return c->bitmap;
}

// ---- Running tags -------------------------------------------------------------

void Timeline::EnsureRootInstance()
{
    if (!IsRoot() || instance_) return;
    rootCharacter_.id = kRootCharacterId;
    rootCharacter_.kind = kCharRoot;
    rootCharacter_.movie = movie_.get();
    Placement p;
    p.character = &rootCharacter_;
    p.depth = level_;
    Instance* inst = display_->PlaceObject(&display_->Root(), p);
    if (!inst) return;
    inst->boundTimeline = this;
    inst->context = this;
    instance_ = inst;
}

int Timeline::RunFrame(bool actions)
{
    for (;;) {
        // The root's bytes grow as they arrive and may move.
        tags_.Extend(movie_->Data(), IsRoot() ? movie_->Received() : end_);
        TagRecord tag = tags_.Next();
        if (tag.code < 0) {
            // A sprite's list that ends without an End tag ends there.
            if (!IsRoot() || movie_->Complete()) {
                atEnd_ = true;
                return 0;
            }
            return -1;
        }
        if (tag.code == kTagEnd) {
            atEnd_ = true;
            return 0;
        }
        if (tag.code == kTagShowFrame) {
            ++frame_;
            labelPos_ = 0;
            return 1;
        }
        RunTag(tag, actions);
    }
}

void Timeline::RunTo(int target, int actionsFrom)
{
    while (frame_ < target && !atEnd_) {
        int r = RunFrame(frame_ + 1 >= actionsFrom);
        if (r < 0) break;
        if (r == 0 && frame_ < 0) frame_ = 0;   // no ShowFrame before End: frame 0 shows
    }
}

void Timeline::Step()
{
    if (!playing_ || (!instance_ && !IsRoot())) return;
    if (LoadError() != 0) {
        playing_ = false;
        return;
    }
    if (IsRoot() && !movie_->HeaderRead()) return;
    EnsureRootInstance();
    if (!instance_) return;
    int target = frame_ + 1;
    if (IsRoot() && target >= FramesLoaded() && !atEnd_) return;
    if (atEnd_) {
        if (looping_ && frame_ > 0) Seek(0);
        else playing_ = false;
        return;
    }
    RunTo(target, target);
    if (atEnd_ && frame_ < target) {
        if (looping_ && frame_ > 0) Seek(0);
        else playing_ = false;
    }
}

void Timeline::Seek(int f)
{
    if (f < 0) f = 0;
    if (IsRoot()) {
        if (!movie_->HeaderRead()) return;
        EnsureRootInstance();
    }
    if (!instance_) return;
    if (f == frame_) return;
    display_->SaveFocus();
    if (f < frame_) {
        tags_.Rewind();
        frame_ = -1;
        atEnd_ = false;
        display_->BeginRebuild(instance_);
        RunTo(f, f);
        display_->EndRebuild();
    } else {
        RunTo(f, f);
    }
    display_->RestoreFocus();
}

void Timeline::GotoFrame(int f)
{
    playing_ = false;
    Seek(f < 0 ? 0 : f);
}

void Timeline::Play(bool rewind)
{
    if (rewind && !looping_ && (atEnd_ || (frameCount_ > 0 && frame_ >= frameCount_ - 1))) Seek(0);
    playing_ = true;
}

bool Timeline::FrameActions(int f, std::vector<std::pair<size_t, size_t>>* out) const
{
    if (f < 0 || (IsRoot() && !movie_->HeaderRead())) return false;
    size_t limit = IsRoot() ? movie_->Received() : end_;
    TagStream t(movie_->Data(), first_, limit);
    int frames = 0;
    for (TagRecord tag = t.Next(); tag.code > 0; tag = t.Next()) {
        if (tag.code == kTagShowFrame) {
            if (frames == f) return true;
            ++frames;
        } else if (tag.code == kTagDoAction && frames == f) {
            out->push_back({tag.body, tag.end});
        }
    }
    return frames == f && !out->empty();
}

int Timeline::FindLabel(const char* label) const
{
    if (!movie_->HeaderRead() && IsRoot()) return -1;
    size_t limit = IsRoot() ? movie_->Received() : end_;
    TagStream t(movie_->Data(), first_, limit);
    int frames = 0;
    for (TagRecord tag = t.Next(); tag.code > 0; tag = t.Next()) {
        if (tag.code == kTagShowFrame) {
            ++frames;
        } else if (tag.code == kTagFrameLabel) {
            StreamCursor c = t.Body(tag);
            size_t n = 0;
            const char* s = c.String(&n);
            if (s && EqualNoCase(s, n, label)) return frames;
        }
    }
    return -1;
}

void Timeline::RunTag(const TagRecord& tag, bool actions)
{
    StreamCursor c = tags_.Body(tag);
    switch (tag.code) {
    case kTagPlaceObject:
    case kTagPlaceObject2:
        Place(tag.code, c);
        break;
    case kTagRemoveObject:
        c.UI16();
        [[fallthrough]];
    case kTagRemoveObject2: {
        uint16_t depth = c.UI16();
        if (!c.Overrun()) display_->RemoveObject(instance_, depth);
        break;
    }
    case kTagSetBackgroundColor: {
        uint32_t colour = c.Rgb();
        if (!c.Overrun()) display_->SetBackground(colour, level_ == 0 ? 2 : 1);
        break;
    }
    case kTagDoAction:
        if (actions) display_->Actions().Post(tag.body, tag.end, this);
        break;
    case kTagFrameLabel:
        labelPos_ = tag.body;
        break;
    case kTagJpegTables:
        if (!root_->jpegTables_) {
            root_->jpegTables_ = tag.body;
            root_->jpegTablesEnd_ = tag.end;
        }
        break;
    case kTagFreeCharacter: {
        uint16_t id = c.UI16();
        if (!c.Overrun()) dict_->Remove(id);
        break;
    }
    case kTagDefineFontInfo: {
        uint16_t id = c.UI16();
        Character* f = dict_->Find(id);
        if (f && f->kind == kCharFont && !f->fontInfoPos && !c.Overrun()) f->fontInfoPos = c.Pos();
        break;
    }
    case kTagDefineButtonCxform: {
        uint16_t id = c.UI16();
        Character* b = dict_->Find(id);
        if (b && b->kind == kCharButton && !b->cxformPos && !c.Overrun()) b->cxformPos = c.Pos();
        break;
    }
    default:
        Define(tag, c);
        break;
    }
}

void Timeline::Define(const TagRecord& tag, StreamCursor& c)
{
    int kind;
    switch (tag.code) {
    case kTagDefineShape:
    case kTagDefineShape2:
    case kTagDefineShape3: kind = kCharShape; break;
    case kTagDefineBits:
    case kTagDefineBitsJpeg2:
    case kTagDefineBitsJpeg3:
    case kTagDefineBitsLossless:
    case kTagDefineBitsLossless2: kind = kCharBitmap; break;
    case kTagDefineButton:
    case kTagDefineButton2: kind = kCharButton; break;
    case kTagDefineFont:
    case kTagDefineFont2: kind = kCharFont; break;
    case kTagDefineText:
    case kTagDefineText2: kind = kCharText; break;
    case kTagDefineSprite: kind = kCharSprite; break;
    case kTagDefineMorphShape: kind = kCharMorphShape; break;
    case kTagDefineEditText: kind = kCharEditText; break;
    default: return;   // sound, protection and unknown tags: skipped by length
    }
    uint16_t id = c.UI16();
    if (c.Overrun()) return;
    Character* ch = dict_->Create(id);
    if (!ch) return;   // already defined: the first definition wins
    ch->movie = movie_.get();
    ch->kind = kind;
    ch->tagCode = tag.code;
    ch->tagStart = tag.start;
    ch->dataEnd = tag.end;
    switch (tag.code) {
    case kTagDefineShape:
    case kTagDefineShape2:
    case kTagDefineShape3:
    case kTagDefineText:
    case kTagDefineText2:
    case kTagDefineEditText:
        ch->bounds = ReadRect(c);
        if (tag.code == kTagDefineEditText) {
            c.UI8();
            uint8_t flags2 = c.UI8();
            if (!(flags2 & 0x01)) display_->NoteDeviceFonts();
            c.Seek(c.Pos() - 2);
        }
        break;
    case kTagDefineBitsLossless2:
    case kTagDefineBitsJpeg3:
        ch->bitmapAlpha = true;
        break;
    case kTagDefineButton2:
        ch->trackAsMenu = c.UI8() & 1;
        break;
    case kTagDefineFont: {
        // The first offset of the table is the table's own size.
        size_t table = c.Pos();
        uint16_t first = c.UI16();
        ch->glyphCount = uint16_t(first / 2);
        c.Seek(table);
        break;
    }
    case kTagDefineFont2: {
        ch->fontFlags = c.UI16();
        uint8_t nameLength = c.UI8();
        c.Skip(nameLength);
        ch->glyphCount = c.UI16();
        break;
    }
    case kTagDefineSprite:
        ch->frameCount = c.UI16();
        break;
    case kTagDefineMorphShape: {
        ch->bounds = ReadRect(c);
        ch->endBounds = ReadRect(c);
        // UI32 offset from the end of this field to the end shape's records.
        uint32_t offset = c.UI32();
        size_t from = c.Pos();
        ch->morphEndEdges = offset <= c.Remaining() ? from + offset : c.End();
        break;
    }
    default:
        break;
    }
    ch->data = c.Pos();
    if (c.Overrun()) {
        // A definition cut off by its own tag defines nothing drawable.
        ch->data = ch->dataEnd;
    }
}

void Timeline::Place(int code, StreamCursor& c)
{
    Placement p;
    ColorTransformInit(p.cxform);
    if (code == kTagPlaceObject) {
        uint16_t id = c.UI16();
        p.depth = c.UI16();
        p.matrix = ReadMatrix(c);
        if (!c.AtEnd()) p.cxform = ReadColorTransform(c, false);
        if (c.Overrun()) return;
        p.character = dict_->Find(id);
        if (!p.character) return;
        p.flags = kPlaceCharacter | kPlaceMatrix | kPlaceCxform;
        display_->PlaceObject(instance_, p);
        return;
    }
    int flags = c.UI8();
    p.depth = c.UI16();
    if (flags & kPlaceCharacter) {
        uint16_t id = c.UI16();
        p.character = dict_->Find(id);
        if (!p.character || c.Overrun()) return;   // an unknown id drops the tag
    }
    if (flags & kPlaceMatrix) p.matrix = ReadMatrix(c);
    if (flags & kPlaceCxform) p.cxform = ReadColorTransform(c, true);
    if (flags & kPlaceRatio) p.ratio = c.UI16();
    if (flags & kPlaceName) p.name = c.String();
    if (flags & kPlaceClipDepth) p.clipDepth = c.UI16();
    if (c.Overrun()) return;
    p.flags = flags;
    // Strings read in place may end at the tag's last byte; keep a copy in
    // the instance (PlaceObject copies the name).
    if (flags & kPlaceMove) display_->MoveObject(instance_, p);
    else if (p.character) display_->PlaceObject(instance_, p);
}

}  // namespace movie
