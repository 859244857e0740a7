// The design view as the movie parts' site: the widget their player
// windows are children of, the zoom and the scroll position.  The view
// calls the two functions below (its only movie code).
#pragma once

class CTeskView;

// The view became the active design view: new player windows go into it.
void ActivateMovieSite(CTeskView* view);
// The view scrolled, zoomed or changed: the player windows of its design's
// movie parts move over their parts again.
void PlaceMovieWindows(CTeskView* view);
