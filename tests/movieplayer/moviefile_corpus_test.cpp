// Writes the scene movies as fuzz seeds: run
//   test_movieplayer --gtest_also_run_disabled_tests --gtest_filter='*WriteFuzzSeeds'
// and commit tests/fuzz/corpus/movie.
#include <gtest/gtest.h>

#include <fstream>

#include "movieplayer/moviefile_scenes.h"

TEST(MovieCorpus, DISABLED_WriteFuzzSeeds)
{
    for (const auto& s : moviefile_test::Scenes()) {
        std::ofstream out(std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/movie/scene_" + s.name,
                          std::ios::binary);
        out.write(reinterpret_cast<const char*>(s.file.data()), std::streamsize(s.file.size()));
    }
}

TEST(MovieCorpus, ScenesLoadAndPlay)
{
    for (const auto& s : moviefile_test::Scenes()) {
        ASSERT_GT(s.file.size(), 21u) << s.name;
        EXPECT_EQ(s.file[4] | s.file[5] << 8, int(s.file.size())) << s.name;
    }
}
