// Tag handlers, the character dictionary and timelines: placing, moving and
// removing by depth across frames, seeking, labels, sprites and actions.
#include <gtest/gtest.h>

#include <string>

#include "movieplayer/character/character.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"
#include "movieplayer/moviefile_writer.h"
#include "movieplayer/stream/tag_codes.h"

using namespace moviefile_test;
using namespace movie;

namespace {

Bytes DoAction(uint8_t marker)
{
    // ActionPush-free marker: one unknown one-byte action then End.
    return Tag(12, {marker, 0x00});
}

Bytes DefineSprite(uint16_t id, uint16_t frames, const Bytes& tags)
{
    BitWriter w;
    w.UI16(id);
    w.UI16(frames);
    w.Append(tags);
    w.UI16(0);   // End of the sprite's tags
    return Tag(39, w.Take(), true);
}

struct Player {
    DisplayList display;
    std::unique_ptr<Timeline> root = Timeline::CreateRoot(&display, 0);

    explicit Player(const Bytes& file) { root->Append(file.data(), file.size()); }
    ~Player() { root.reset(); }

    Instance* Level() { return root->GetInstance(); }
    std::vector<std::pair<int, int>> Depths()   // (depth, character id)
    {
        std::vector<std::pair<int, int>> out;
        if (!Level()) return out;
        for (Instance* i = Level()->children; i; i = i->next) out.push_back({i->depth, i->character->id});
        return out;
    }
    std::vector<int> DrainActions()
    {
        std::vector<int> out;
        QueuedAction a;
        while (display.Actions().Take(&a))
            if (a.target) out.push_back(a.target->Movie().Data()[a.pos]);
        return out;
    }
};

using DepthList = std::vector<std::pair<int, int>>;

}  // namespace

TEST(MovieDictionary, FirstDefinitionWinsAndLookupUsesTheFullId)
{
    CharacterDictionary d;
    Character* a = d.Create(5);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(d.Create(5), nullptr);
    Character* b = d.Create(5 + 128);   // same bucket
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(d.Find(5), a);
    EXPECT_EQ(d.Find(133), b);
    EXPECT_EQ(d.Find(6), nullptr);
    d.Remove(5);
    EXPECT_EQ(d.Find(5), nullptr);
    EXPECT_EQ(d.Find(133), b);
    EXPECT_EQ(d.Count(), 1);
}

TEST(MovieTimeline, PlacesMovesAndRemovesByDepthAcrossFrames)
{
    MovieWriter w;
    w.frameCount = 3;
    w.Add(Tag(69, {0x00, 0x00, 0x00, 0x00}));   // a file-attributes tag of later writers
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    w.Add(DefineRectShape(2, 1, 0, 0, 400, 400, 0x00FF00FF));   // duplicate id: ignored
    w.Add(DefineRectShape(32, 2, 0, 0, 100, 100, 0x0000FF80));
    Place a;
    a.depth = 1;
    a.id = 1;
    w.Add(PlaceObject2(a));
    Place b;
    b.depth = 3;
    b.id = 2;
    w.Add(PlaceObject2(b));
    Place unknown;
    unknown.depth = 2;
    unknown.id = 99;   // not defined: dropped
    w.Add(PlaceObject2(unknown));
    w.ShowFrame();
    Matrix m = Matrix::Translate(40, 60);
    Place move;
    move.depth = 1;
    move.move = true;
    move.matrix = &m;
    w.Add(PlaceObject2(move));
    w.ShowFrame();
    w.Add(RemoveObject2(1));
    w.ShowFrame();
    Player p(w.Finish());

    ASSERT_EQ(p.root->LoadError(), 0);
    p.display.StepTimelines();
    EXPECT_EQ(p.root->CurrentFrame(), 0);
    EXPECT_EQ(p.Depths(), (DepthList{{1, 1}, {3, 2}}));
    Character* shape = p.root->Dictionary().Find(1);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->bounds, (MovieRect{0, 200, 0, 200}));   // the first definition
    EXPECT_EQ(p.display.FindDepth(p.Level(), 1)->matrix.tx, 0);

    p.display.StepTimelines();
    EXPECT_EQ(p.display.FindDepth(p.Level(), 1)->matrix.tx, 40);
    EXPECT_EQ(p.display.FindDepth(p.Level(), 1)->matrix.ty, 60);

    p.display.StepTimelines();
    EXPECT_EQ(p.Depths(), (DepthList{{3, 2}}));
    EXPECT_EQ(p.root->CurrentFrame(), 2);
}

