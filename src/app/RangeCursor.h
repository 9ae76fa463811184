#pragma once

class QCursor;

namespace hibi {

// The range pointer "CURhani": an arrow with a range sign in inverted pixels,
// hot spot at the arrow's tip (2, 4). Built once, on first use.
const QCursor &RangeCursor();

} // namespace hibi
