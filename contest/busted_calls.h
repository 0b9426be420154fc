// Busted calls: a contact left unpaired whose call logged is not the
// station's. It pairs with the contact of an entrant one edit away from the
// call logged (or the same call with or without a portable suffix) that
// logged this station on the band in the class of mode, within the window,
// closest in time first, when the call logged sent no log or holds no such
// contact itself.
#pragma once

#include "contest/contest_work.h"

namespace zelo {

// Every log's unpaired contacts, in log order; or those of `log` alone,
// its times read `offset` minutes later.
void FindBustedCalls(ContestWork& work, std::uint32_t log = kNone, std::int32_t offset = 0);

}  // namespace zelo
