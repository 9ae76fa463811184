#pragma once

#include "calendar/MonthGrid.h"

#include <optional>

namespace hibi {

// Today's date from the system clock; tests pin it with SetFixedToday.
YearMonthDay16 Today();
void SetFixedToday(std::optional<YearMonthDay16> date);

} // namespace hibi
