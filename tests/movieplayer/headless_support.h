// A headless player fed a whole test movie at once, and its variables read
// back as text.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "movieplayer/moviefile_writer.h"
#include "movieplayer/player/headless_player.h"

namespace moviefile_test {

// Opens `name` and serves all of `movie` in one piece; the first frame is drawn.
inline void OpenServed(movie::HeadlessPlayer& p, const char* name, const Bytes& movie)
{
    p.OpenMovie(name);
    ASSERT_TRUE(p.ServeBytes(movie.data(), movie.size()));
    ASSERT_TRUE(p.Loaded());
    p.UpdateScreen();
}

// A variable of the root timeline ("<missing>" when it is not set).
inline std::string Var(movie::HeadlessPlayer& p, const std::string& path)
{
    std::string v;
    return p.GetVariable(p.Root(), path, &v) ? v : "<missing>";
}

} // namespace moviefile_test
