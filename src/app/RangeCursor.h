#pragma once

class QCursor;

namespace hibi {

// The range pointer "CURhani": an arrow with a range sign in inverted pixels,
// hot spot at the arrow's tip (2, 4). Built once, before the main window.
const QCursor &RangeCursor();

} // namespace hibi
