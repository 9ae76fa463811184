#pragma once

#include "storage/YearMarks.h"

#include <QtCore/qnamespace.h>

#include <cstdint>

namespace hibi {

// The mark gestures, the same on every grid that edits marks: a left press
// toggles ○, a right press toggles ×, a left press while the right button is
// held toggles △, and other buttons change nothing. The held flags follow the
// grid's own presses and releases, not the buttons the system reports.

// `target` on a cell that does not hold it, else nothing.
constexpr std::uint8_t ToggleMark(std::uint8_t mark, Mark target)
{
    return mark == target ? std::uint8_t(NoMark) : std::uint8_t(target);
}

// The mark a press of `button` leaves on a cell that holds `mark`; the press is
// recorded in the held flags.
std::uint8_t PressMark(std::uint8_t mark, Qt::MouseButton button, bool &leftHeld, bool &rightHeld);
void ReleaseButton(Qt::MouseButton button, bool &leftHeld, bool &rightHeld);

} // namespace hibi
