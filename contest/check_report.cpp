#include "contest/check_report.h"

#include <string_view>

#include "contest/output_text.h"
#include "input/cabrillo_vocabulary.h"
#include "input/text.h"

namespace zelo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kReportTitle = "Log-checking report: ";
constexpr std::string_view kNoCategory = "none";
constexpr std::string_view kNotGiven = "not given";
constexpr std::size_t kLabelWidth = 12;
constexpr std::size_t kNumberWidth = 13;
constexpr std::size_t kStatusWidth = 17;

std::string PadRight(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// Lines joined into report bytes.
class ReportLines {
 public:
  void Add(std::string_view line) {
    bytes_.append(line);
    bytes_ += kLineEnd;
  }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

// "junk" of "logs/junk.txt": names the report of a log without a call.
std::string FileBaseName(std::string_view file) {
  const std::size_t slash = file.rfind('/');
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  const std::size_t dot = file.rfind('.');
  if (dot != std::string_view::npos && dot > 0) file = file.substr(0, dot);
  return std::string(file);
}

std::string EntrantName(const LogCheck& log) { return log.call.empty() ? log.name : log.call; }

std::string PlaceLine(const ContestIndex& index, std::size_t log, const LogCheck& check) {
  if (check.category.checklog) return "not ranked: check log";
  if (index.rank[log] == 0) return "not ranked";
  const CategoryGroup& group = index.groups[index.group[log]];
  return std::to_string(index.rank[log]) + " of " + std::to_string(group.logs.size()) + " in " +
         GroupLine(group);
}

void AddScores(ReportLines& out, const LogCheck& check) {
  out.Add(PadRight("", kLabelWidth) + PadLeft("Contacts", kNumberWidth) +
          PadLeft("Multipliers", kNumberWidth) + PadLeft("Score", kNumberWidth));
  const auto row = [&](std::string_view label, std::int64_t qsos, std::int64_t mults, std::int64_t score) {
    out.Add(PadRight(std::string(label), kLabelWidth) + PadLeft(std::to_string(qsos), kNumberWidth) +
            PadLeft(std::to_string(mults), kNumberWidth) + PadLeft(std::to_string(score), kNumberWidth));
  };
  row("As sent", check.qsos, check.mults, check.score);
  row("Checked", check.checked_qsos, check.checked_mults, check.checked_score);
  out.Add(PadRight("Claimed", kLabelWidth) + PadLeft("", 2 * kNumberWidth) +
          PadLeft(check.claimed_score ? std::to_string(*check.claimed_score) : std::string(kNotGiven),
                  kNumberWidth));
}

void AddUnconfirmed(ReportLines& out, const ContestResult& result, const ContestIndex& index,
                    const LogCheck& check) {
  const std::size_t listed = UnconfirmedCount(check.contacts);
  out.Add("Contacts not confirmed: " + std::to_string(listed));
  if (listed == 0) return;
  out.Add("  " + PadRight("Line", 8) + PadRight("Band", 6) + PadRight("Worked", 14) +
          PadRight("Status", kStatusWidth) + "Reason");
  for (std::size_t i = 0; i < check.contacts.size(); ++i) {
    if (check.contacts.StatusAt(i) == ContactStatus::kConfirmed) continue;
    const ContactCheck contact = check.contacts[i];
    const ContactReason reason = ExplainContact(index, contact);
    std::string text = PlainText(reason.text);
    if (reason.other_log != kNoLog) {
      text += " (" + PlainText(result.logs[reason.other_log].name);
      if (reason.other_line > 0) text += ", line " + std::to_string(reason.other_line);
      text += ")";
    }
    out.Add("  " + PadRight(std::to_string(contact.line), 8) + PadRight(BandText(contact), 6) +
            PadRight(PlainText(contact.worked_call), 14) +
            PadRight(std::string(StatusName(contact.status)), kStatusWidth) + text);
  }
}

void AddMiscopies(ReportLines& out, const ContestResult& result, const ContestIndex& index,
                  std::size_t log) {
  const std::vector<ContactRef>& refs = index.miscopied[log];
  out.Add("Your call or exchange miscopied by others: " + std::to_string(refs.size()));
  if (refs.empty()) return;
  out.Add("  " + PadRight("Station", 14) + PadRight("Their log, line", 28) + PadRight("Your line", 11) +
          PadRight("Band", 6) + "What");
  for (const ContactRef& ref : refs) {
    const LogCheck& theirs = result.logs[ref.log];
    const ContactCheck& contact = theirs.contacts[ref.contact];
    out.Add("  " + PadRight(PlainText(theirs.call), 14) +
            PadRight(PlainText(theirs.name) + ", line " + std::to_string(contact.line), 28) +
            PadRight(contact.other_line > 0 ? std::to_string(contact.other_line) : "-", 11) +
            PadRight(BandText(contact), 6) + PlainText(ExplainMiscopy(contact)));
  }
}

std::string OptionalNumber(const std::optional<std::int64_t>& n) {
  return n ? CsvNumber(*n) : std::string();
}

}  // namespace

std::vector<FileIdentity> LogFiles(const ContestResult& result) {
  std::vector<FileIdentity> files;
  for (const LogCheck& log : result.logs) {
    if (auto id = IdentityOf(log.file)) files.push_back(*id);
  }
  return files;
}

ContestIndex IndexContest(const ContestResult& result, const std::vector<std::string>& reserved) {
  ContestIndex index;
  const std::size_t count = result.logs.size();
  index.groups = RankByCategory(result);
  index.group.assign(count, kNoLog);
  index.rank.assign(count, 0);
  for (std::size_t g = 0; g < index.groups.size(); ++g) {
    const std::vector<std::size_t>& logs = index.groups[g].logs;
    for (std::size_t place = 0; place < logs.size(); ++place) {
      index.group[logs[place]] = g;
      index.rank[logs[place]] = place + 1;
    }
  }
  std::vector<std::string> calls;
  calls.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const LogCheck& log = result.logs[i];
    calls.push_back(log.call.empty() ? FileBaseName(log.name) : log.call);
    if (log.superseded_by == kNoLog && !log.call.empty()) index.log_of_call.try_emplace(UpperAscii(log.call), i);
  }
  index.stems = UniqueFileStems(calls, reserved);
  index.miscopied.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const ContactList& contacts = result.logs[i].contacts;
    for (std::size_t c = 0; c < contacts.size(); ++c) {
      const ContactStatus status = contacts.StatusAt(c);
      if (status != ContactStatus::kBustedExchange && status != ContactStatus::kBustedCall) continue;
      const ContactCheck contact = contacts[c];
      std::size_t target = kNoLog;
      if (contact.status == ContactStatus::kBustedExchange) {
        target = contact.other_log;
      } else if (contact.status == ContactStatus::kBustedCall) {
        target = contact.other_log;
        if (target == kNoLog) {
          const auto found = index.log_of_call.find(UpperAscii(contact.correct_call));
          if (found != index.log_of_call.end()) target = found->second;
        }
      }
      if (target < count) index.miscopied[target].push_back({i, c});
    }
  }
  return index;
}

