// Serving URL requests from local files, for hosts without a network and
// for the tests: "file://" urls and plain paths; the query after "?" is not
// part of the file name.
#pragma once

#include <memory>
#include <string>

#include "movieplayer/player/player.h"

namespace movie {

// The file name a url names, or "" when it is not a local one.
std::string LocalPathOfUrl(const std::string& url);

// Streams the file into the player in pieces of at most 1024 bytes (as the
// platform's stream messages deliver them).  False when it cannot be read;
// the player then receives nothing.
bool ServeLocalFile(SPlayer& player, const std::string& url, std::unique_ptr<StreamOwner> owner);

}  // namespace movie
