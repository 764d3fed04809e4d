// The date-time of the programs: days since 1899-12-30 as a double, the
// fraction being the time of day.
#pragma once

#include <cstdint>

namespace found {

using TDateTime = double;

// A file time (100 ns units since 1601-01-01), to the millisecond, as the
// platform's file-time-to-system-time conversion gives it. No time-zone
// conversion: UTC stays UTC.
TDateTime FileTimeToDateTime(std::uint64_t fileTime);

}  // namespace found
