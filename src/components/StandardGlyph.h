#pragma once

#include <QIcon>
#include <QStyle>

namespace hibi {

// The close, OK and cancel glyphs from the style's own pictures, made once and
// without looking through the desktop's icon theme, which costs more than the
// dialog that shows them. Any other glyph comes from the style as usual.
QIcon StandardGlyph(QStyle::StandardPixmap glyph);

} // namespace hibi
