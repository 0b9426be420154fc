#include "cli/cli.h"

#include <ostream>
#include <string>
#include <variant>

#include "cli/check_command.h"
#include "cli/command_line.h"
#include "cli/cross_check_command.h"
#include "cli/loaded_log.h"
#include "cli/score_commands.h"
#include "input/log_file.h"

namespace zelo {
namespace {

// A LOG given as "-": standard input.
constexpr std::string_view kStandardInput = "-";
constexpr std::string_view kStandardInputName = "(standard input)";

// A usage error, told the way the parser tells its own. The message may
// quote the command line, whose bytes a terminal could act on.
int UsageError(std::ostream& err, std::string_view message, const CliStreams& streams) {
  err << (streams.err_is_terminal ? TerminalSafe(message) : std::string(message))
      << "\nRun with --help for more information.\n";
  return kExitUsage;
}

int Run(const Command& command, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  switch (command.kind) {
    case CommandKind::kScore:
      return RunScore(command.logs.front(), command.band, command.output, out, err, streams);
    case CommandKind::kExplain:
      return RunExplain(command.logs.front(), out, err, streams);
    case CommandKind::kJson:
      return RunJson(command.logs, out, err, streams);
    case CommandKind::kTable:
      return RunTable(command.logs, out, err, streams);
    case CommandKind::kCheck:
      return RunCheck(command.logs, command.json, out, err, streams);
    case CommandKind::kCrossCheck:
      return RunCrossCheck(command.cross_check, out, err, streams);
  }
  return kExitUsage;
}

}  // namespace

LoadedLog LoadLog(const std::string& path, const CliStreams& streams) {
  FileRead read = ReadLogBytes(path, streams);
  if (!read.ok) return {false, {}, std::move(read.error), std::nullopt};
  HeaderCheck header = CheckLogHeader(read.bytes);
  if (!header.valid) return {false, {}, std::move(header.reason), std::nullopt};
  return {true, std::move(read.bytes), {}, read.identity};
}

std::string LogName(const std::string& path) {
  return path == kStandardInput ? std::string(kStandardInputName) : path;
}

std::string ShownName(const std::string& path) { return TerminalSafe(LogName(path)); }

void TellRejected(std::ostream& err, const std::string& path, const std::string& reason) {
  err << kInvalidLogMessage << ": " << ShownName(path) << ": " << TerminalSafe(reason) << '\n';
}

FileRead ReadLogBytes(const std::string& path, const CliStreams& streams) {
  return path == kStandardInput ? ReadStream(streams.in_fd) : ReadWholeFile(path, ReadMode::kStreamsToo);
}

std::string TerminalSafe(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string safe;
  safe.reserve(bytes.size());
  const auto hex = [&safe](unsigned char c) {
    safe += "\\x";
    safe += kHex[c >> 4];
    safe += kHex[c & 0xF];
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\t') {
      safe += "\\t";
    } else if (c == '\r') {
      safe += "\\r";
    } else if (c == '\n') {
      safe += "\\n";
    } else if (c == '\\') {
      safe += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      hex(c);
    } else if (c == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(bytes[i + 1]) <= 0x9F) {
      // U+0080 to U+009F: the C1 controls, which a terminal may act on.
      hex(c);
      hex(static_cast<unsigned char>(bytes[++i]));
    } else {
      safe += static_cast<char>(c);
    }
  }
  return safe;
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, const CliStreams& streams) {
  const CommandLine line = ParseCommandLine(argc, argv);
  if (const auto* problem = std::get_if<UsageProblem>(&line)) return UsageError(err, problem->message, streams);
  if (const auto* shown = std::get_if<ShownText>(&line)) {
    out << shown->text;
    return out.flush() ? kExitScored : kExitRejected;
  }
  return Run(std::get<Command>(line), out, err, streams);
}

}  // namespace zelo
