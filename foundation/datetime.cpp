#include "foundation/datetime.h"

namespace found {

TDateTime FileTimeToDateTime(std::uint64_t fileTime) {
  constexpr std::int64_t kMsPerDay = 86400000;
  constexpr std::int64_t kDaysFrom1601To1899 = 109205;  // 1601-01-01 .. 1899-12-30
  const auto ms = static_cast<std::int64_t>(fileTime / 10000);
  const std::int64_t days = ms / kMsPerDay - kDaysFrom1601To1899;
  const double fraction = static_cast<double>(ms % kMsPerDay) / kMsPerDay;
  // Before the epoch the whole days count down while the time of day still
  // counts up: 1899-12-29 06:00 is -1.25.
  return days >= 0 ? days + fraction : days - fraction;
}

}  // namespace found
