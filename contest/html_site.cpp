// WriteHtmlSite: the entrant pages, then the stylesheet, the script and
// index.html. Every text that comes from a log goes through HtmlEscape.
#include <string>
#include <string_view>

#include "contest/check_report.h"
#include "contest/contest_output.h"
#include "contest/output_text.h"
#include "contest/site_assets.h"

namespace zelo {
namespace {

constexpr std::string_view kIndexFile = "index.html";
constexpr std::string_view kStyleFile = "style.css";
constexpr std::string_view kScriptFile = "sort.js";
constexpr std::string_view kPageExtension = ".html";
constexpr std::string_view kSiteTitle = "Contest results";

// Builds one page; Text escapes, Raw is for markup written here.
class Page {
 public:
  Page& Raw(std::string_view markup) {
    html_.append(markup);
    return *this;
  }
  Page& Text(std::string_view text) {
    html_ += HtmlEscape(text);
    return *this;
  }
  Page& Number(std::int64_t n) { return Text(Grouped(n)); }
  std::string Take() { return std::move(html_); }

  // "12,345": digits in groups of three.
  static std::string Grouped(std::int64_t n) {
    const std::string plain = std::to_string(n);
    const std::size_t first = n < 0 ? 1 : 0;  // after the sign
    std::string grouped = plain.substr(0, first);
    for (std::size_t i = first; i < plain.size(); ++i) {
      if (i > first && (plain.size() - i) % 3 == 0) grouped += ',';
      grouped += plain[i];
    }
    return grouped;
  }

