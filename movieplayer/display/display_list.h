// What the movie shows: a tree of instances (placed characters) ordered by
// depth under an embedded root, the stage matrix and background, the dirty
// rectangles still to draw, the button tracking state and the action queue.
//
// Depths, matrices and bounds of instances are in twips until the stage
// matrix maps them to buffer units (pixels, times 4 with anti-aliasing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "movieplayer/bitbuffer.h"
#include "movieplayer/chunkallocator.h"
#include "movieplayer/curve.h"
#include "movieplayer/rasteriser.h"
#include "movieplayer/colortransform.h"
#include "movieplayer/display/action_queue.h"
#include "movieplayer/geometry.h"

namespace movie {

struct Character;
class DisplayList;
class EditText;
class Timeline;

// PlaceObject2 flag bits, also used for the fields of a placement.
enum PlaceFlags : int {
    kPlaceMove = 0x01,
    kPlaceCharacter = 0x02,
    kPlaceMatrix = 0x04,
    kPlaceCxform = 0x08,
    kPlaceRatio = 0x10,
    kPlaceName = 0x20,
    kPlaceClipDepth = 0x40,
    kPlaceNewContext = 0x80,
};

struct Placement {
    Character* character = nullptr;
    uint16_t depth = 0;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;
    const char* name = nullptr;
    MovieMatrix matrix;
    ColorTransform cxform;
    int flags = 0;
};

enum ButtonState : int {
    kButtonNone = 0,
    kButtonIdle = 1,
    kButtonOverUp = 2,
    kButtonOverDown = 3,
    kButtonOutDown = 4,
};

struct Instance {
    DisplayList* display = nullptr;
    Instance* parent = nullptr;
    Instance* next = nullptr;       // next sibling, depth ascending
    Instance* children = nullptr;
    Character* character = nullptr;
    uint16_t depth = 0;
    uint16_t ratio = 0;
    uint16_t clipDepth = 0;         // 0: not a clip layer
    std::string name;
    Timeline* context = nullptr;    // the timeline this instance belongs to
    std::unique_ptr<Timeline> sprite;   // the timeline a sprite instance plays
    Timeline* boundTimeline = nullptr;  // a level root's timeline (not owned)
    MovieMatrix matrix;
    ColorTransform cxform;
    MovieRect deviceBounds;
    bool boundsRegistered = false;
    bool visible = true;
    bool needsUpdate = false;
    bool scriptLocked = false;
    int buttonState = kButtonNone;
    std::unique_ptr<EditText> editText;   // edit-text instances

    Instance();
    ~Instance();
    int Kind() const;
    // The timeline that plays this instance's children (sprite or level).
    Timeline* PlayedBy() const { return sprite ? sprite.get() : boundTimeline; }
};

class DisplayList {
public:
    static constexpr int kMaxDirty = 4;
    static constexpr int kMaxSpriteNesting = 16;
    // Sprites that place sprites multiply: 16 levels of 100 copies each
    // would never finish.  Placements beyond this many live instances fail
    // like an allocation failure.  Real movies hold a few thousand.
    static constexpr int kMaxInstances = 32768;
    static constexpr uint32_t kBackgroundWhite = 0xFFFFFFFFu;

    DisplayList();
    ~DisplayList();
    DisplayList(const DisplayList&) = delete;
    DisplayList& operator=(const DisplayList&) = delete;

    Instance& Root() { return root_; }
    const Instance& Root() const { return root_; }
    int InstanceCount() const { return instanceCount_; }
    void SetInstanceLimit(int n) { instanceLimit_ = n; }

    // Instances by depth
    Instance* PlaceObject(Instance* parent, const Placement& p);
    Instance* MoveObject(Instance* parent, const Placement& p);
    void RemoveObject(Instance* parent, uint16_t depth);
    Instance* FindDepth(Instance* parent, uint16_t depth) const;
    void BeginRebuild(Instance* parent);
    void EndRebuild();
    bool Rebuilding(const Instance* parent) const;
    void MarkChanged(Instance* instance);
    // A copy of a sprite instance (character, matrix, colour transform,
    // ratio, clip depth) at another depth of the same parent, named `name`;
    // null when the source is not a sprite or the depth cannot be had.
    Instance* CloneSprite(Instance* source, uint16_t depth, const char* name);
    // Device bounds of an instance and all it holds, through matrix m for
    // the instance itself (the root uses the stage matrix).
    MovieRect SubtreeBounds(Instance* inst, const MovieMatrix& m);
    // Stage bounds of a button (its up-state records) or an edit text; empty
    // for other kinds.
    // With stageTwips the bounds stay in the stage's twips.
    MovieRect FocusBounds(Instance* inst, bool stageTwips = false);
    bool UpdatePending() const { return updatePending_; }

    // Stage and camera
    void SetStageSize(int width, int height);   // buffer pixels; 0 = no buffer
    void SetCamera(const MovieRect& source, const MovieRect& destination, bool antialias, int scaleMode);
    const MovieMatrix& StageMatrix() const { return stageMatrix_; }
    bool Antialias() const { return antialias_; }
    const MovieRect& StageRect() const { return stageRect_; }
    void SetBackground(uint32_t colour, int priority);
    void ResetBackground(int priority);
    uint32_t Background() const { return background_; }

