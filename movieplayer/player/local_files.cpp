#include "movieplayer/player/local_files.h"

#include <cstdio>
#include <vector>

#include "movieplayer/player/number_text.h"

namespace movie {

std::string LocalPathOfUrl(const std::string& url)
{
    std::string path = url.substr(0, url.find('?'));
    if (path.size() >= 7 && EqualNoCase(path.substr(0, 7), std::string("file://"))) {
        path.erase(0, 7);
        // file://localhost/x and file:///x both name /x.
        if (path.size() >= 9 && EqualNoCase(path.substr(0, 9), std::string("localhost"))) path.erase(0, 9);
    } else if (path.find("://") != std::string::npos) {
        return std::string();
    }
    return path;
}

bool ServeLocalFile(SPlayer& player, const std::string& url, std::unique_ptr<StreamOwner> owner)
{
    const std::string path = LocalPathOfUrl(url);
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::unique_ptr<MovieStream> s = player.StreamInNew(url, std::move(owner));
    uint8_t piece[1024];
    for (;;) {
        size_t n = std::fread(piece, 1, sizeof piece, f);
        if (n == 0) break;
        if (player.StreamWrite(s.get(), piece, n) < 0) break;
    }
    std::fclose(f);
    player.StreamInDestroy(std::move(s));
    return true;
}

}  // namespace movie
