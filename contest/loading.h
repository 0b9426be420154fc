// The first phases of a cross-check: each log read as the scoring run reads
// it (in parallel), resubmitted logs of one call set aside for the newest,
// and the calls numbered.
#pragma once

#include <string>
#include <vector>

#include "contest/contest_work.h"

namespace zelo {

// A log as given: its name, bytes and modification time.
struct LogInput {
  std::string path;
  std::string bytes;
  std::int64_t modified = 0;
};

// Scores every log as sent, keeping every record's outcome packed, and
// gathers the contacts that take part. The bytes move into the work's store.
void LoadLogs(ContestWork& work, std::vector<LogInput> inputs);

// Of the logs of one call (compared without case), the newest counts (ties:
// the last path in byte order); the others are superseded, and their
// contacts take no part.
void SetAsideResubmissions(ContestWork& work);

// Numbers the entrants' calls and the calls worked, counts for each call
// how many logs worked it, and indexes the entrants for busted calls.
void NumberCalls(ContestWork& work);

}  // namespace zelo
