// A timeline plays a movie (the root of a level) or a sprite by running the
// tags of one frame at a time, up to and including the next ShowFrame.
// Definition tags enter characters into the movie's dictionary; control tags
// place, move and remove instances, queue actions and label frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "movieplayer/character/character.h"
#include "movieplayer/player/variables.h"
#include "movieplayer/stream/movie_buffer.h"
#include "movieplayer/stream/tag_stream.h"

namespace movie {

class DisplayList;
struct Instance;

class Timeline {
public:
    // The root timeline of a level: owns the movie's bytes (shared with its
    // sprites) and its dictionary.  Its instance is placed at depth `level`
    // under the display's root when it first plays.
    static std::unique_ptr<Timeline> CreateRoot(DisplayList* display, uint16_t level);
    // The timeline of a sprite instance, over the sprite's own tag list.
    static std::unique_ptr<Timeline> CreateSprite(DisplayList* display, const Timeline& owner,
                                                  const Character& sprite, Instance* instance);
    // A movie loaded into a sprite instance: a root timeline of its own
    // (bytes, dictionary) that plays the children of `instance`, which
    // becomes its container.
    static std::unique_ptr<Timeline> CreateLoadedMovie(DisplayList* display, Instance* instance);
    ~Timeline();

    // Movie data for a root timeline, in pieces or whole.
    bool Append(const uint8_t* data, size_t size);
    const MovieBuffer& Movie() const { return *movie_; }
    // The bytes outlive the timeline while a script reads them.
    std::shared_ptr<MovieBuffer> SharedMovie() const { return movie_; }
    CharacterDictionary& Dictionary() { return *dict_; }
    DisplayList* Display() const { return display_; }
    Instance* GetInstance() const { return instance_; }
    bool IsRoot() const { return root_ == this; }
    Timeline* RootTimeline() const { return root_; }

    // One frame tick (does nothing when not playing).
    void Step();
    // Go to frame f (0-based); only the target frame's actions run.
    void Seek(int frame);
    void GotoFrame(int frame);   // stops, then seeks; negative becomes 0
    void Play(bool rewind);
    void Stop() { playing_ = false; }

    int CurrentFrame() const { return frame_; }
    int FrameCount() const { return frameCount_; }
    int FramesLoaded() const;
    bool Playing() const { return playing_; }
    bool Looping() const { return looping_; }
    void SetLooping(bool loop) { looping_ = loop; }
    bool AtEnd() const { return atEnd_; }
    int LoadError() const { return movie_ ? movie_->Error() : 0; }
    // Frames before the label (compared without case), or -1.
    int FindLabel(const char* label) const;
    // Position of the current frame's label text (0: none).
    size_t LabelPos() const { return labelPos_; }

    // The shared JPEG tables of the movie (DefineBits), if any.
    const uint8_t* JpegTables(size_t* size) const;
    // Decodes a bitmap character on first use; null when it cannot be.
    static std::shared_ptr<struct DecodedBitmap> Bitmap(Character* c, const Timeline* root);

    // Called by the display list when this timeline's instance goes away.
    void Detach();
    // Nesting of sprite timelines above this one (0 for a root).
    int Nesting() const { return nesting_; }
    // The level a root timeline plays (its depth under the display's root).
    uint16_t Level() const { return root_->level_; }
    bool IsLoadedMovie() const { return root_->container_; }
    // Positions (body, end) of the DoAction tags of frame f (0-based);
    // false when the frame has not arrived.
    bool FrameActions(int f, std::vector<std::pair<size_t, size_t>>* out) const;

    // Script variables, the movie's URL (roots) and the stream that feeds
    // the movie's bytes, if one is open (roots; not owned).
    VariableList& Variables() { return vars_; }
    std::string url;
    void* stream = nullptr;
    // Where the display list keeps this timeline in its registration order.
    size_t registrySlot = SIZE_MAX;

private:
    Timeline() = default;
    // Runs tags until frame `target` has been shown; actions run only for
    // the frame `actionsFrom` and later.
    void RunTo(int target, int actionsFrom);
    // Returns 1 after a ShowFrame, 0 at End, -1 when the next tag has not arrived.
    int RunFrame(bool actions);
    void RunTag(const TagRecord& tag, bool actions);
    void Define(const TagRecord& tag, StreamCursor& c);
    void Place(int code, StreamCursor& c);
    void EnsureRootInstance();

    DisplayList* display_ = nullptr;
    std::shared_ptr<MovieBuffer> movie_;
    std::unique_ptr<CharacterDictionary> ownDict_;
    CharacterDictionary* dict_ = nullptr;
    Timeline* root_ = nullptr;
    Instance* instance_ = nullptr;
    uint16_t level_ = 0;
    size_t first_ = 0;       // first tag
    size_t end_ = 0;         // sprite: end of its tag list; root: 0 (the bytes present)
    TagStream tags_;
    int frame_ = -1;
    int frameCount_ = 0;
    bool playing_ = true;
    bool looping_ = true;
    bool atEnd_ = false;
    size_t labelPos_ = 0;
    size_t jpegTables_ = 0, jpegTablesEnd_ = 0;
    int nesting_ = 0;
    bool registered_ = false;
    bool container_ = false;
    VariableList vars_;
    // The character of a level's root instance (kind 98, id 0xFFFE); kept
    // out of the dictionary so that a movie defining that id cannot take
    // its place.
    Character rootCharacter_;
};

}  // namespace movie
