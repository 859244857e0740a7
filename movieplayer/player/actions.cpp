// The action interpreter: runs the queued action lists on the value stack.
//
// Every record is read through bounds checked against its action list (the
// DoAction tag or button condition it came from): a length, a jump or a
// string that leaves the list ends the list instead of reading past it.
#include <cmath>
#include <cstring>

#include "movieplayer/player/number_text.h"
#include "movieplayer/player/player.h"

namespace movie {

// ---- Value stack --------------------------------------------------------------------

void SPlayer::Push(std::string v)
{
    if (stack_.size() == stack_.capacity()) stack_.reserve(std::max<size_t>(128, stack_.capacity() * 2));
    stack_.push_back(std::move(v));
}

void SPlayer::PushNumber(double v)
{
    Push(NumberToText(v));
}

std::string SPlayer::Pop()
{
    if (stack_.empty()) return std::string();
    std::string v = std::move(stack_.back());
    stack_.pop_back();
    return v;
}

double SPlayer::PopNumber()
{
    return TextNumber(Pop().c_str());
}

// ---- Run loop -------------------------------------------------------------------------

void SPlayer::DoActions()
{
    if (nesting_ != 0 || !Root()) return;
    if (aborted_) {
        display_.Actions() = ActionQueue();
        return;
    }
    nesting_ = 1;
    instructions_ = 0;
    QueuedAction a;
    while (!aborted_ && display_.Actions().Take(&a)) {
        if (a.target && display_.IsLive(a.target)) RunList(a.pos, a.end, a.target, 1);
    }
    if (aborted_) display_.Actions() = ActionQueue();
    nesting_ = 0;
    std::vector<Request> requests;
    requests.swap(requests_);
    for (Request& r : requests) GetURLRequest(r.url, r.target, r.postData, r.flags);
}

void SPlayer::QueueRequest(std::string url, std::string target, std::string postData, int flags)
{
    if (requests_.size() >= size_t(kMaxPendingRequests)) return;
    requests_.push_back({std::move(url), std::move(target), std::move(postData), flags});
}

namespace {

// A zero-terminated text inside [pos, end); false when it runs past end.
bool ReadText(const uint8_t* data, size_t& pos, size_t end, std::string* out)
{
    const void* z = pos < end ? std::memchr(data + pos, 0, end - pos) : nullptr;
    if (!z) return false;
    size_t n = size_t(static_cast<const uint8_t*>(z) - (data + pos));
    out->assign(reinterpret_cast<const char*>(data + pos), n);
    pos += n + 1;
    return true;
}

int32_t Truncate(double v)
{
    return SaturateDouble(v);
}

}  // namespace

struct SPlayer::RunState {
    std::shared_ptr<MovieBuffer> bytes;   // alive while the list runs
    const uint8_t* data;
    size_t pos, end;
    Timeline* owner;
    Timeline* tell = nullptr;
    bool telling = false;
    int skip = 0;
    int depth;
    Timeline* Target(const DisplayList& d) const
    {
        Timeline* t = telling ? tell : owner;
        return d.IsLive(t) ? t : nullptr;
    }
    // The sprite that relative paths start from.
    Timeline* From(const DisplayList& d) const { return Target(d); }
};

void SPlayer::RunList(size_t pos, size_t end, Timeline* owner, int depth)
{
    if (!display_.IsLive(owner)) return;
    RunState rs;
    rs.bytes = owner->SharedMovie();
    if (!rs.bytes) return;
    rs.data = rs.bytes->Data();
    // The list cannot reach past the bytes present.
    rs.end = std::min(end, rs.bytes->Received());
    rs.pos = pos;
    rs.owner = owner;
    rs.depth = depth;
    while (rs.pos < rs.end && !aborted_) {
        if (!Step(rs)) break;
    }
}

// Runs one record; false ends the list (End, a bad record or the limit).
bool SPlayer::Step(RunState& rs)
{
    const uint8_t* d = rs.data;
    const uint8_t code = d[rs.pos++];
    if (code == 0) return false;
    size_t len = 0;
    if (code & 0x80) {
        if (rs.end - rs.pos < 2) return false;
        len = size_t(d[rs.pos]) | size_t(d[rs.pos + 1]) << 8;
        rs.pos += 2;
        if (len > rs.end - rs.pos) return false;   // the record would leave its list
    }
    const size_t body = rs.pos, next = rs.pos + len;
    rs.pos = next;
    if (rs.skip > 0) {
        --rs.skip;
        return true;
    }
    if (++instructions_ > instructionLimit) {
        aborted_ = true;
        return false;
    }
    auto u16 = [&](size_t at) { return int(d[at] | d[at + 1] << 8); };
    auto jump = [&](int offset) {
        const int64_t to = int64_t(next) + offset;
        if (to < 0 || size_t(to) > rs.end) return false;   // outside the list: it ends
        rs.pos = size_t(to);
        return true;
    };
    // The target is looked up (a hash look-up of a live timeline) only by
    // the records that use it, not by every push, jump and sum.
    const auto target = [&] { return rs.Target(display_); };
    switch (code) {
    case 0x04:
        if (Timeline* t = target()) t->GotoFrame(t->CurrentFrame() + 1);
        break;
    case 0x05:
        if (Timeline* t = target()) t->GotoFrame(std::max(0, t->CurrentFrame() - 1));
        break;
    case 0x06:
        if (Timeline* t = target()) t->Play(false);
        break;
    case 0x07:
        if (Timeline* t = target()) t->Stop();
        break;
    case 0x08:
        highQuality = !highQuality;
        autoQuality = false;
        SetCamera(2);
        break;
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D: {
        const double b = PopNumber(), a = PopNumber();
        if (code == 0x0D && b == 0) {
            Push("#ERROR#");
            break;
        }
        PushNumber(code == 0x0A ? a + b : code == 0x0B ? a - b : code == 0x0C ? a * b : a / b);
        break;
    }
    case 0x0E: {
        const double b = PopNumber(), a = PopNumber();
        Push(a == b ? "1" : "0");
        break;
    }
    case 0x0F: {
        const double b = PopNumber(), a = PopNumber();
        Push(a < b ? "1" : "0");
        break;
    }
    case 0x10:
    case 0x11: {
        const bool b = Truncate(PopNumber()) != 0, a = Truncate(PopNumber()) != 0;
        Push((code == 0x10 ? a && b : a || b) ? "1" : "0");
        break;
    }
    case 0x12:
        Push(PopNumber() == 0 ? "1" : "0");
        break;
    case 0x13: {
        const std::string b = Pop(), a = Pop();
        Push(a == b ? "1" : "0");
        break;
    }
    case 0x14:
    case 0x31:
        PushNumber(double(Pop().size()));
        break;
    case 0x15:
    case 0x35: {
        const int count = Truncate(PopNumber());
        const int index = Truncate(PopNumber());
        const std::string s = Pop();
        const int64_t n = int64_t(s.size());
        const int64_t start = std::clamp<int64_t>(int64_t(index) - 1, 0, n);
        const int64_t take = count < 0 || count > n - start ? n - start : count;
        Push(s.substr(size_t(start), size_t(take)));
        break;
    }
    case 0x17:
    case 0x26:
        Pop();
        break;
    case 0x18:
        PushNumber(std::trunc(PopNumber()));
        break;
    case 0x1C: {
        std::string v;
        const std::string path = Pop();
        if (!GetVariable(rs.From(display_), path, &v)) v.clear();
        Push(std::move(v));
        break;
    }
    case 0x1D: {
        const std::string value = Pop(), path = Pop();
        if (Timeline* from = rs.From(display_)) SetVariable(from, path, value);
        break;
    }
    case 0x20:
    case 0x8B: {
        std::string path;
        if (code == 0x20) {
            path = Pop();
        } else {
            size_t p = body;
            if (!ReadText(d, p, next, &path)) return false;
        }
        if (path.empty()) {
            rs.telling = false;
        } else {
            rs.tell = display_.IsLive(rs.owner) ? ResolveTarget(rs.owner, path) : nullptr;
            rs.telling = true;
        }
        break;
    }
    case 0x21: {
        const std::string b = Pop();
        std::string a = Pop();
        Push(a + b);
        break;
    }
    case 0x22: {
        const int index = Truncate(PopNumber());
        const std::string path = Pop();
        Timeline* from = rs.From(display_);
        Timeline* target = from ? ResolveTarget(from, path) : nullptr;
        Push(target ? GetProperty(target, index) : std::string());
        break;
    }
    case 0x23: {
        const std::string value = Pop();
        const int index = Truncate(PopNumber());
        const std::string path = Pop();
        Timeline* from = rs.From(display_);
        if (Timeline* target = from ? ResolveTarget(from, path) : nullptr) SetProperty(target, index, value);
        break;
    }
    case 0x24: {
        const int depth = Truncate(PopNumber());
        const std::string name = Pop(), source = Pop();
        if (Timeline* from = rs.From(display_)) CloneSprite(from, source, name, depth);
        break;
    }
    case 0x25: {
        const std::string path = Pop();
        if (Timeline* from = rs.From(display_)) RemoveSprite(from, path);
        break;
    }
    case 0x27: {
        const std::string path = Pop();
        dragLockCentre = Pop() == "1";
        RectSetEmpty(dragConstraint);
        if (Pop() == "1") {
            const double y2 = PopNumber(), x2 = PopNumber(), y1 = PopNumber(), x1 = PopNumber();
            dragConstraint = MovieRect{Truncate(x1 * 20), Truncate(x2 * 20), Truncate(y1 * 20), Truncate(y2 * 20)};
        }
        Timeline* from = rs.From(display_);
        dragged = from ? ResolveTarget(from, path) : nullptr;
        BeginDrag();
        break;
    }
    case 0x28:
        dragged = nullptr;
        break;
    case 0x29: {
        const std::string b = Pop(), a = Pop();
        Push(std::memcmp(a.data(), b.data(), std::min(a.size(), b.size())) < 0 ||
                     (a.size() < b.size() && a.compare(0, a.size(), b, 0, a.size()) == 0)
                 ? "1"
                 : "0");
        break;
    }
    case 0x30:
        PushNumber(Random(Truncate(PopNumber())));
        break;
    case 0x32:
    case 0x36: {
        const std::string s = Pop();
        PushNumber(s.empty() ? 0 : double(static_cast<unsigned char>(s[0])));
        break;
    }
    case 0x33:
    case 0x37: {
        const int c = Truncate(PopNumber());
        std::string s;
        if (code == 0x37 && c > 255) {
            s += char((c >> 8) & 0xFF);
            s += char(c & 0xFF);
        } else {
            s += char(c & 0xFF);
        }
        Push(std::move(s));
        break;
    }
    case 0x34:
        PushNumber(GetTime());
        break;
    case 0x81:
        if (len < 2) return false;
        if (Timeline* t = target()) t->GotoFrame(u16(body));
        break;
    case 0x83: {
        std::string url, target;
        size_t p = body;
        if (!ReadText(d, p, next, &url) || !ReadText(d, p, next, &target)) return false;
        QueueRequest(std::move(url), std::move(target), std::string(), 0);
        break;
    }
    case 0x8A: {
        if (len < 3) return false;
        const int frame = u16(body), skip = d[body + 2];
        Timeline* t = target();
        if (t && t->RootTimeline()->FramesLoaded() < frame + 1 && t->RootTimeline()->FramesLoaded() < MovieBuffer::kAllFrames)
            rs.skip = skip;
        break;
    }
    case 0x8C: {
        std::string label;
        size_t p = body;
        if (!ReadText(d, p, next, &label)) return false;
        if (Timeline* t = target()) {
            int f = t->FindLabel(label.c_str());
            if (f >= 0) t->GotoFrame(f);
        }
        break;
    }
    case 0x8D: {
        if (len < 1) return false;
        const int skip = d[body];
        const std::string expr = Pop();
        int frame = 0;
        Timeline* t = target();
        Timeline* ft = t ? ResolveFrame(t, expr, &frame) : nullptr;
        if (ft && ft->RootTimeline()->FramesLoaded() < frame + 1) rs.skip = skip;
        break;
    }
    case 0x96: {
        if (len < 1) return false;
        const int type = d[body];
        if (type == 0) {
            std::string s;
            size_t p = body + 1;
            if (!ReadText(d, p, next, &s)) return false;
            Push(std::move(s));
        } else if (type == 1) {
            if (len < 5) return false;
            uint32_t bits = uint32_t(d[body + 1]) | uint32_t(d[body + 2]) << 8 | uint32_t(d[body + 3]) << 16 |
                            uint32_t(d[body + 4]) << 24;
            float f;
            std::memcpy(&f, &bits, 4);
            PushNumber(double(f));
        }
        break;
    }
    case 0x99:
        if (len < 2) return false;
        return jump(int16_t(u16(body)));
    case 0x9A: {
        if (len < 1) return false;
        int flags = d[body];
        std::string target = Pop(), url = Pop();
        Timeline* from = rs.From(display_);
        if (flags & kUrlSpriteTarget) {
            if (target == "/") {
                target = from && from->Level() != 0 ? "_level" + std::to_string(from->Level()) : "_level0";
                flags &= ~kUrlSpriteTarget;
            } else if (ParseLevelNumber(target) >= 0) {
                flags &= ~kUrlSpriteTarget;
            } else {
                Timeline* s = from ? ResolveTarget(from, target) : nullptr;
                if (!s) break;
                target = TargetPath(s);
                if (target == "/") target = "_level0";
                if (ParseLevelNumber(target) >= 0) flags &= ~kUrlSpriteTarget;
            }
        }
        const int method = flags & ~(kUrlSpriteTarget | kUrlLoadVariables);
        std::string post;
        if (method == kUrlGet && from && !from->Variables().Empty()) {
            const size_t scheme = url.find("://");
            if (scheme != std::string::npos && url.find('/', scheme + 3) == std::string::npos) url += '/';
            url += '?';
            url += FormEncodeVariables(from->Variables());
        } else if (method == kUrlPost && from) {
            post = FormEncodeVariables(from->Variables());
        }
        QueueRequest(std::move(url), std::move(target), std::move(post), flags);
        break;
    }
    case 0x9D: {
        if (len < 2) return false;
        if (PopNumber() != 0) return jump(int16_t(u16(body)));
        break;
    }
    case 0x9E: {
        const std::string expr = Pop();
        int frame = 0;
        Timeline* t = target();
        Timeline* ft = t ? ResolveFrame(t, expr, &frame) : nullptr;
        if (!ft || rs.depth >= kMaxCallDepth) break;
        std::vector<std::pair<size_t, size_t>> lists;
        if (!ft->FrameActions(frame, &lists)) break;
        for (auto [p, e] : lists) {
            if (aborted_) break;
            RunList(p, e, ft, rs.depth + 1);
        }
        break;
    }
    case 0x9F: {
        if (len < 1) return false;
        const bool play = d[body] != 0;
        const std::string expr = Pop();
        int frame = 0;
        Timeline* t = target();
        Timeline* ft = t ? ResolveFrame(t, expr, &frame) : nullptr;
        if (ft) {
            ft->GotoFrame(frame);
            if (play) ft->Play(false);
        }
        break;
    }
    default:
        break;   // skipped by its length
    }
    return true;
}

}  // namespace movie