TEST(MovieTimeline, SeekingBackRunsOnlyTheTargetFramesActions)
{
    MovieWriter w;
    w.frameCount = 4;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    for (int f = 0; f < 4; ++f) {
        w.Add(DoAction(uint8_t(0x10 + f)));
        if (f == 1) {
            Place a;
            a.depth = 5;
            a.id = 1;
            w.Add(PlaceObject2(a));
        }
        w.ShowFrame();
    }
    Player p(w.Finish());
    p.root->Seek(3);
    EXPECT_EQ(p.DrainActions(), (std::vector<int>{0x13}));
    EXPECT_EQ(p.Depths(), (DepthList{{5, 1}}));
    Instance* placed = p.Level()->children;
    p.root->Seek(1);
    EXPECT_EQ(p.DrainActions(), (std::vector<int>{0x11}));
    // The re-placed object equals the old one: the old instance survives.
    EXPECT_EQ(p.Level()->children, placed);
    p.root->Seek(0);
    EXPECT_EQ(p.DrainActions(), (std::vector<int>{0x10}));
    EXPECT_TRUE(p.Depths().empty());
}

TEST(MovieTimeline, FrameZeroActionsRunAgainEachWrap)
{
    MovieWriter w;
    w.frameCount = 2;
    w.Add(DoAction(0x21));
    w.ShowFrame();
    w.ShowFrame();
    Player p(w.Finish());
    std::vector<int> all;
    for (int i = 0; i < 6; ++i) {
        p.display.StepTimelines();
        for (int a : p.DrainActions()) all.push_back(a);
    }
    EXPECT_EQ(all, (std::vector<int>{0x21, 0x21, 0x21}));
    EXPECT_TRUE(p.root->Playing());
}

TEST(MovieTimeline, AMovieWithoutShowFrameShowsFrameZeroAndStops)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    Place a;
    a.depth = 1;
    a.id = 1;
    w.Add(PlaceObject2(a));
    Player p(w.Finish());
    p.display.StepTimelines();
    EXPECT_EQ(p.root->CurrentFrame(), 0);
    EXPECT_EQ(p.Depths(), (DepthList{{1, 1}}));
    p.display.StepTimelines();
    p.display.StepTimelines();
    EXPECT_FALSE(p.root->Playing());
    EXPECT_EQ(p.root->CurrentFrame(), 0);
}

TEST(MovieTimeline, LabelsAreFoundWithoutCase)
{
    MovieWriter w;
    w.frameCount = 3;
    w.ShowFrame();
    BitWriter label;
    label.String("Intro");
    w.Add(43, label.Take());
    w.ShowFrame();
    w.ShowFrame();
    Player p(w.Finish());
    EXPECT_EQ(p.root->FindLabel("intro"), 1);
    EXPECT_EQ(p.root->FindLabel("INTRO"), 1);
    EXPECT_EQ(p.root->FindLabel("outro"), -1);
}