ContactReason ExplainContact(const ContestIndex& index, const ContactCheck& contact) {
  ContactReason reason;
  reason.other_log = contact.other_log;
  reason.other_line = contact.other_line;
  switch (contact.status) {
    case ContactStatus::kConfirmed:
      reason.text = "confirmed";
      break;
    case ContactStatus::kBustedExchange:
      reason.text = "field " + contact.field + " copied as " + QuoteLogBytes(contact.logged) + ", sent as " +
                    QuoteLogBytes(contact.sent);
      break;
    case ContactStatus::kBustedCall:
      reason.text = "the station worked was " + contact.correct_call;
      break;
    case ContactStatus::kNil: {
      reason.text = "not in the log of " + contact.worked_call;
      if (reason.other_log == kNoLog) {
        const auto found = index.log_of_call.find(UpperAscii(contact.worked_call));
        if (found != index.log_of_call.end()) reason.other_log = found->second;
        reason.other_line = 0;
      }
      break;
    }
    case ContactStatus::kUnique:
      reason.text = "no log from this call, and no other log has it";
      break;
    case ContactStatus::kUnverified:
      reason.text = "no log from this call; other logs have it";
      break;
    case ContactStatus::kRepeat:
      reason.text = "a repeat of an earlier contact: not counted";
      break;
    case ContactStatus::kNoBand:
      reason.text = "its frequency is on no band of the contest";
      break;
    case ContactStatus::kNotContact:
      reason.text = "not a contact";
      break;
  }
  return reason;
}

