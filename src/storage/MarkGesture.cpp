#include "storage/MarkGesture.h"

namespace hibi {

std::uint8_t PressMark(std::uint8_t mark, Qt::MouseButton button, bool &leftHeld, bool &rightHeld)
{
    if (button == Qt::LeftButton) {
        leftHeld = true;
        return ToggleMark(mark, rightHeld ? Sankaku : Maru);
    }
    if (button == Qt::RightButton) {
        rightHeld = true;
        return ToggleMark(mark, Batu);
    }
    return mark;
}

void ReleaseButton(Qt::MouseButton button, bool &leftHeld, bool &rightHeld)
{
    if (button == Qt::LeftButton)
        leftHeld = false;
    else if (button == Qt::RightButton)
        rightHeld = false;
}

} // namespace hibi