TEST(MovieTimeline, SpritesPlayTheirOwnFramesAndGetNames)
{
    Place inner;
    inner.depth = 1;
    inner.id = 1;
    Place innerMove;
    innerMove.depth = 1;
    innerMove.move = true;
    Matrix m = Matrix::Translate(100, 0);
    innerMove.matrix = &m;
    Bytes spriteTags = PlaceObject2(inner);
    Bytes more = Tag(1, {});
    spriteTags.insert(spriteTags.end(), more.begin(), more.end());
    more = PlaceObject2(innerMove);
    spriteTags.insert(spriteTags.end(), more.begin(), more.end());
    more = Tag(1, {});
    spriteTags.insert(spriteTags.end(), more.begin(), more.end());

    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    w.Add(DefineSprite(7, 2, spriteTags));
    Place s;
    s.depth = 2;
    s.id = 7;
    w.Add(PlaceObject2(s));
    Place named;
    named.depth = 3;
    named.id = 7;
    named.name = "wheel";
    w.Add(PlaceObject2(named));
    w.ShowFrame();
    Player p(w.Finish());
    p.display.StepTimelines();
    Instance* sprite = p.display.FindDepth(p.Level(), 2);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->name, "instance1");
    EXPECT_EQ(p.display.FindDepth(p.Level(), 3)->name, "wheel");
    ASSERT_TRUE(sprite->sprite);
    EXPECT_EQ(sprite->sprite->CurrentFrame(), 0);
    ASSERT_NE(sprite->children, nullptr);
    EXPECT_EQ(sprite->children->matrix.tx, 0);
    p.display.StepTimelines();
    EXPECT_EQ(sprite->sprite->CurrentFrame(), 1);
    EXPECT_EQ(sprite->children->matrix.tx, 100);
    p.display.StepTimelines();   // the sprite loops back to frame 0
    EXPECT_EQ(sprite->sprite->CurrentFrame(), 0);
    EXPECT_EQ(sprite->children->matrix.tx, 0);
}

TEST(MovieTimeline, ASpriteThatPlacesItselfStopsAtTheNestingLimit)
{
    Place self;
    self.depth = 1;
    self.id = 7;
    Bytes spriteTags = PlaceObject2(self);
    Bytes show = Tag(1, {});
    spriteTags.insert(spriteTags.end(), show.begin(), show.end());
    MovieWriter w;
    w.Add(DefineSprite(7, 1, spriteTags));
    w.Add(PlaceObject2(self));
    w.ShowFrame();
    Player p(w.Finish());
    p.display.StepTimelines();
    int depth = 0;
    for (Instance* i = p.Level()->children; i; i = i->children) ++depth;
    EXPECT_EQ(depth, DisplayList::kMaxSpriteNesting);
    for (int i = 0; i < 3; ++i) p.display.StepTimelines();
}

TEST(MovieTimeline, ScriptDepthsSurviveAJumpBack)
{
    MovieWriter w;
    w.frameCount = 2;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    w.ShowFrame();
    w.ShowFrame();
    Player p(w.Finish());
    p.root->Seek(1);
    Placement script;
    script.character = p.root->Dictionary().Find(1);
    script.depth = 0x4000;
    ASSERT_NE(p.display.PlaceObject(p.Level(), script), nullptr);
    script.depth = 10;
    ASSERT_NE(p.display.PlaceObject(p.Level(), script), nullptr);
    p.root->Seek(0);
    EXPECT_EQ(p.Depths(), (DepthList{{0x4000, 1}}));
}

TEST(MovieTimeline, AMovieArrivingInPiecesPlaysAsItLoads)
{
    MovieWriter w;
    w.frameCount = 2;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    Place a;
    a.id = 1;
    w.Add(PlaceObject2(a));
    w.ShowFrame();
    w.Add(RemoveObject2(1));
    w.ShowFrame();
    Bytes file = w.Finish();
    DisplayList display;
    auto root = Timeline::CreateRoot(&display, 0);
    size_t half = file.size() - 6;   // the second frame has not arrived
    root->Append(file.data(), half);
    display.StepTimelines();
    display.StepTimelines();
    EXPECT_EQ(root->CurrentFrame(), 0);
    root->Append(file.data() + half, file.size() - half);
    display.StepTimelines();
    EXPECT_EQ(root->CurrentFrame(), 1);
    EXPECT_EQ(root->GetInstance()->children, nullptr);
}

