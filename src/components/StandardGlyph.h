#pragma once

#include <QIcon>
#include <QStyle>

#include <QImage>

namespace hibi {

// A picture of the program's own, of a format named here ("png", "xpm"). Left to
// find the format out, the image reader loads every image format plugin first.
QImage ReadPicture(const QString &path, const QByteArray &format);

// The close, OK and cancel glyphs from the program's own pictures (drawn by
// tools/draw_glyphs.cpp), made once and without looking through the desktop's
// icon theme, which costs more than the dialog that shows them. Any other glyph
// comes from the style as usual.
QIcon StandardGlyph(QStyle::StandardPixmap glyph);

// The application's style wrapped so that every window gets the glyphs above,
// and a tool bar's overflow arrow is decoded only when a bar overflows and shows
// it: the style would decode it as each tool bar is made, loading every image
// format plugin on the way. Takes ownership of base.
QStyle *ProgramStyle(QStyle *base);

} // namespace hibi