std::string ExplainMiscopy(const ContactCheck& theirs) {
  if (theirs.status == ContactStatus::kBustedCall) return "logged your call as " + theirs.worked_call;
  return "field " + theirs.field + " copied as " + QuoteLogBytes(theirs.logged) + ", you sent " + QuoteLogBytes(theirs.sent);
}

std::string CategoryLine(const CategoryText& category) {
  std::string line;
  for (const std::string& part : category.parts) {
    if (part.empty()) continue;
    if (!line.empty()) line += ' ';
    line += part;
  }
  return line.empty() ? std::string(kNoCategory) : line;
}

std::string GroupLine(const CategoryGroup& group) { return CategoryLine(group.category); }

std::size_t UnconfirmedCount(const ContactList& contacts) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < contacts.size(); ++i) count += contacts.StatusAt(i) != ContactStatus::kConfirmed;
  return count;
}

std::string BandText(const ContactCheck& contact) { return contact.band ? BandText(*contact.band) : std::string(); }

std::string EntrantReport(const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  ReportLines out;
  out.Add(std::string(kReportTitle) + PlainText(EntrantName(check)));
  out.Add(PadRight("File:", kLabelWidth) + PlainText(check.name));
  out.Add(PadRight("Category:", kLabelWidth) + PlainText(CategoryLine(check.category)));
  out.Add(PadRight("Place:", kLabelWidth) + PlainText(PlaceLine(index, log, check)));
  out.Add("");
  AddScores(out, check);
  out.Add("");
  out.Add("Contacts by status");
  for (ContactStatus status : kAllStatuses) {
    out.Add("  " + PadRight(std::string(StatusName(status)), kStatusWidth) +
            PadLeft(std::to_string(check.Count(status)), 8));
  }
  out.Add("");
  AddUnconfirmed(out, result, index, check);
  out.Add("");
  AddMiscopies(out, result, index, log);
  return out.Take();
}

std::string ResultsCsv(const ContestResult& result, const ContestIndex& index) {
  std::vector<std::string> header = {"file", "call"};
  for (const CategoryPartInfo& part : CategoryParts()) header.push_back("category_" + std::string(part.name));
  header.insert(header.end(), {"checklog", "contacts", "multipliers", "score", "checked_contacts",
                               "checked_multipliers", "checked_score", "claimed_score"});
  for (ContactStatus status : kAllStatuses) header.emplace_back(StatusName(status));
  header.insert(header.end(), {"rank", "rejected_reason"});
  std::string csv = CsvRow(header);
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    const LogCheck& log = result.logs[i];
    std::vector<std::string> row = {CsvField(log.name), CsvField(log.call)};
    for (const std::string& part : log.category.parts) row.push_back(CsvField(part));
    row.push_back(log.category.checklog ? "yes" : "no");
    const auto number = [](std::int64_t n) { return CsvNumber(n); };
    for (std::int64_t n : {log.qsos, log.mults, log.score, log.checked_qsos, log.checked_mults, log.checked_score}) {
      row.push_back(number(n));
    }
    row.push_back(OptionalNumber(log.claimed_score));
    for (ContactStatus status : kAllStatuses) row.push_back(number(log.Count(status)));
    row.push_back(index.rank[i] > 0 ? CsvNumber(static_cast<long long>(index.rank[i])) : std::string());
    row.push_back(std::string());
    csv += CsvRow(row);
  }
  for (const SkippedFile& skipped : result.skipped) {
    std::vector<std::string> row(header.size());
    row.front() = CsvField(skipped.name);
    row.back() = CsvField(skipped.reason);
    csv += CsvRow(row);
  }
  return csv;
}

}  // namespace zelo
