#pragma once

#include <QFont>

class QWidget;

namespace hibi {

// The font chooser: typeface, bold/italic and a size from 8 to 24 points. Qt's
// font dialog knows no size limit, so the size box is held to that range and an
// answer outside it is brought back into it. Underline and strike-out are not
// offered and stay as they came in. Returns false when cancelled.
bool ChooseFont(QWidget *parent, QFont &font);

constexpr int kMinFontSize = 8;
constexpr int kMaxFontSize = 24;

} // namespace hibi