 private:
  std::string html_;
};

void Open(Page& page, std::string_view title) {
  page.Raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n")
      .Raw("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n")
      .Raw("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "style-src 'self'; script-src 'self'\">\n")
      .Raw("<title>").Text(title).Raw("</title>\n")
      .Raw("<link rel=\"stylesheet\" href=\"").Raw(kStyleFile).Raw("\">\n")
      .Raw("<script src=\"").Raw(kScriptFile).Raw("\" defer></script>\n</head>\n<body>\n");
}

void Close(Page& page) {
  page.Raw("</main>\n<footer>Written by zelo-score. Click a column heading to sort a table.</footer>\n")
      .Raw("</body>\n</html>\n");
}

// A number, sorted by its value; a zero is greyed.
void NumberCell(Page& page, std::int64_t n) {
  page.Raw(n == 0 ? "<td class=\"num zero\"" : "<td class=\"num\"")
      .Raw(" data-value=\"").Raw(std::to_string(n)).Raw("\">")
      .Number(n)
      .Raw("</td>");
}

void StatusBadge(Page& page, ContactStatus status) {
  const std::string_view name = StatusName(status);
  page.Raw("<span class=\"status status-").Raw(name).Raw("\">").Raw(name).Raw("</span>");
}

std::string PageName(const ContestIndex& index, std::size_t log) {
  return index.stems[log] + std::string(kPageExtension);
}

void CallLink(Page& page, const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  page.Raw("<a href=\"").Text(PageName(index, log)).Raw("\">")
      .Text(check.call.empty() ? check.name : check.call).Raw("</a>");
}

constexpr ContactStatus kIndexStatuses[] = {ContactStatus::kNil, ContactStatus::kBustedCall,
                                            ContactStatus::kBustedExchange, ContactStatus::kUnique,
                                            ContactStatus::kUnverified};

void ResultsTable(Page& page, const ContestResult& result, const ContestIndex& index,
                  const std::vector<std::size_t>& logs, bool ranked) {
  page.Raw("<div class=\"scroll\"><table class=\"results sortable\">\n<thead><tr>");
  if (ranked) page.Raw("<th scope=\"col\" class=\"num\">Place</th>");
  page.Raw("<th scope=\"col\">Call</th><th scope=\"col\" class=\"num\">Contacts</th>")
      .Raw("<th scope=\"col\" class=\"num\">Multi&shy;pliers</th><th scope=\"col\" class=\"num\">Claimed</th>")
      .Raw("<th scope=\"col\" class=\"num\">Score</th><th scope=\"col\" class=\"num key\">Checked score</th>");
  for (ContactStatus status : kIndexStatuses) {
    page.Raw("<th scope=\"col\" class=\"num count\">").Raw(StatusName(status)).Raw("</th>");
  }
  page.Raw("</tr></thead>\n<tbody>\n");
  for (std::size_t log : logs) {
    const LogCheck& check = result.logs[log];
    page.Raw("<tr>");
    if (ranked) NumberCell(page, static_cast<std::int64_t>(index.rank[log]));
    page.Raw("<td class=\"call\">");
    CallLink(page, result, index, log);
    page.Raw("</td>");
    NumberCell(page, check.qsos);
    NumberCell(page, check.mults);
    if (check.claimed_score) {
      NumberCell(page, *check.claimed_score);
    } else {
      page.Raw("<td class=\"num none\" data-value=\"\">none</td>");
    }
    NumberCell(page, check.score);
    page.Raw("<td class=\"num key\" data-value=\"").Raw(std::to_string(check.checked_score)).Raw("\">")
        .Number(check.checked_score).Raw("</td>");
    for (ContactStatus status : kIndexStatuses) NumberCell(page, check.Count(status));
    page.Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table></div>\n");
}

std::string IndexPage(const ContestResult& result, const ContestIndex& index) {
  std::vector<std::size_t> checklogs;
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    if (result.logs[i].category.checklog) checklogs.push_back(i);
  }
  const std::vector<SkippedFile>& rejected = result.skipped;
  Page page;
  Open(page, kSiteTitle);
  page.Raw("<header>\n<h1>").Text(kSiteTitle).Raw("</h1>\n<p class=\"summary\">")
      .Number(static_cast<std::int64_t>(result.logs.size())).Raw(" logs in ")
      .Number(static_cast<std::int64_t>(index.groups.size()))
      .Raw(index.groups.size() == 1 ? " category" : " categories").Raw(", ranked by checked score");
  if (!checklogs.empty()) page.Raw("; ").Number(static_cast<std::int64_t>(checklogs.size())).Raw(" check logs");
  if (!rejected.empty()) page.Raw("; ").Number(static_cast<std::int64_t>(rejected.size())).Raw(" rejected");
  page.Raw(".</p>\n</header>\n<main>\n");
  for (std::size_t g = 0; g < index.groups.size(); ++g) {
    const CategoryGroup& group = index.groups[g];
    const std::string id = "category-" + std::to_string(g + 1);
    page.Raw("<section aria-labelledby=\"").Raw(id).Raw("\">\n<h2 id=\"").Raw(id).Raw("\">")
        .Text(GroupLine(group)).Raw("<span class=\"count\">")
        .Number(static_cast<std::int64_t>(group.logs.size()))
        .Raw(group.logs.size() == 1 ? " log" : " logs").Raw("</span></h2>\n");
    ResultsTable(page, result, index, group.logs, true);
    page.Raw("</section>\n");
  }
  if (!checklogs.empty()) {
    page.Raw("<section aria-labelledby=\"checklogs\">\n<h2 id=\"checklogs\">Check logs</h2>\n");
    ResultsTable(page, result, index, checklogs, false);
    page.Raw("</section>\n");
  }
  if (!rejected.empty()) {
    page.Raw("<section aria-labelledby=\"rejected\">\n<h2 id=\"rejected\">Rejected logs</h2>\n")
        .Raw("<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th scope=\"col\">File</th>")
        .Raw("<th scope=\"col\">Reason</th></tr></thead>\n<tbody>\n");
    for (const SkippedFile& skipped : rejected) {
      page.Raw("<tr><td>").Text(skipped.name).Raw("</td><td>").Text(skipped.reason).Raw("</td></tr>\n");
    }
    page.Raw("</tbody>\n</table></div>\n</section>\n");
  }
  Close(page);
  return page.Take();
}

void ScoresTable(Page& page, const LogCheck& check) {
  page.Raw("<table class=\"scores\">\n<thead><tr><th scope=\"col\"></th><th scope=\"col\" class=\"num\">Contacts")
      .Raw("</th><th scope=\"col\" class=\"num\">Multipliers</th><th scope=\"col\" class=\"num\">Score</th>")
      .Raw("</tr></thead>\n<tbody>\n<tr><th scope=\"row\">As sent</th>");
  NumberCell(page, check.qsos);
  NumberCell(page, check.mults);
  NumberCell(page, check.score);
  page.Raw("</tr>\n<tr><th scope=\"row\">Checked</th>");
  NumberCell(page, check.checked_qsos);
  NumberCell(page, check.checked_mults);
  NumberCell(page, check.checked_score);
  page.Raw("</tr>\n<tr><th scope=\"row\">Claimed</th><td></td><td></td>");
  if (check.claimed_score) {
    NumberCell(page, *check.claimed_score);
  } else {
    page.Raw("<td class=\"num none\">not given</td>");
  }
  page.Raw("</tr>\n</tbody>\n</table>\n");
}

void OtherLogCell(Page& page, const ContestResult& result, const ContestIndex& index, std::size_t log,
                  std::int64_t line) {
  page.Raw("<td>");
  if (log != kNoLog) {
    CallLink(page, result, index, log);
    page.Raw(" <small>").Text(result.logs[log].name);
    if (line > 0) page.Raw(", line ").Number(line);
    page.Raw("</small>");
  }
  page.Raw("</td>");
}

void UnconfirmedTable(Page& page, const ContestResult& result, const ContestIndex& index,
                      const LogCheck& check) {
  const std::size_t listed = UnconfirmedCount(check.contacts);
  page.Raw("<h2>Contacts not confirmed<span class=\"count\">").Number(static_cast<std::int64_t>(listed))
      .Raw("</span></h2>\n");
  if (listed == 0) {
    page.Raw("<p class=\"none\">Every contact is confirmed.</p>\n");
    return;
  }
  page.Raw("<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th scope=\"col\" class=\"num\">Line</th>")
      .Raw("<th scope=\"col\" class=\"num\">Band</th><th scope=\"col\">Worked</th><th scope=\"col\">Status</th>")
      .Raw("<th scope=\"col\">Reason</th><th scope=\"col\">Other log</th></tr></thead>\n<tbody>\n");
  for (std::size_t i = 0; i < check.contacts.size(); ++i) {
    if (check.contacts.StatusAt(i) == ContactStatus::kConfirmed) continue;
    const ContactCheck contact = check.contacts[i];
    const ContactReason reason = ExplainContact(index, contact);
    page.Raw("<tr>");
    NumberCell(page, contact.line);
    page.Raw("<td class=\"num\" data-value=\"").Raw(contact.band ? BandName(*contact.band) : "").Raw("\">")
        .Raw(BandText(contact)).Raw("</td><td class=\"call\">").Text(contact.worked_call).Raw("</td><td>");
    StatusBadge(page, contact.status);
    page.Raw("</td><td>").Text(reason.text).Raw("</td>");
    OtherLogCell(page, result, index, reason.other_log, reason.other_line);
    page.Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table></div>\n");
}

void MiscopyTable(Page& page, const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const std::vector<ContactRef>& refs = index.miscopied[log];
  page.Raw("<h2>Your call or exchange miscopied by others<span class=\"count\">")
      .Number(static_cast<std::int64_t>(refs.size())).Raw("</span></h2>\n");
  if (refs.empty()) {
    page.Raw("<p class=\"none\">No other station miscopied your call or exchange.</p>\n");
    return;
  }
  page.Raw("<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th scope=\"col\">Station</th>")
      .Raw("<th scope=\"col\" class=\"num\">Their line</th><th scope=\"col\" class=\"num\">Your line</th>")
      .Raw("<th scope=\"col\" class=\"num\">Band</th><th scope=\"col\">Status</th><th scope=\"col\">What</th>")
      .Raw("</tr></thead>\n<tbody>\n");
  for (const ContactRef& ref : refs) {
    const ContactCheck& contact = result.logs[ref.log].contacts[ref.contact];
    page.Raw("<tr><td class=\"call\">");
    CallLink(page, result, index, ref.log);
    page.Raw("</td>");
    NumberCell(page, contact.line);
    NumberCell(page, contact.other_line);
    page.Raw("<td class=\"num\">").Raw(BandText(contact)).Raw("</td><td>");
    StatusBadge(page, contact.status);
    page.Raw("</td><td>").Text(ExplainMiscopy(contact)).Raw("</td></tr>\n");
  }
  page.Raw("</tbody>\n</table></div>\n");
}

std::string EntrantPage(const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  const std::string name = check.call.empty() ? check.name : check.call;
  Page page;
  Open(page, name + " \xE2\x80\x93 log-checking report");
  page.Raw("<header>\n<nav><a href=\"").Raw(kIndexFile).Raw("\">\xE2\x86\x90 All results</a></nav>\n<h1>")
      .Text(name).Raw("</h1>\n<p class=\"summary\">Log-checking report</p>\n</header>\n<main>\n")
      .Raw("<dl class=\"facts\">\n<dt>File</dt><dd>").Text(check.name).Raw("</dd>\n");
  page.Raw("<dt>Category</dt><dd>").Text(CategoryLine(check.category)).Raw("</dd>\n<dt>Place</dt><dd>");
  if (check.category.checklog) {
    page.Raw("not ranked: check log");
  } else if (index.rank[log] == 0) {
    page.Raw("not ranked");
  } else {
    const CategoryGroup& group = index.groups[index.group[log]];
    page.Number(static_cast<std::int64_t>(index.rank[log])).Raw(" of ")
        .Number(static_cast<std::int64_t>(group.logs.size())).Raw(" in ").Text(GroupLine(group));
  }
  page.Raw("</dd>\n</dl>\n<div class=\"pair\">\n<section>\n<h2>Score</h2>\n");
  ScoresTable(page, check);
  page.Raw("</section>\n<section>\n<h2>Contacts by status</h2>\n<table class=\"scores\">\n<thead><tr><th scope=\"col\">Status</th>")
      .Raw("<th scope=\"col\" class=\"num\">Contacts</th></tr></thead>\n<tbody>\n");
  for (ContactStatus status : kAllStatuses) {
    page.Raw("<tr><td>");
    StatusBadge(page, status);
    page.Raw("</td>");
    NumberCell(page, check.Count(status));
    page.Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table>\n</section>\n</div>\n");
  UnconfirmedTable(page, result, index, check);
  MiscopyTable(page, result, index, log);
  Close(page);
  return page.Take();
}

}  // namespace

OutputWrite WriteHtmlSite(const ContestResult& result, const std::string& dir) {
  OutputFolder folder(dir, LogFiles(result));
  if (OutputWrite opened = folder.Open(); !opened.ok) return opened;
  const ContestIndex index = IndexContest(result, {"INDEX", "STYLE", "SORT"});
  const OutputWrite pages = folder.WriteEach(result.logs.size(), [&](std::size_t i) {
    return std::pair{PageName(index, i), EntrantPage(result, index, i)};
  });
  if (!pages.ok) return pages;
  for (const auto& [name, bytes] : {std::pair{kStyleFile, kSiteStyle}, std::pair{kScriptFile, kSiteScript}}) {
    OutputWrite written = folder.Write(name, bytes);
    if (!written.ok) return written;
  }
  // The index last: it links only pages that are written.
  return folder.Write(kIndexFile, IndexPage(result, index));
}

}  // namespace zelo
