// Texts the user reads, shared by the window and the command line, so that
// both say the same thing in the same words.
#pragma once

#include <string_view>

namespace zelo {

// A log that cannot be scored: the window's prompt, and the start of the
// command line's message (followed by ": <file>: <reason>").
inline constexpr std::string_view kInvalidLogMessage = "Please select a valid cabrillo log file";

// A listing that could not be saved, followed by the reason.
inline constexpr std::string_view kListingNotSaved = "Listing NOT saved: ";

// The reason given when the chosen file is the log itself.
inline constexpr std::string_view kSaveOntoLogReason = "that file is your log";

}  // namespace zelo
