// The display list's side of drawing: what it asks of the character
// renderer for each instance.
#pragma once

namespace movie {

struct Instance;

// Releases the edges and fills built for an instance (they are rebuilt when
// it is next drawn).
void FreeDrawing(Instance* inst);

}  // namespace movie
