// The movie part: a rectangle of the design that plays a movie file.  It
// reaches the movie engine only through CreateMoviePlayer and
// IMoviePlayer: the player's window lies over the part's rectangle while
// the design runs; at other times the part draws a still frame of the
// movie into the design's view.  A part without a player (or whose movie
// is missing) draws its file name in a frame.
#pragma once

#include "model/parts/partcircuit.h"
#include "movieplayer/host/movie_player.h"

#include <memory>

// What the movie part needs of the design view that shows it.
class CMovieViewSite {
public:
    virtual ~CMovieViewSite() = default;
    // The widget the player windows are children of (may be null).
    virtual void* MovieParentWindow() = 0;
    // The view's zoom factor (1, or 2 at zoom x2).
    virtual int MovieZoom() = 0;
    // The view's scroll position in pixels.
    virtual CPoint MovieScrollPos() = 0;
};

class CFlashViewer : public CPartCircuit {
    WB_DECLARE_SERIAL(CFlashViewer)
public:
    static constexpr UINT kCannotFindFile = 38950;

    CFlashViewer();
    ~CFlashViewer() override;

    // The CPartCircuit record, then the movie file name.
    void Serialize(CArchive& ar) override;
    // Creates the player and opens the stored movie (relative names against
    // the design's file first, then as stored); lists a missing file in the
    // file-open warnings.
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    // Only wholly inside the page and over no other part.
    int CanDrop(CPartTree* design) override;
    void Drop(CPartTree* design) override;
    void UpdateChildWindow() override;
    int IsDesignItem() override { return 1; }
    void OnViewChanged(int code, void* view) override;
    void SetRunning(int flag) override;
    void Offset(int dx, int dy) override;
    int Draw(DWORD flags) override;

    // A movie the user chose (the name as stored: it may be relative to
    // the design's file, designPath).  False when it cannot be opened.
    bool OpenMovie(const CString& name, const CString& designPath);
    // Creates the player and its window (once); false without one.
    bool CreatePlayer();
    // Shows the window when the design allows it, the movie is loaded and no
    // drag or insert is pending; returns the decision.
    bool UpdatePlayerVisibility();
    // Places the window over the part's rectangle in the view.
    void PlacePlayerWindow();
    // Whether the player holds a loaded movie.
    bool MovieLoaded();
    movie::IMoviePlayer* Player() const { return m_player.get(); }

    static void SetViewSite(CMovieViewSite* site);
    static CMovieViewSite* ViewSite();

    CString m_strMovieName;

private:
    bool OpenResolved(const CString& path);
    void DropPlayer();

    std::unique_ptr<movie::IMoviePlayer> m_player;
    bool m_running = false;
};
