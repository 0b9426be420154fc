// WriteHtmlSite: the entrant pages, the soapbox, clubs and files pages, the
// stylesheet and script, then index.html. Every text that comes from a log
// goes through HtmlEscape; a log is named by its file's name alone.
#include <algorithm>
#include <map>
#include <string>
#include <string_view>

#include "contest/contest_output.h"
#include "contest/html_page.h"
#include "contest/site_assets.h"
#include "input/text.h"

namespace zelo {

std::string Page::Grouped(std::int64_t n) {
  const std::string plain = std::to_string(n);
  const std::size_t first = n < 0 ? 1 : 0;  // after the sign
  std::string grouped = plain.substr(0, first);
  for (std::size_t i = first; i < plain.size(); ++i) {
    if (i > first && (plain.size() - i) % 3 == 0) grouped += ',';
    grouped += plain[i];
  }
  return grouped;
}

void Open(Page& page, std::string_view title, std::string_view heading, std::string_view summary) {
  page.Raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n")
      .Raw("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n")
      .Raw("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "style-src 'self'; script-src 'self'\">\n")
      .Raw("<title>").Text(heading).Raw(" \xE2\x80\x93 ").Text(title).Raw("</title>\n")
      .Raw("<link rel=\"stylesheet\" href=\"").Raw(kStyleFile).Raw("\">\n")
      .Raw("<script src=\"").Raw(kScriptFile).Raw("\" defer></script>\n</head>\n<body>\n<header>\n")
      .Raw("<nav aria-label=\"Results\"><a href=\"").Raw(kIndexFile).Raw("\">Results</a> <a href=\"")
      .Raw(kSoapboxFile).Raw("\">Soapbox</a> <a href=\"").Raw(kClubsFile).Raw("\">Clubs</a> <a href=\"")
      .Raw(kFilesFile).Raw("\">Files</a></nav>\n<h1>").Text(heading).Raw("</h1>\n<p class=\"summary\">")
      .Text(summary).Raw("</p>\n</header>\n<main>\n");
}

void Close(Page& page, bool sortable) {
  page.Raw("</main>\n<footer>Written by zelo-score.")
      .Raw(sortable ? " Click a column heading to sort a table." : "")
      .Raw("</footer>\n</body>\n</html>\n");
}

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
  page.Raw("<a href=\"").Text(PageName(index, log)).Raw("\">").Text(EntrantName(result.logs[log])).Raw("</a>");
}

