// A log whose every contact is off the other logs' by the same time (a
// computer clock set wrong) is found and let through: once pairs and busted
// calls are settled, each log in call order is looked at. For each of its
// unpaired contacts with a time, whose station worked sent a log, the
// closest contact (unpaired, or a repeat) that log holds of this one, on the
// band in the class of mode within 24 hours, gives a difference. With at
// least kLeastContacts differences, their median (the lower middle one) d
// is the log's offset when |d| exceeds the window and at least 80% of them
// lie within the window of d; the log's unpaired contacts then pair again
// with their times read d minutes later.
#pragma once

#include "contest/contest_work.h"

namespace zelo {

inline constexpr std::size_t kLeastContacts = 10;
inline constexpr std::int32_t kOffsetSearchMinutes = 24 * 60;

// The offset of a log from the differences of its contacts' times; nullopt
// when they show none.
std::optional<std::int32_t> ClockOffset(std::vector<std::int32_t> differences, std::int32_t window);

// Finds every log's offset, in call order, and pairs its contacts again.
void FindClockOffsets(ContestWork& work);

}  // namespace zelo
