// The saved listing's bytes: what File/Save and -o write for the lines the
// list shows. Writing them to a file is io/'s job.
#pragma once

#include <span>
#include <string>

namespace zelo {

// Every line followed by CR LF, then one more CR LF (an empty last line).
std::string ListingBytes(std::span<const std::string> lines);

}  // namespace zelo
