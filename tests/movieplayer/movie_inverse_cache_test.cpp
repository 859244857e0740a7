// The inverse colour tables are shared by palette: a buffer made again for
// the same palette takes the table it had, which is the table a fresh
// build gives; tables of palettes that left the recent list stay valid for
// their holders.
#include "movieplayer/bitbuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace movie;

namespace {

std::vector<uint32_t> Greys(int count, uint32_t tint)
{
    std::vector<uint32_t> p(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) p[static_cast<size_t>(i)] = (uint32_t(i * 255 / (count - 1)) * 0x010101u) ^ tint;
    return p;
}

} // namespace

TEST(MovieInverseCache, OnePaletteSharesOneTableEqualToAFreshBuild)
{
    const std::vector<uint32_t> pal = Greys(256, 0);
    InverseColorTable* a = InverseColorTable::Acquire(pal.data(), 256);
    InverseColorTable* b = InverseColorTable::Acquire(pal.data(), 256);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    InverseColorTable* fresh = InverseColorTable::Build(pal.data(), 256);
    EXPECT_EQ(std::memcmp(a->table, fresh->table, sizeof a->table), 0);
    fresh->Release();
    // A palette that differs in one entry has its own table.
    std::vector<uint32_t> other = pal;
    other[7] ^= 0x00FF00;
    InverseColorTable* c = InverseColorTable::Acquire(other.data(), 256);
    EXPECT_NE(c, a);
    a->Release();
    b->Release();
    c->Release();
}

TEST(MovieInverseCache, TablesOutliveTheRecentListForTheirHolders)
{
    std::vector<std::vector<uint32_t>> palettes;
    std::vector<InverseColorTable*> held;
    for (uint32_t k = 0; k < 8; ++k) {
        palettes.push_back(Greys(16, k * 0x030201u));
        held.push_back(InverseColorTable::Acquire(palettes.back().data(), 16));
    }
    // Every held table still answers as a fresh build of its palette does.
    for (size_t k = 0; k < held.size(); ++k) {
        InverseColorTable* fresh = InverseColorTable::Build(palettes[k].data(), 16);
        EXPECT_EQ(std::memcmp(held[k]->table, fresh->table, sizeof fresh->table), 0) << k;
        fresh->Release();
        held[k]->Release();
    }
    // Buffers made one after the other for one palette share the table.
    CBitBuffer one, two;
    ASSERT_TRUE(one.Create(8, 20, 10, palettes[0].data(), 16));
    ASSERT_TRUE(two.Create(8, 30, 10, palettes[0].data(), 16));
    EXPECT_EQ(one.Inverse(), two.Inverse());
}
