#include "movieplayer/player/headless_player.h"

#include "movieplayer/player/local_files.h"

namespace movie {

HeadlessPlayer::~HeadlessPlayer()
{
    // Levels go before the requests' owners and the host's fields.
    ClearMovie();
}

void HeadlessPlayer::PostURL(const std::string& url, const std::string& target, const std::string& postData,
                             std::unique_ptr<StreamOwner> owner)
{
    if (!owner) {
        windowRequests.push_back(url);
        return;
    }
    requests.push_back({url, target, postData, std::move(owner)});
}

void HeadlessPlayer::GetURL(const std::string& url, const std::string& target, std::unique_ptr<StreamOwner> owner)
{
    // OpenMovie's request for level 0 comes with an owner too.
    if (!owner) {
        windowRequests.push_back(url);
        return;
    }
    requests.push_back({url, target, std::string(), std::move(owner)});
}

int HeadlessPlayer::ServeLocalFiles()
{
    int failed = 0;
    // Serving a movie may run its first frame, whose scripts may ask for more.
    for (int rounds = 0; !requests.empty() && rounds < 64; ++rounds) {
        std::vector<PendingRequest> batch;
        batch.swap(requests);
        for (PendingRequest& r : batch)
            if (!ServeLocalFile(*this, r.url, std::move(r.owner))) ++failed;
    }
    return failed;
}

bool HeadlessPlayer::ServeBytes(const uint8_t* data, size_t size, size_t piece)
{
    if (requests.empty()) return false;
    PendingRequest r = std::move(requests.front());
    requests.erase(requests.begin());
    std::unique_ptr<MovieStream> s = StreamInNew(r.url, std::move(r.owner));
    if (piece == 0) piece = 1;
    for (size_t pos = 0; pos < size; pos += piece) {
        size_t n = size - pos < piece ? size - pos : piece;
        if (StreamWrite(s.get(), data + pos, n) < 0) break;
    }
    StreamInDestroy(std::move(s));
    return true;
}

}  // namespace movie
