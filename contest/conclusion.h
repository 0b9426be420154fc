// The last phase of a cross-check: every record's status, a nil's nearest
// near miss, and the checked score, which the event's rules give over the
// log as it is, every record in its place, when only the contacts the
// cross-check lets count add a contact and a multiplier.
#pragma once

#include "contest/contest_work.h"

namespace zelo {

// Concludes log i (on every core, one log each).
void Conclude(ContestWork& work, std::size_t i);

}  // namespace zelo
