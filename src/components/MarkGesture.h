#pragma once

#include <QtGlobal>

#include <cstdint>

namespace hibi {

// The mark gestures, the same on every grid that edits marks: a left press
// toggles ○, a right press toggles ×, a left press while the right button is held
// toggles △. The held flags come from the grid's own presses and releases.
inline void ApplyMarkPress(std::uint8_t &mark, Qt::MouseButton button, bool &leftHeld, bool &rightHeld)
{
    auto toggle = [&mark](std::uint8_t to) { mark = mark == to ? 0 : to; };
    if (button == Qt::LeftButton) {
        leftHeld = true;
        toggle(rightHeld ? 3 : 1);
    } else if (button == Qt::RightButton) {
        rightHeld = true;
        toggle(2);
    }
}

inline void ApplyMarkRelease(Qt::MouseButton button, bool &leftHeld, bool &rightHeld)
{
    if (button == Qt::LeftButton)
        leftHeld = false;
    else if (button == Qt::RightButton)
        rightHeld = false;
}

} // namespace hibi
