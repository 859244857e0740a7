// The outline of an editable text field: border, selection, glyphs and
// caret, as fill edges of text colours (fill index 1 after each colour).
#pragma once

#include "movieplayer/geometry.h"

namespace movie {

class EditText;
class OutlineSink;

// Walks the field's drawing through m (field twips to buffer units).  The
// caret shows only in the focused field.
void WalkEditText(const EditText& e, bool focused, const MovieMatrix& m, OutlineSink& sink);

}  // namespace movie
