// The contacts two stations logged of each other, bucket by bucket, and
// their pairing: closest times first, within the time window, each contact
// paired once; stored contacts with each other first, then what is left
// with the other side's repeats.
#pragma once

#include "contest/contest_work.h"

namespace zelo {

// Places every contact of a log that counts in its bucket and side.
void FillBuckets(ContestWork& work);

// Pairs every bucket (on every core).
void PairBuckets(ContestWork& work);

// Pairs again the unpaired contacts of `log` (its times read `offset`
// minutes later) with the unpaired contacts of the stations it worked.
void PairLogAgain(ContestWork& work, std::uint32_t log, std::int32_t offset);

}  // namespace zelo
