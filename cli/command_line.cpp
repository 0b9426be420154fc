#include "cli/command_line.h"

#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>

#include <CLI/CLI.hpp>

#include "cli/output_lines.h"
#include "zelo/version.h"

namespace zelo {
namespace {

constexpr std::string_view kFooter = R"(With one LOG, zelo-score prints the score report, or with --band that
band's numbered list of stations. With -o FILE it saves that listing to FILE
instead (CR LF after each line, then one empty line); FILE is replaced only
once the listing is wholly written, and never when it is the LOG itself or
any other Cabrillo log; with -o - the listing goes to standard output.
A LOG given as - is read from standard input.
--explain tells, line by line, what became of each QSO: record.

With several LOGs it prints a results table, best score first; logs that
cannot be scored come last, with the reason.

--json prints one JSON object per LOG, one per line, for any number of LOGs.
-o, --band and --explain need exactly one LOG. --json goes with none of -o,
--band or --explain, and --explain goes with neither -o nor --band.

Exit status: 0 every LOG was scored; 1 a LOG was rejected or unreadable, or
the listing or the output could not be written; 2 the command line is wrong.

--check checks each LOG before it is sent: one line per finding,
FILE:LINE: error|warning|note: message, then a summary line per LOG; with
--json one JSON object per LOG. It goes with none of -o, --band or --explain.
Its exit status: 0 no LOG has an error; 1 a LOG has an error or is
unreadable, or the output could not be written; 2 the command line is wrong.

--cross-check scores every LOG (a folder stands for the files in it) and
checks each contact against the other station's log, within --time-window
minutes (10 unless given): a results table per category, or with --json one
JSON object per LOG with the status of every contact. --penalty N takes N
more contacts off a checked score for each NIL and busted call.
--report-dir DIR adds a checking report per LOG and results.csv; --html DIR
a results site (each in a folder of its own), titled --title TEXT or the
logs' CONTEST:.
)";

// The options before "--", where the parser looks for them.
std::vector<std::string_view> OptionWords(int argc, const char* const* argv) {
  std::vector<std::string_view> words;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    words.push_back(arg);
  }
  return words;
}

bool LooksLikeOption(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

// An option given as "--name=" (or "-o=") with nothing after the "=": the
// parser would take the next argument as its value (a log as the output file).
std::optional<std::string> EmptyValueGiven(const std::vector<std::string_view>& words) {
  for (const std::string_view arg : words) {
    const bool long_or_short = arg.starts_with("--") || arg.size() == 3;
    if (LooksLikeOption(arg) && long_or_short && arg.find('=') == arg.size() - 1) {
      return std::string(arg.substr(0, arg.size() - 1)) + ": the value after = is empty";
    }
  }
  return std::nullopt;
}

// The options that take no value.
constexpr std::string_view kFlags[] = {"--json", "--explain", "--check", "--cross-check"};

// A flag given a value ("--check=no"): the parser would read it as a switch
// turned off, and the command as another.
std::optional<std::string> FlagWithValue(const std::vector<std::string_view>& words) {
  for (const std::string_view arg : words) {
    const std::string_view name = arg.substr(0, arg.find('='));
    if (name.size() == arg.size()) continue;
    for (const std::string_view flag : kFlags) {
      if (name == flag) return std::string(flag) + " takes no value: give it without =";
    }
  }
  return std::nullopt;
}

// The complaint about an option that takes a value but is given last or
// followed by another option.
std::optional<std::string> ValueMissing(const std::vector<std::string_view>& words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i + 1 < words.size() && !LooksLikeOption(words[i + 1])) continue;
    const std::string name(words[i]);
    if (name == "-o" || name == "--output") return name + " needs a FILE after it";
    if (name == "--band") return name + " needs a BAND after it: 160, 80, 40, 20, 15 or 10";
  }
  return std::nullopt;
}

// The first argument that looked like an option but is none of ours.
std::optional<std::string> UnknownOption(const CLI::App& app) {
  for (const std::string& arg : app.remaining()) {
    if (!LooksLikeOption(arg) || arg == "--") continue;
    return std::string(kProgram) + " has no option " + arg.substr(0, arg.find('='));
  }
  return std::nullopt;
}

// Whether two folder names, both given, name one folder (however spelled,
// whether they exist yet or not).
bool SameFolder(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code error;
  const auto normal = [&error](const std::string& name) {
    std::filesystem::path path = std::filesystem::weakly_canonical(name, error);
    return path.has_filename() ? path : path.parent_path();  // "x/" is "x"
  };
  return normal(a) == normal(b) || (std::filesystem::exists(a, error) && std::filesystem::equivalent(a, b, error));
}

// The options, declared on a parser, and what they were given.
class Options {
 public:
  Options() : app_("Scores ZELO Razezuz contest logs (Cabrillo).", std::string(kProgram)) {
    app_.footer(std::string(kFooter));
    // Unknown options are told by name after parsing, before a missing LOG.
    app_.allow_extras();
    app_.set_version_flag("--version", std::string(kProgram) + " " + std::string(kVersion),
                          "Print the version and exit");
    app_.add_option("LOG", command_.logs, "Cabrillo log file(s) to score")->type_name("FILE")->required();
    DeclareScoring();
    DeclareChecking();
  }

  CLI::App& App() { return app_; }

