// The ways into the program that the hostile tests drive: the core itself,
// zelo-score in-process, the window's workflow, and the real zelo-score.
#pragma once

#include <ostream>
#include <string_view>

namespace zelo::test {

enum class Channel { kCore, kCli, kWindow, kProgram };

inline std::string_view ChannelName(Channel c) {
  switch (c) {
    case Channel::kCore: return "Core";
    case Channel::kCli: return "Cli";
    case Channel::kWindow: return "Window";
    case Channel::kProgram: return "Program";
  }
  return "?";
}

inline void PrintTo(Channel c, std::ostream* os) { *os << ChannelName(c); }

}  // namespace zelo::test
