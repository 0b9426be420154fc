// One entrant's page of the results site: its checking report, as the
// plain-text report gives it.
#include <string>

#include "contest/html_page.h"

namespace zelo {
namespace {

void Facts(Page& page, const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  page.Raw("<dl class=\"facts\">\n<dt>File</dt><dd>").Text(check.name).Raw("</dd>\n<dt>Category</dt><dd>")
      .Text(CategoryLine(check.category)).Raw("</dd>\n<dt>Place</dt><dd>").Text(PlaceText(result, index, log))
      .Raw("</dd>\n");
  if (!check.operators.empty()) page.Raw("<dt>Operators</dt><dd>").Text(check.operators).Raw("</dd>\n");
  if (!check.club.empty()) page.Raw("<dt>Club</dt><dd>").Text(check.club).Raw("</dd>\n");
  page.Raw("</dl>\n");
  if (const std::string clock = ClockText(check); !clock.empty()) {
    page.Raw("<p class=\"clock\">").Text(clock).Raw(".</p>\n");
  }
}

void Bands(Page& page, const LogCheck& check) {
  page.Raw("<section>\n<h2>By band</h2>\n<div class=\"scroll\"><table>\n<thead><tr><th scope=\"col\">Band</th>")
      .Raw("<th scope=\"col\" class=\"num\">Contacts</th><th scope=\"col\" class=\"num\">Multipliers</th>")
      .Raw("<th scope=\"col\" class=\"num\">Checked contacts</th><th scope=\"col\" class=\"num\">Checked multipliers</th>")
      .Raw("</tr></thead>\n<tbody>\n");
  const auto row = [&page](std::string_view label, const BandCounts& scored, const BandCounts& checked) {
    page.Raw("<tr><th scope=\"row\">").Text(label).Raw("</th>");
    NumberCell(page, scored.qsos);
    NumberCell(page, scored.mults);
    NumberCell(page, checked.qsos);
    NumberCell(page, checked.mults);
    page.Raw("</tr>\n");
  };
  for (Band band : kBands) row(BandText(band), check.bands[BandIndex(band)], check.checked_bands[BandIndex(band)]);
  row("Total", {check.qsos, check.mults}, {check.checked_qsos, check.checked_mults});
  page.Raw("</tbody>\n</table></div>\n</section>\n");
}

void Scores(Page& page, const LogCheck& check) {
  page.Raw("<section>\n<h2>Score</h2>\n<table class=\"scores\">\n<tbody>\n<tr><th scope=\"row\">Claimed</th>");
  if (check.claimed_score) {
    NumberCell(page, *check.claimed_score);
  } else {
    page.Raw("<td class=\"num none\">not given</td>");
  }
  page.Raw("</tr>\n<tr><th scope=\"row\">As scored</th>");
  NumberCell(page, check.score);
  page.Raw("</tr>\n<tr><th scope=\"row\">Checked</th><td class=\"num key\">").Number(check.checked_score)
      .Raw("</td></tr>\n<tr><th scope=\"row\">Reduction</th><td class=\"num\">").Text(ReductionText(check))
      .Raw("</td></tr>\n</tbody>\n</table>\n</section>\n");
}

void Statuses(Page& page, const LogCheck& check) {
  page.Raw("<section>\n<h2>Contacts by status</h2>\n<table class=\"scores\">\n<tbody>\n");
  for (ContactStatus status : kAllStatuses) {
    page.Raw("<tr><th scope=\"row\">");
    StatusBadge(page, status);
    page.Raw("</th>");
    NumberCell(page, check.Count(status));
    page.Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table>\n</section>\n");
}

// The other log's line of a contact: its partner's, or a nil's near miss.
void TheirLine(Page& page, const ContestResult& result, const ContactCheck& contact, const ContactReason& reason) {
  const bool paired = !contact.other_record.empty();
  const std::string& record = paired ? contact.other_record : contact.near_miss.record;
  const std::size_t log = paired ? contact.other_log : reason.other_log;
  const std::int64_t line = paired ? contact.other_line : contact.near_miss.line;
  page.Raw("<td>");
  if (!record.empty()) {
    page.Raw("<code>").Text(record).Raw("</code>");
    if (log != kNoLog) {
      page.Raw(" <small>").Text(result.logs[log].name).Raw(", line ").Number(line).Raw("</small>");
    }
  }
  page.Raw("</td>");
}

void NotCounted(Page& page, const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  const std::size_t listed = NotCountedCount(check.contacts);
  page.Raw("<h2>Contacts that do not count<span class=\"count\">").Number(static_cast<std::int64_t>(listed))
      .Raw("</span></h2>\n");
  if (listed == 0) {
    page.Raw("<p class=\"none\">Every contact counts.</p>\n");
    return;
  }
  page.Raw("<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th scope=\"col\" class=\"num\">Line</th>")
      .Raw("<th scope=\"col\">Status</th><th scope=\"col\">Why</th><th scope=\"col\">Your line</th>")
      .Raw("<th scope=\"col\">Their line</th></tr></thead>\n<tbody>\n");
  for (std::size_t i = 0; i < check.contacts.size(); ++i) {
    if (check.contacts.CountedAt(i)) continue;
    const ContactCheck contact = check.contacts[i];
    const ContactReason reason = ExplainContact(result, index, log, contact);
    page.Raw("<tr>");
    NumberCell(page, contact.line);
    page.Raw("<td>");
    StatusBadge(page, contact.status);
    page.Raw("</td><td>").Text(reason.text).Raw("</td><td><code>").Text(contact.record).Raw("</code></td>");
    TheirLine(page, result, contact, reason);
    page.Raw("</tr>\n");
  }
  page.Raw("</tbody>\n</table></div>\n");
}

void Others(Page& page, const ContestResult& result, const ContestIndex& index, std::string_view title,
            std::string_view none, const std::vector<ContactRef>& refs) {
  page.Raw("<h2>").Text(title).Raw("<span class=\"count\">").Number(static_cast<std::int64_t>(refs.size()))
      .Raw("</span></h2>\n");
  if (refs.empty()) {
    page.Raw("<p class=\"none\">").Text(none).Raw("</p>\n");
    return;
  }
  page.Raw("<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th scope=\"col\">Station</th>")
      .Raw("<th scope=\"col\">What</th><th scope=\"col\">Their line</th></tr></thead>\n<tbody>\n");
  for (const ContactRef& ref : refs) {
    const LogCheck& theirs = result.logs[ref.log];
    const ContactCheck contact = theirs.contacts[ref.contact];
    page.Raw("<tr><td class=\"call\">");
    CallLink(page, result, index, ref.log);
    page.Raw("</td><td>").Text(ExplainMiscopy(contact)).Raw("</td><td><code>").Text(contact.record)
        .Raw("</code> <small>").Text(theirs.name).Raw(", line ").Number(contact.line).Raw("</small></td></tr>\n");
  }
  page.Raw("</tbody>\n</table></div>\n");
}

}  // namespace

std::string EntrantPage(const ContestResult& result, const ContestIndex& index, std::size_t log) {
  const LogCheck& check = result.logs[log];
  Page page;
  Open(page, index.title, EntrantName(check), "Log-checking report");
  Facts(page, result, index, log);
  page.Raw("<div class=\"pair\">\n");
  Scores(page, check);
  if (check.superseded_by == kNoLog) Statuses(page, check);
  page.Raw("</div>\n");
  Bands(page, check);
  if (check.superseded_by == kNoLog) {
    NotCounted(page, result, index, log);
    Others(page, result, index, "Stations that miscopied your call or exchange",
           "No other station miscopied your call or exchange.", index.miscopied[log]);
    Others(page, result, index, "Stations that logged you but are not in your log",
           "Every station that logged you is in your log.", index.not_in_log[log]);
  }
  Close(page, true);
  return page.Take();
}

}  // namespace zelo
