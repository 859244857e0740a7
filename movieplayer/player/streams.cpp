// URL requests and the streams that answer them: movies into levels and
// sprites, form-encoded variables into timelines, "FSCommand:" to the host.
#include <cstring>

#include "movieplayer/player/number_text.h"
#include "movieplayer/player/player.h"

namespace movie {

namespace {

}  // namespace

int SPlayer::ParseLevelNumber(const std::string& target)
{
    const char* prefixes[] = {"_level", "_flash"};
    for (const char* p : prefixes) {
        if (!StartsWithNoCase(target, p)) continue;
        size_t i = std::strlen(p);
        if (i == target.size()) return -1;
        long n = 0;
        for (; i < target.size(); ++i) {
            char c = target[i];
            if (c < '0' || c > '9') return -1;
            n = n * 10 + (c - '0');
            if (n > 0xFFFF) return -1;
        }
        return int(n);
    }
    return -1;
}

void SPlayer::GetURLRequest(const std::string& url, const std::string& target, const std::string& postData, int flags)
{
    if (StartsWithNoCase(url, "FSCommand:")) {
        FSCommand(url.substr(10), target);
        return;
    }
    const int level = ParseLevelNumber(target);
    auto owner = std::make_unique<StreamOwner>();
    if (level < 0 && !(flags & kUrlSpriteTarget)) {
        owner.reset();
        const std::string window = target.empty() ? "_self" : target;
        if (postData.empty()) GetURL(url, window, nullptr);
        else PostURL(url, window, postData, nullptr);
        return;
    }
    if (flags & kUrlSpriteTarget) {
        Timeline* root = Root();
        Timeline* t = root ? ResolveTarget(root, target) : nullptr;
        if (!t) return;
        if (!(flags & kUrlLoadVariables)) {
            Instance* inst = t->GetInstance();
            if (t->IsRoot() && !t->IsLoadedMovie()) {
                GetLevel(t->Level(), false);
            } else if (inst) {
                Timeline* fresh = nullptr;
                LoadIntoSprite(inst, &fresh);
                if (!fresh) return;
                t = fresh;
            }
        }
        owner->spritePath = TargetPath(t);
        if (owner->spritePath.empty()) owner->spritePath.assign(1, '/');
        owner->loadVariables = flags & kUrlLoadVariables;
    } else {
        if (url.empty() && !(flags & (kUrlLoadVariables | kUrlSpriteTarget))) {
            RemoveLevel(level);
            return;
        }
        owner->level = level;
        owner->loadVariables = flags & kUrlLoadVariables;
        if (!(flags & kUrlLoadVariables) && !firstLoad_) GetLevel(level, false);
    }
    if (postData.empty()) GetURL(url, target, std::move(owner));
    else PostURL(url, target, postData, std::move(owner));
}

void SPlayer::LoadIntoSprite(Instance* inst, Timeline** out)
{
    // The sprite gives up its children and its own timeline and becomes the
    // container of a movie that arrives later.
    while (inst->children) display_.RemoveObject(inst, inst->children->depth);
    if (inst->sprite) {
        UnloadTimeline(inst->sprite.get());
        inst->sprite->Detach();
    }
    std::unique_ptr<Timeline> t = Timeline::CreateLoadedMovie(&display_, inst);
    *out = t.get();
    inst->sprite = std::move(t);
    display_.MarkChanged(inst);
}

std::unique_ptr<MovieStream> SPlayer::StreamInNew(const std::string& url, std::unique_ptr<StreamOwner> owner)
{
    auto s = std::make_unique<MovieStream>();
    s->url = url;
    Timeline* t = nullptr;
    if (firstLoad_) {
        t = GetLevel(0, false);
        s->firstMovie = true;
        firstUrl_ = url;
        firstLoad_ = false;
        // A new movie in level 0 runs its scripts again after a runaway one.
        aborted_ = false;
    } else if (owner && owner->loadVariables) {
        s->collecting = true;
        s->level = owner->level;
        s->spritePath = owner->spritePath;
        return s;
    } else if (owner && !owner->spritePath.empty()) {
        Timeline* root = Root();
        Timeline* target = root ? ResolveTarget(root, owner->spritePath) : nullptr;
        if (!target) return s;
        if (target->IsLoadedMovie() && target->IsRoot() && target->Movie().Received() == 0) {
            t = target;
        } else if (Instance* inst = target->GetInstance(); inst && !(target->IsRoot() && !target->IsLoadedMovie())) {
            LoadIntoSprite(inst, &t);
        } else {
            t = GetLevel(target->Level(), false);
        }
    } else if (owner && owner->level >= 0) {
        t = GetLevel(owner->level, false);
        if (owner->level == 0) aborted_ = false;
    } else if (owner) {
        return s;   // a negative owner: dropped
    } else {
        t = GetLevel(0, false);
        aborted_ = false;
    }
    if (!t) return s;
    s->timeline = t;
    t->stream = s.get();
    t->url = url;
    if (size_t q = url.find('?'); q != std::string::npos) ParseFormVariables(url.substr(q + 1), t->Variables());
    return s;
}

int SPlayer::StreamWrite(MovieStream* s, const uint8_t* data, size_t n)
{
    if (!s) return -1;
    if (s->collecting) {
        s->collected.append(reinterpret_cast<const char*>(data), n);
        return int(n);
    }
    Timeline* t = s->timeline;
    if (!t) return -1;
    bool hadHeader = t->Movie().HeaderRead();
    t->Append(data, n);
    if (s->firstMovie && !hadHeader && t->Movie().HeaderRead()) {
        const MovieBuffer& m = t->Movie();
        ResizeScreen((m.FrameXMax() - m.FrameXMin()) / 20, (m.FrameYMax() - m.FrameYMin()) / 20);
        s->firstMovie = false;
    }
    if (t == Root()) StartCheck();
    return int(n);
}

void SPlayer::StreamInDestroy(std::unique_ptr<MovieStream> s)
{
    if (!s) return;
    if (Timeline* t = s->timeline) {
        t->stream = nullptr;
        if (s->firstMovie && t->Movie().HeaderRead()) {
            const MovieBuffer& m = t->Movie();
            ResizeScreen((m.FrameXMax() - m.FrameXMin()) / 20, (m.FrameYMax() - m.FrameYMin()) / 20);
        }
        if (t == Root()) StartCheck();
    }
    if (!s->collecting) return;
    Timeline* target = nullptr;
    Timeline* root = Root();
    if (!s->spritePath.empty() && root) target = ResolveTarget(root, s->spritePath);
    if (!target) {
        int level = s->spritePath.empty() ? s->level : ParseLevelNumber(s->spritePath);
        if (level < 0) level = s->level;
        if (level < 0) return;
        target = GetLevel(level, true);
    }
    if (target) ParseFormVariables(s->collected, target->Variables());
}

}  // namespace movie