namespace {

std::string LogsSummary(const ContestResult& result) {
  return Page::Grouped(static_cast<std::int64_t>(result.logs.size())) + (result.logs.size() == 1 ? " log" : " logs");
}

// A category's table: place, call and checked score first, so that a phone
// shows them without scrolling; then checked contacts and multipliers, the
// claimed score, the reduction, operators and club.
void CategoryTable(Page& page, const ContestResult& result, const ContestIndex& index,
                   const std::vector<std::size_t>& logs, bool ranked) {
  page.Raw("<div class=\"scroll\"><table class=\"results sortable\">\n<thead><tr>");
  if (ranked) page.Raw("<th scope=\"col\" class=\"num\">Place</th>");
  page.Raw("<th scope=\"col\">Call</th><th scope=\"col\" class=\"num key\">Checked score</th>")
      .Raw("<th scope=\"col\" class=\"num\">Contacts</th><th scope=\"col\" class=\"num\">Multi&shy;pliers</th>")
      .Raw("<th scope=\"col\" class=\"num\">Claimed</th><th scope=\"col\" class=\"num\">Reduction</th>")
      .Raw("<th scope=\"col\">Operators</th><th scope=\"col\">Club</th></tr></thead>\n<tbody>\n");
  for (std::size_t log : logs) {
    const LogCheck& check = result.logs[log];
    page.Raw("<tr>");
    if (ranked) NumberCell(page, index.place[log]);
    page.Raw("<td class=\"call\">");
    CallLink(page, result, index, log);
    page.Raw("</td><td class=\"num key\" data-value=\"").Raw(std::to_string(check.checked_score)).Raw("\">")
        .Number(check.checked_score).Raw("</td>");
    NumberCell(page, check.checked_qsos);
    NumberCell(page, check.checked_mults);
    if (check.claimed_score) {
      NumberCell(page, *check.claimed_score);
    } else {
      page.Raw("<td class=\"num none\" data-value=\"\">none</td>");
    }
    page.Raw("<td class=\"num\">").Text(ReductionText(check)).Raw("</td><td>").Text(check.operators)
        .Raw("</td><td>").Text(check.club).Raw("</td></tr>\n");
  }
  page.Raw("</tbody>\n</table></div>\n");
}

std::string IndexPage(const ContestResult& result, const ContestIndex& index) {
  std::vector<std::size_t> checklogs;
  std::size_t superseded = 0;
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    if (result.logs[i].superseded_by != kNoLog) {
      ++superseded;
    } else if (result.logs[i].category.checklog) {
      checklogs.push_back(i);
    }
  }
  const auto count = [](std::size_t n) { return static_cast<std::int64_t>(n); };
  std::string summary = LogsSummary(result) + " in " + Plural(count(index.groups.size()), "category", "categories") +
                        ", ranked by checked score";
  if (!checklogs.empty()) summary += "; " + Plural(count(checklogs.size()), "check log", "check logs");
  if (superseded > 0) summary += "; " + std::to_string(superseded) + " superseded";
  if (!result.skipped.empty()) {
    summary += "; " + Plural(count(result.skipped.size()), "file that is not a log", "files that are not logs");
  }
  Page page;
  Open(page, index.title, index.title, summary);
  for (std::size_t g = 0; g < index.groups.size(); ++g) {
    const CategoryGroup& group = index.groups[g];
    const std::string id = "category-" + std::to_string(g + 1);
    page.Raw("<section aria-labelledby=\"").Raw(id).Raw("\">\n<h2 id=\"").Raw(id).Raw("\">")
        .Text(GroupLine(group)).Raw("<span class=\"count\">").Number(static_cast<std::int64_t>(group.logs.size()))
        .Raw(group.logs.size() == 1 ? " log" : " logs").Raw("</span></h2>\n");
    CategoryTable(page, result, index, group.logs, true);
    page.Raw("</section>\n");
  }
  if (!checklogs.empty()) {
    page.Raw("<section aria-labelledby=\"checklogs\">\n<h2 id=\"checklogs\">Check logs</h2>\n");
    CategoryTable(page, result, index, checklogs, false);
    page.Raw("</section>\n");
  }
  Close(page, true);
  return page.Take();
}

std::string SoapboxPage(const ContestResult& result, const ContestIndex& index) {
  Page page;
  Open(page, index.title, "Soapbox", "What the entrants wrote with their logs");
  bool any = false;
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    const LogCheck& log = result.logs[i];
    if (log.soapbox.empty() || log.superseded_by != kNoLog) continue;
    any = true;
    page.Raw("<section class=\"soapbox\">\n<h2>");
    CallLink(page, result, index, i);
    page.Raw("</h2>\n");
    for (const std::string& line : log.soapbox) page.Raw("<p>").Text(line).Raw("</p>\n");
    page.Raw("</section>\n");
  }
  if (!any) page.Raw("<p class=\"none\">No log has a SOAPBOX: line.</p>\n");
  Close(page, false);
  return page.Take();
}

std::string ClubsPage(const ContestResult& result, const ContestIndex& index) {
  struct Club {
    std::string name;
    std::int64_t score = 0, logs = 0;
  };
  std::map<std::string, Club> clubs;  // by the name in upper case
  for (const LogCheck& log : result.logs) {
    if (log.club.empty() || log.superseded_by != kNoLog || log.category.checklog) continue;
    Club& club = clubs.try_emplace(UpperAscii(log.club), Club{log.club}).first->second;
    club.score += log.checked_score;
    ++club.logs;
  }
  std::vector<Club> ranked;
  for (auto& [key, club] : clubs) ranked.push_back(club);
  std::stable_sort(ranked.begin(), ranked.end(), [](const Club& a, const Club& b) { return a.score > b.score; });
  Page page;
  Open(page, index.title, "Clubs", "The checked scores of each club's logs, added up");
  if (ranked.empty()) {
    page.Raw("<p class=\"none\">No log names a club.</p>\n");
  } else {
    page.Raw("<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th scope=\"col\">Club</th>")
        .Raw("<th scope=\"col\" class=\"num\">Logs</th><th scope=\"col\" class=\"num key\">Checked score</th>")
        .Raw("</tr></thead>\n<tbody>\n");
    for (const Club& club : ranked) {
      page.Raw("<tr><td>").Text(club.name).Raw("</td>");
      NumberCell(page, club.logs);
      NumberCell(page, club.score);
      page.Raw("</tr>\n");
    }
    page.Raw("</tbody>\n</table></div>\n");
  }
  Close(page, !ranked.empty());
  return page.Take();
}