TEST(MovieTimeline, BadMoviesDoNotPlay)
{
    Bytes bad = {'F', 'W', 'X', 4, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Player p(bad);
    EXPECT_EQ(p.root->LoadError(), -1);
    p.display.StepTimelines();
    EXPECT_EQ(p.Level(), nullptr);
    EXPECT_FALSE(p.root->Playing());
}

TEST(MovieTimeline, AJumpKeepsARePlacedSpriteAndItsFrame)
{
    Bytes spriteTags;
    for (int i = 0; i < 3; ++i) {
        Bytes show = Tag(1, {});
        spriteTags.insert(spriteTags.end(), show.begin(), show.end());
    }
    MovieWriter w;
    w.frameCount = 2;
    w.Add(DefineSprite(7, 3, spriteTags));
    Place s;
    s.depth = 1;
    s.id = 7;
    w.Add(PlaceObject2(s));
    w.ShowFrame();
    w.ShowFrame();
    Player p(w.Finish());
    p.display.StepTimelines();
    Instance* sprite = p.display.FindDepth(p.Level(), 1);
    ASSERT_NE(sprite, nullptr);
    p.display.StepTimelines();
    int frame = sprite->sprite->CurrentFrame();
    EXPECT_EQ(frame, 1);
    p.root->Seek(0);
    EXPECT_EQ(p.display.FindDepth(p.Level(), 1), sprite);
    EXPECT_EQ(sprite->sprite->CurrentFrame(), frame);
    EXPECT_EQ(p.Level()->children->next, nullptr);
}

TEST(MovieTimeline, PlacingAtAnOccupiedDepthGoesFirst)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 1, 0, 0, 200, 200, 0xFF0000FF));
    w.Add(DefineRectShape(2, 2, 0, 0, 200, 200, 0x00FF00FF));
    Place a;
    a.depth = 4;
    a.id = 1;
    w.Add(PlaceObject2(a));
    a.id = 2;
    w.Add(PlaceObject2(a));
    Matrix m = Matrix::Translate(77, 0);
    Place move;
    move.depth = 4;
    move.move = true;
    move.matrix = &m;
    w.Add(PlaceObject2(move));
    w.ShowFrame();
    Player p(w.Finish());
    p.display.StepTimelines();
    EXPECT_EQ(p.Depths(), (DepthList{{4, 2}, {4, 1}}));
    EXPECT_EQ(p.Level()->children->matrix.tx, 77);
    EXPECT_EQ(p.Level()->children->next->matrix.tx, 0);
}

TEST(MovieTimeline, SpritesThatMultiplyStopAtTheInstanceLimit)
{
    // Sprite 7 places 50 copies of itself: 50^16 instances at full depth.
    Bytes spriteTags;
    for (int i = 0; i < 50; ++i) {
        Place self;
        self.depth = uint16_t(i + 1);
        self.id = 7;
        Bytes b = PlaceObject2(self);
        spriteTags.insert(spriteTags.end(), b.begin(), b.end());
    }
    Bytes show = Tag(1, {});
    spriteTags.insert(spriteTags.end(), show.begin(), show.end());
    MovieWriter w;
    w.Add(DefineSprite(7, 1, spriteTags));
    Place top;
    top.id = 7;
    w.Add(PlaceObject2(top));
    w.ShowFrame();
    Player p(w.Finish());
    p.display.SetInstanceLimit(2000);   // the default (32768) takes seconds under the sanitizers
    p.display.StepTimelines();
    EXPECT_EQ(p.display.InstanceCount(), 2000);
    p.root.reset();
    EXPECT_EQ(p.display.InstanceCount(), 0);
}

TEST(MovieTimeline, AMovieDefiningTheRootIdDoesNotReplaceTheRoot)
{
    MovieWriter w;
    w.Add(DefineRectShape(2, 0xFFFE, 0, 0, 200, 200, 0xFF0000FF));
    w.ShowFrame();
    Player p(w.Finish());
    p.display.StepTimelines();
    ASSERT_NE(p.Level(), nullptr);
    EXPECT_EQ(p.Level()->Kind(), kCharRoot);
    EXPECT_EQ(p.root->Dictionary().Find(0xFFFE)->kind, kCharShape);
}