    // Dirty rectangles (buffer units)
    void Invalidate(MovieRect r);
    void InvalidateStage();
    int DirtyCount() const { return dirtyCount_; }
    const MovieRect& Dirty(int i) const { return dirty_[i]; }
    const MovieRect& DirtyUnion() const { return dirtyUnion_; }
    // Merges until nothing merges, then makes overlapping pairs disjoint.
    void PrepareDirty();
    void ClearDirty();
    // Recomputes device bounds of changed instances and invalidates them.
    void UpdatePass();
    // Device bounds of an instance from its character and matrix (buffer units).
    static MovieRect ComputeBounds(const Instance& inst, const MovieMatrix& m);

    // Timelines
    void RegisterContext(Timeline* t);
    void UnregisterContext(Timeline* t);
    // Whether t is a registered timeline: scripts hold timeline pointers
    // across actions that may remove them (a clone removing itself).
    bool IsLive(const Timeline* t) const { return t && live_.count(t) != 0; }
    // Steps every registered timeline one frame, in registration order.
    void StepTimelines();
    size_t ContextCount() const;
    std::string NextInstanceName();
    ActionQueue& Actions() { return actions_; }
    void NoteDeviceFonts() { deviceFonts_ = true; }
    bool DeviceFonts() const { return deviceFonts_; }

    // Drawing into an off-screen buffer (not owned; null: drawing does
    // nothing, the dirty list is still emptied).
    void AttachBuffer(CBitBuffer* buffer);
    // Runs the update pass and draws every dirty rectangle.
    void Draw();
    // Draws one rectangle of buffer pixels (xmax and ymax inside).
    void DrawRect(const MovieRect& pixels);
    // Pixels drawn by the last Draw (empty when none).
    const MovieRect& BlitRect() const { return blitRect_; }
    void SetFocusRect(const MovieRect& pixels) { focusRect_ = pixels; }
    const MovieRect& FocusRect() const { return focusRect_; }
    // Called with the rasteriser once everything of a rectangle is added and
    // before it paints (tests compare it with the reference rasteriser).
    void SetPaintHook(std::function<void(Rasteriser&)> hook) { paintHook_ = std::move(hook); }
    Rasteriser& Raster() { return raster_; }
    RecordPool<EdgeRecord>& EdgePool() { return edgePool_; }
    // Frees empty blocks of the pools.
    void Compact();

    // Hit tests (buffer units): the topmost visible instance whose outline
    // holds the point, and the topmost button whose hit-test records do.
    Instance* HitTest(MoviePoint p);
    Instance* HitTestButtons(MoviePoint p);

    // Buttons
    void ApplyButtonState(Instance* button, int oldState, int newState);
    // Feeds a hit test result and the mouse button; returns the condition
    // code of the transition (0-8) or -1 when nothing changed.
    int ButtonTransition(Instance* hit, bool down);
    Instance* TrackedButton() const { return tracked_; }
    int TrackState() const { return trackState_; }
    // Forgets the tracked button (a mouse that left the screen).
    void ResetTracking();

    // Editable text fields.  The hook gives each placed field its edit-text
    // object (font, variable binding); the list holds every live field.
    void SetFieldHook(std::function<void(Instance*)> hook) { fieldHook_ = std::move(hook); }
    const std::vector<Instance*>& Fields() const { return fields_; }
    // Keyboard focus: a text field or a button (cleared when it goes away).
    Instance* focusField = nullptr;
    Instance* focusButton = nullptr;
    // Around a timeline seek: the focused field's variable, depth,
    // selection and scroll are kept, and a field that the seek re-creates
    // with the same variable and depth takes them back and the focus.
    void SaveFocus();
    void RestoreFocus();

private:
    friend struct Instance;
    void Destroy(Instance* inst);
    void LinkBefore(Instance* parent, Instance* inst);
    void UpdateWalk(Instance* inst, const MovieMatrix& parentMatrix, bool changed);
    void InvalidateBounds(Instance* inst);
    bool MergeOnce(bool forced);
    void PostButtonActions(Instance* button, int code);

    Instance root_;
    RecordPool<Instance> instances_;
    RecordPool<EdgeRecord> edgePool_;
    Rasteriser raster_;
    CBitBuffer* buffer_ = nullptr;
    MovieRect blitRect_;
    MovieRect focusRect_;
    std::function<void(Rasteriser&)> paintHook_;
    MovieMatrix stageMatrix_;
    bool antialias_ = false;
    int stageWidth_ = 0, stageHeight_ = 0;
    MovieRect stageRect_;
    uint32_t background_ = kBackgroundWhite;
    int backgroundPriority_ = 0;
    MovieRect dirty_[kMaxDirty];
    int64_t dirtyArea_[kMaxDirty] = {};
    int dirtyCount_ = 0;
    MovieRect dirtyUnion_;
    bool updatePending_ = false;
    std::vector<Timeline*> contexts_;
    std::unordered_set<const Timeline*> live_;
    ActionQueue actions_;
    struct Rebuild {
        Instance* parent;
        Instance* old;
    };
    std::vector<Rebuild> rebuilds_;
    Instance* tracked_ = nullptr;
    int trackState_ = kButtonIdle;
    struct TrackedIdentity {
        Instance* parent = nullptr;
        Character* character = nullptr;
        uint16_t depth = 0, ratio = 0;
    } trackedId_;
    std::function<void(Instance*)> fieldHook_;
    std::vector<Instance*> fields_;
    struct SavedFocus {
        bool valid = false;
        std::string variable;
        uint16_t depth = 0;
        int anchor = 0, caret = 0, scroll = 0, hscroll = 0;
    } savedFocus_;
    int focusSaves_ = 0;
    int nameCounter_ = 0;
    int instanceCount_ = 0;
    int instanceLimit_ = kMaxInstances;
    bool deviceFonts_ = false;
};

}  // namespace movie
