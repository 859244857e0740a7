// Target paths, variables and properties of the action interpreter.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "movieplayer/player/number_text.h"
#include "movieplayer/player/player.h"

namespace movie {

namespace {

constexpr double kPi = 3.14159265358979323846;

Instance* NamedChild(Instance* parent, const std::string& name)
{
    if (!parent) return nullptr;
    for (Instance* c = parent->children; c; c = c->next) {
        int k = c->Kind();
        if ((k == kCharSprite || k == kCharEditText || k == kCharLoadedMovie) && EqualNoCase(c->name, name)) return c;
    }
    return nullptr;
}

// The timeline that plays an instance (sprites, loaded movies and level
// roots; an edit text has none of its own).
Timeline* TimelineOf(Instance* inst)
{
    return inst ? inst->PlayedBy() : nullptr;
}

// Saturating conversion of a script value to twips or an 8.8 multiplier.
int32_t ToInt(double v)
{
    return SaturateDouble(v);
}

}  // namespace

Timeline* SPlayer::ResolveTarget(Timeline* from, const std::string& path) const
{
    if (!from) return nullptr;
    Instance* cur = nullptr;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        // The root of the current level.
        Timeline* level = FindLevel(from->Level());
        cur = (level ? level : from->RootTimeline())->GetInstance();
        i = 1;
    } else {
        cur = from->GetInstance();
    }
    bool first = true;
    while (i < path.size()) {
        size_t slash = path.find('/', i);
        if (slash == std::string::npos) slash = path.size();
        std::string comp = path.substr(i, std::min<size_t>(slash - i, 127));
        i = slash + 1;
        if (comp.empty()) continue;
        if (first && path[0] != '/' && (StartsWithNoCase(comp, "_level") || StartsWithNoCase(comp, "_flash"))) {
            int n = ParseLevelNumber(comp);
            Timeline* t = n >= 0 ? FindLevel(n) : nullptr;
            if (!t) return nullptr;
            cur = t->GetInstance();
        } else if (comp == "..") {
            if (!cur || !cur->parent || cur->parent == &display_.Root()) return nullptr;
            cur = cur->parent;
        } else {
            cur = NamedChild(cur, comp);
        }
        first = false;
        if (!cur) return nullptr;
    }
    if (!cur) return path.empty() || path == "/" ? (path.empty() ? from : from->RootTimeline()) : nullptr;
    return TimelineOf(cur);
}

std::string SPlayer::TargetPath(Timeline* t) const
{
    if (!t) return "";
    std::string path;
    Instance* inst = t->GetInstance();
    const Instance* stage = &display_.Root();
    std::vector<const Instance*> chain;
    for (const Instance* p = inst; p && p->parent && p->parent != stage && chain.size() < 256; p = p->parent)
        chain.push_back(p);
    if (t->Level() != 0) path = "_level" + std::to_string(t->Level());
    for (size_t k = chain.size(); k-- > 0;) path += "/" + (chain[k]->name.empty() ? std::string("?") : chain[k]->name);
    if (chain.empty()) path += "/";
    return path;
}

namespace {

// Splits "target:name" (the last ':'); without one the target is empty.
void SplitVariablePath(const std::string& path, std::string* target, std::string* name, bool* hasTarget)
{
    size_t colon = path.rfind(':');
    *hasTarget = colon != std::string::npos;
    if (*hasTarget) {
        *target = path.substr(0, colon);
        *name = path.substr(colon + 1);
    } else {
        target->clear();
        *name = path;
    }
}

}  // namespace

bool SPlayer::GetVariable(Timeline* from, const std::string& path, std::string* value) const
{
    std::string target, name;
    bool hasTarget;
    SplitVariablePath(path, &target, &name, &hasTarget);
    Timeline* t = hasTarget ? ResolveTarget(from, target) : from;
    if (!t) return false;
    // A name holding "." is a text-field property: "v.scroll" and
    // "v.maxscroll" of the field bound to v; others read as missing.
    if (size_t dot = name.find('.'); dot != std::string::npos) {
        const std::string suffix = name.substr(dot);
        const int code = EqualNoCase(suffix, ".scroll") ? 0 : EqualNoCase(suffix, ".maxscroll") ? 2 : -1;
        if (code < 0) return false;
        const Instance* f = FieldBoundTo(t, name.substr(0, dot));
        if (!f) return false;
        *value = std::to_string((code == 0 ? f->editText->scroll : f->editText->maxScroll) + 1);
        return true;
    }
    const std::string* v = t->Variables().Find(name);
    if (!v) return false;
    *value = *v;
    return true;
}

void SPlayer::SetVariable(Timeline* from, const std::string& path, const std::string& value)
{
    std::string target, name;
    bool hasTarget;
    SplitVariablePath(path, &target, &name, &hasTarget);
    Timeline* t = hasTarget ? ResolveTarget(from, target) : from;
    if (!t || name.empty()) return;
    if (size_t dot = name.find('.'); dot != std::string::npos) {
        double v;
        if (EqualNoCase(name.substr(dot), ".scroll") && TextToNumber(value.c_str(), &v))
            ScrollProperty(t, name.substr(0, dot), 1, SaturateDouble(v));
        return;
    }
    t->Variables().Set(name, value);
}