std::string FilesPage(const ContestResult& result, const ContestIndex& index) {
  Page page;
  Open(page, index.title, "Files", "The files that are not logs, and the logs another of the same call replaced");
  page.Raw("<h2>Not logs<span class=\"count\">").Number(static_cast<std::int64_t>(result.skipped.size()))
      .Raw("</span></h2>\n");
  if (!result.skipped.empty()) {
    page.Raw("<div class=\"scroll\"><table>\n<thead><tr><th scope=\"col\">File</th><th scope=\"col\">Why</th>")
        .Raw("</tr></thead>\n<tbody>\n");
    for (const SkippedFile& skipped : result.skipped) {
      page.Raw("<tr><td>").Text(skipped.name).Raw("</td><td>").Text(skipped.reason).Raw("</td></tr>\n");
    }
    page.Raw("</tbody>\n</table></div>\n");
  } else {
    page.Raw("<p class=\"none\">Every file read is a log.</p>\n");
  }
  std::vector<std::size_t> superseded;
  for (std::size_t i = 0; i < result.logs.size(); ++i) {
    if (result.logs[i].superseded_by != kNoLog) superseded.push_back(i);
  }
  page.Raw("<h2>Superseded logs<span class=\"count\">").Number(static_cast<std::int64_t>(superseded.size()))
      .Raw("</span></h2>\n");
  if (!superseded.empty()) {
    page.Raw("<div class=\"scroll\"><table>\n<thead><tr><th scope=\"col\">File</th><th scope=\"col\">Call</th>")
        .Raw("<th scope=\"col\">Replaced by</th></tr></thead>\n<tbody>\n");
    for (std::size_t i : superseded) {
      const LogCheck& log = result.logs[i];
      page.Raw("<tr><td><a href=\"").Text(PageName(index, i)).Raw("\">").Text(log.name).Raw("</a></td><td>")
          .Text(log.call).Raw("</td><td>").Text(result.logs[log.superseded_by].name).Raw("</td></tr>\n");
    }
    page.Raw("</tbody>\n</table></div>\n");
  } else {
    page.Raw("<p class=\"none\">No call sent more than one log.</p>\n");
  }
  Close(page, false);
  return page.Take();
}

}  // namespace

OutputWrite WriteHtmlSite(const ContestResult& result, const std::string& dir, const std::string& title) {
  const ContestIndex index = IndexContest(result, {"INDEX", "STYLE", "SORT", "SOAPBOX", "CLUBS", "FILES"}, title);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < result.logs.size(); ++i) names.push_back(PageName(index, i));
  for (std::string_view name : {kSoapboxFile, kClubsFile, kFilesFile, kStyleFile, kScriptFile, kIndexFile}) {
    names.emplace_back(name);
  }
  OutputFolder folder(dir, LogFiles(result));
  if (OutputWrite opened = folder.Open(names); !opened.ok) return opened;
  const OutputWrite pages = folder.WriteEach(result.logs.size(), [&](std::size_t i) {
    return std::pair{PageName(index, i), EntrantPage(result, index, i)};
  });
  if (!pages.ok) return pages;
  const std::pair<std::string_view, std::string> others[] = {
      {kSoapboxFile, SoapboxPage(result, index)}, {kClubsFile, ClubsPage(result, index)},
      {kFilesFile, FilesPage(result, index)},     {kStyleFile, std::string(kSiteStyle)},
      {kScriptFile, std::string(kSiteScript)}};
  for (const auto& [name, bytes] : others) {
    if (OutputWrite written = folder.Write(name, bytes); !written.ok) return written;
  }
  // The index last: it links only pages that are written.
  if (OutputWrite written = folder.Write(kIndexFile, IndexPage(result, index)); !written.ok) return written;
  return folder.Finish();
}

}  // namespace zelo
