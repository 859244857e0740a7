// Editable text fields in the player: their fonts (the movie's own or the
// built-in font movie's faces), their binding to timeline variables and
// the scroll properties scripts read and set.
#include <cstdlib>
#include <new>

#include "movieplayer/bitmaprecord.h"
#include "movieplayer/player/number_text.h"
#include "movieplayer/player/player.h"

namespace movie {

namespace {

// "target:name" into its parts; without ':' the target is empty.
void SplitPath(const std::string& path, std::string* target, std::string* name)
{
    const size_t colon = path.rfind(':');
    if (colon == std::string::npos) {
        target->clear();
        *name = path;
    } else {
        *target = path.substr(0, colon);
        *name = path.substr(colon + 1);
    }
}

}  // namespace

Timeline* SPlayer::FontMovie()
{
    if (fontMovie_ || fontTried_) return fontMovie_.get();
    fontTried_ = true;
    uint8_t* bytes = nullptr;
    const long n = InflateFontMovie(&bytes);
    if (n <= 0 || !bytes) return nullptr;
    std::unique_ptr<Timeline> t = Timeline::CreateRoot(&display_, uint16_t(kFontLevel));
    if (t && t->Append(bytes, size_t(n)) && t->Movie().HeaderRead()) {
        t->Seek(0);
        t->Stop();
        fontMovie_ = std::move(t);
    }
    std::free(bytes);
    return fontMovie_.get();
}

void SPlayer::OnFieldPlaced(Instance* inst)
{
    std::unique_ptr<EditText> e(new (std::nothrow) EditText);
    if (!e || !inst->character) return;
    e->Read(*inst->character);
    Timeline* root = inst->context ? inst->context->RootTimeline() : nullptr;
    const Character* own = nullptr;
    if (e->Has(kEditHasFont) && root) {
        own = root->Dictionary().Find(e->fontId);
        if (own && own->kind != kCharFont) own = nullptr;
    }
    std::string name = "Times New Roman";
    bool bold = false, italic = false;
    if (own) ReadFontStyle(*own, &name, &bold, &italic);
    const Character* glyphs = nullptr;
    if (own && e->Has(kEditUseOutlines)) {
        glyphs = own;
    } else {
        Timeline* fonts = FontMovie();
        e->font.device = true;
        const std::string face = DeviceFaceName(name);
        const uint16_t id = own ? BuiltInFontId(face, bold, italic) : 1;
        glyphs = fonts ? fonts->Dictionary().Find(id) : nullptr;
        name = face;
    }
    e->font.face = name;
    e->font.bold = bold;
    e->font.italic = italic;
    e->font.Load(glyphs, e->Has(kEditHasFont) && e->fontHeight ? e->fontHeight : FieldFont::kDefaultHeight);
    // A bound field shows its variable; a missing variable takes the
    // field's initial text.
    std::string value;
    if (!e->variable.empty() && inst->context && GetVariable(inst->context, e->variable, &value)) {
        e->SetText(value);
    } else {
        e->SetText(e->initialText);
        if (!e->variable.empty() && e->Has(kEditHasText) && inst->context)
            SetVariable(inst->context, e->variable, e->initialText);
    }
    e->Layout();
    inst->editText = std::move(e);
}

void SPlayer::SyncFields()
{
    for (Instance* f : display_.Fields()) {
        EditText* e = f->editText.get();
        if (!e) continue;
        std::string value;
        if (!e->variable.empty() && f->context && GetVariable(f->context, e->variable, &value) &&
            value != e->TextBytes()) {
            e->SetText(value);
            e->ScrollToCaret();
        }
        if (e->changed) {
            e->changed = false;
            display_.MarkChanged(f);
        }
    }
}

void SPlayer::FieldEdited(Instance* field, bool textChanged)
{
    EditText& e = *field->editText;
    Timeline* t = field->context;
    if (!e.variable.empty() && t && display_.IsLive(t)) {
        std::string value;
        const bool exists = GetVariable(t, e.variable, &value);
        const std::string text = e.TextBytes();
        if ((exists && value != text) || (!exists && !text.empty())) SetVariable(t, e.variable, text);
        if (textChanged) {
            // The frame labelled "<variable>_changed" runs as a call.
            std::string target, name;
            SplitPath(e.variable, &target, &name);
            const int frame = t->FindLabel((name + "_changed").c_str());
            std::vector<std::pair<size_t, size_t>> lists;
            if (frame >= 0 && t->FrameActions(frame, &lists)) {
                for (auto [pos, end] : lists) display_.Actions().Post(pos, end, t);
                DoActions();
            }
        }
    }
    // The field may have gone with the actions.
    if (display_.focusField == field) display_.MarkChanged(field);
    UpdateScreen();
}

Instance* SPlayer::FieldBoundTo(Timeline* t, const std::string& name) const
{
    for (Instance* f : display_.Fields()) {
        if (!f->editText || f->editText->variable.empty() || !f->context) continue;
        std::string target, var;
        SplitPath(f->editText->variable, &target, &var);
        Timeline* ft = target.empty() ? f->context : ResolveTarget(f->context, target);
        if (ft == t && EqualNoCase(var, name)) return f;
    }
    return nullptr;
}

int SPlayer::ScrollProperty(Timeline* context, const std::string& name, int code, int value)
{
    Instance* f = FieldBoundTo(context, name);
    if (!f) return -1;
    EditText& e = *f->editText;
    switch (code) {
    case 0: return e.scroll + 1;
    case 1:
        e.SetScroll(value - 1);
        display_.MarkChanged(f);
        return e.scroll + 1;
    default: return e.maxScroll + 1;
    }
}

}  // namespace movie