std::string SPlayer::GetProperty(Timeline* t, int index)
{
    Instance* inst = t ? t->GetInstance() : nullptr;
    if (!inst) return "";
    const MovieMatrix& m = inst->matrix;
    switch (index) {
    case 0: return NumberToText(m.tx * 0.05);
    case 1: return NumberToText(m.ty * 0.05);
    case 2: return NumberToText(std::hypot(double(m.a), double(m.b)) / 65536.0 * 100);
    case 3: return NumberToText(std::hypot(double(m.c), double(m.d)) / 65536.0 * 100);
    case 4: return NumberToText(t->CurrentFrame() + 1);
    case 5: return NumberToText(t->FrameCount());
    case 6: return NumberToText(inst->cxform.aMul * 100 / 256.0);
    case 7: return inst->visible ? "1" : "0";
    case 8:
    case 9: {
        MovieRect b = display_.SubtreeBounds(inst, m);
        if (RectIsEmpty(b)) return "0";
        return NumberToText((index == 8 ? double(b.xmax) - b.xmin : double(b.ymax) - b.ymin) * 0.05);
    }
    case 10: {
        double deg = std::atan2(double(m.b), double(m.a)) * 180 / kPi;
        return NumberToText(deg);
    }
    case 11: return TargetPath(t);
    case 12:
        if (t->IsRoot()) return NumberToText(std::min(t->FramesLoaded(), t->FrameCount()));
        return NumberToText(t->FrameCount());
    case 13: return inst->name;
    case 14: return DropTarget(t);
    case 15: return t->RootTimeline()->url;
    case 16: return bestQuality ? "2" : highQuality ? "1" : "0";
    case 17: return focusRect ? "1" : "0";
    case 18: return NumberToText(soundBufferTime);
    default: return "0";
    }
}

void SPlayer::SetProperty(Timeline* t, int index, const std::string& text)
{
    Instance* inst = t ? t->GetInstance() : nullptr;
    if (!inst) return;
    if (index == 13) {
        inst->name = text;
        return;
    }
    double v;
    if (!TextToNumber(text.c_str(), &v)) return;
    MovieMatrix m = inst->matrix;
    switch (index) {
    case 0: m.tx = ToInt(v * 20); break;
    case 1: m.ty = ToInt(v * 20); break;
    case 2:
    case 3: {
        Fixed& p = index == 2 ? m.a : m.c;
        Fixed& q = index == 2 ? m.b : m.d;
        const double scale = double(ToInt(v * 0.01 * 65536));
        const double len = std::hypot(double(p), double(q));
        if (std::fabs(scale - len) <= 16) return;
        if (len == 0) {
            if (index == 2) p = ToInt(scale);
            else q = ToInt(scale);
        } else {
            p = ToInt(p * scale / len);
            q = ToInt(q * scale / len);
        }
        break;
    }
    case 6:
        inst->cxform.aMul = int16_t(std::clamp(ToInt(v * 2.56), -32768, 32767));
        ColorTransformUpdateFlags(inst->cxform);
        break;
    case 7: inst->visible = v != 0; break;
    case 10: {
        const double xs = std::hypot(double(m.a), double(m.b)), ys = std::hypot(double(m.c), double(m.d));
        const double r = v * kPi / 180;
        MovieMatrix n = m;
        n.a = ToInt(xs * std::cos(r));
        n.b = ToInt(xs * std::sin(r));
        n.c = ToInt(-ys * std::sin(r));
        n.d = ToInt(ys * std::cos(r));
        if (n == m) return;
        m = n;
        break;
    }
    case 16:
        highQuality = v != 0;
        bestQuality = v > 1.5;
        autoQuality = false;
        SetCamera(2);
        return;
    case 17: focusRect = v != 0; return;
    case 18: soundBufferTime = ToInt(v); return;
    default: return;
    }
    inst->matrix = m;
    inst->scriptLocked = true;
    display_.MarkChanged(inst);
}

void SPlayer::CloneSprite(Timeline* from, const std::string& source, const std::string& name, int depth)
{
    if (depth < 0) return;
    Timeline* t = ResolveTarget(from, source);
    if (!t || (t->IsRoot() && !t->IsLoadedMovie())) return;
    Instance* inst = t->GetInstance();
    if (!inst || !inst->parent) return;
    // A new clone replaces whatever holds that depth.
    // Widened first: a script may give any depth up to INT_MAX.
    const uint16_t d = uint16_t(std::clamp<int64_t>(int64_t{depth} + 0x4000, 0, 0xFFFF));
    if (Instance* old = display_.FindDepth(inst->parent, d); old && old != inst) display_.RemoveObject(inst->parent, d);
    if (display_.FindDepth(inst->parent, d)) return;
    display_.CloneSprite(inst, d, name.c_str());
}

void SPlayer::RemoveSprite(Timeline* from, const std::string& path)
{
    Timeline* t = ResolveTarget(from, path);
    if (!t || (t->IsRoot() && !t->IsLoadedMovie())) return;
    Instance* inst = t->GetInstance();
    if (!inst || !inst->parent || inst->depth <= 0x3FFF) return;
    if (dragged == t) dragged = nullptr;
    display_.RemoveObject(inst->parent, inst->depth);
}

Timeline* SPlayer::ResolveFrame(Timeline* from, const std::string& expr, int* frame) const
{
    Timeline* t = from;
    std::string f = expr;
    if (size_t colon = expr.rfind(':'); colon != std::string::npos) {
        t = ResolveTarget(from, expr.substr(0, colon));
        f = expr.substr(colon + 1);
    }
    if (!t) return nullptr;
    double n;
    if (TextToNumber(f.c_str(), &n) && n == std::floor(n)) {
        if (n < 1 || n > 65536) return nullptr;
        *frame = int(n) - 1;
        return t;
    }
    int label = t->FindLabel(f.c_str());
    if (label < 0) return nullptr;
    *frame = label;
    return t;
}

}  // namespace movie
