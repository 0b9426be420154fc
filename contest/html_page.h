// The pieces every page of the results site is made of: a page builder that
// escapes every text, the page's frame, and the cells its tables share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "contest/check_report.h"
#include "contest/output_text.h"

namespace zelo {

inline constexpr std::string_view kIndexFile = "index.html";
inline constexpr std::string_view kStyleFile = "style.css";
inline constexpr std::string_view kScriptFile = "sort.js";
inline constexpr std::string_view kSoapboxFile = "soapbox.html";
inline constexpr std::string_view kClubsFile = "clubs.html";
inline constexpr std::string_view kFilesFile = "files.html";
inline constexpr std::string_view kPageExtension = ".html";

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
  static std::string Grouped(std::int64_t n);

 private:
  std::string html_;
};

// The page's head, header (its title and the site's links) and main; Close ends
// them, telling how to sort where the page has a table that sorts.
void Open(Page& page, std::string_view title, std::string_view heading, std::string_view summary);
void Close(Page& page, bool sortable);

// A number cell, sorted by its value; a zero is greyed.
void NumberCell(Page& page, std::int64_t n);
void StatusBadge(Page& page, ContactStatus status);
std::string PageName(const ContestIndex& index, std::size_t log);
// The entrant's call, a link to its page.
void CallLink(Page& page, const ContestResult& result, const ContestIndex& index, std::size_t log);

// One entrant's page: its checking report.
std::string EntrantPage(const ContestResult& result, const ContestIndex& index, std::size_t log);

}  // namespace zelo
