#pragma once

#include <QString>

namespace hibi {

// Whether Shift_JIS as Windows writes it (code page 932) holds the text, so that
// it comes back the same from the settings file.
bool ShiftJisHolds(const QString &text);

} // namespace hibi