  // The command the parsed options ask for; a UsageProblem when they do not go together.
  CommandLine Resolve() {
    if (auto problem = Validate()) return UsageProblem{*problem};
    if (cross_checking_) {
      command_.kind = CommandKind::kCrossCheck;
      command_.cross_check.logs = command_.logs;
      command_.cross_check.json = command_.json;
    } else if (check_) {
      command_.kind = CommandKind::kCheck;
    } else if (command_.json) {
      command_.kind = CommandKind::kJson;
    } else if (command_.logs.size() > 1) {
      command_.kind = CommandKind::kTable;
    } else {
      command_.kind = explain_ ? CommandKind::kExplain : CommandKind::kScore;
    }
    return command_;
  }

 private:
  void DeclareScoring() {
    // Given twice, an option is told by name after parsing, not by the parser.
    band_ = app_.add_option("--band", command_.band, "Show that band's list of stations, not the report")
                ->type_name("BAND")
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                ->check(CLI::IsMember({"160", "80", "40", "20", "15", "10"}));
    output_ = app_.add_option("-o,--output", command_.output, "Save the listing to FILE instead of printing it")
                  ->type_name("FILE")
                  ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    json_ = app_.add_flag("--json", command_.json, "Print one JSON object per log");
    explain_option_ =
        app_.add_flag("--explain", explain_, "Tell what became of each QSO: record, line by line");
    json_->excludes(band_)->excludes(output_)->excludes(explain_option_);
    explain_option_->excludes(band_)->excludes(output_);
  }

  void DeclareChecking() {
    CrossCheckCommand& cross = command_.cross_check;
    cross_ = app_.add_flag("--cross-check", cross_checking_, "Check the LOGs (or folders) against each other");
    time_window_ = app_.add_option("--time-window", cross.time_window_minutes, "With --cross-check: minutes two times may differ")
        ->type_name("MIN")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->check(CLI::Range(1, 1440))
        ->needs(cross_);
    penalty_ = app_.add_option("--penalty", cross.penalty,
                               "With --cross-check: penalty per NIL, busted call")
                   ->type_name("N")
                   ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                   ->check(CLI::Range(0, 100))
                   ->needs(cross_);
    report_dir_ = app_.add_option("--report-dir", cross.report_dir, "With --cross-check: a report per log, results.csv")
                      ->type_name("DIR")
                      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                      ->needs(cross_);
    html_ = app_.add_option("--html", cross.html_dir, "With --cross-check: the results site into DIR")
                ->type_name("DIR")
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                ->needs(cross_);
    title_ = app_.add_option("--title", cross.title, "With --cross-check: the results' title")
                 ->type_name("TEXT")
                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                 ->needs(cross_);
    // --band is refused after parsing: one more name in its help line would not fit.
    cross_->excludes(output_)->excludes(explain_option_);
    check_option_ = app_.add_flag("--check", check_, "List every problem of each log, with its line");
    check_option_->excludes(band_)->excludes(output_)->excludes(explain_option_);
    cross_->excludes(check_option_);
  }

  std::optional<std::string> Validate() const {
    if (auto unknown = UnknownOption(app_)) return unknown;
    for (const CLI::Option* once : {band_, output_, json_, explain_option_, check_option_, cross_, report_dir_, html_,
                                    time_window_, penalty_, title_}) {
      if (once->count() > 1) return once->get_name() + " may be given only once";
    }
    if (output_->count() > 0 && command_.output.empty()) return "-o: the file name is empty";
    for (const CLI::Option* folder : {report_dir_, html_}) {
      if (folder->count() > 0 && folder->as<std::string>().empty()) {
        return folder->get_name() + ": the folder name is empty";
      }
    }
    if (cross_checking_ && band_->count() > 0) return "--cross-check excludes --band";
    if (SameFolder(command_.cross_check.report_dir, command_.cross_check.html_dir)) {
      return "--report-dir and --html name one folder: give each its own";
    }
    if (!cross_checking_ && command_.logs.size() > 1) {
      for (const CLI::Option* one_log_only : {output_, band_, explain_option_}) {
        if (one_log_only->count() > 0) return one_log_only->get_name() + " needs exactly one LOG";
      }
    }
    return std::nullopt;
  }

  CLI::App app_;
  Command command_;
  bool explain_ = false, check_ = false, cross_checking_ = false;
  CLI::Option* band_ = nullptr;
  CLI::Option* output_ = nullptr;
  CLI::Option* json_ = nullptr;
  CLI::Option* explain_option_ = nullptr;
  CLI::Option* cross_ = nullptr;
  CLI::Option* check_option_ = nullptr;
  CLI::Option* time_window_ = nullptr;
  CLI::Option* penalty_ = nullptr;
  CLI::Option* title_ = nullptr;
  CLI::Option* report_dir_ = nullptr;
  CLI::Option* html_ = nullptr;
};

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  const std::vector<std::string_view> words = OptionWords(argc, argv);
  if (auto empty = EmptyValueGiven(words)) return UsageProblem{*empty};
  if (auto missing = ValueMissing(words)) return UsageProblem{*missing};
  if (auto valued = FlagWithValue(words)) return UsageProblem{*valued};
  Options options;
  try {
    options.App().parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) {  // --help or --version
      std::ostringstream shown, unused;
      options.App().exit(e, shown, unused);
      return ShownText{shown.str()};
    }
    if (auto unknown = UnknownOption(options.App())) return UsageProblem{*unknown};
    return UsageProblem{e.what()};
  }
  return options.Resolve();
}

}  // namespace zelo
