// The static files of the results site: its stylesheet and sorting script.
#pragma once

#include <string_view>

namespace zelo {

inline constexpr std::string_view kSiteStyle = R"css(:root {
  --ink: #1d2327; --muted: #5b6770; --rule: #d5dbe0; --head: #eef2f5; --band: #f7f9fa;
  --link: #0b57a4; --good: #1e6b37; --good-bg: #e1f3e6; --warn: #7a4b00; --warn-bg: #fff0cc;
  --bad: #8f1d1d; --bad-bg: #fbe1e1; --odd: #4b3a8c; --odd-bg: #ebe6fb; --plain: #4a5560; --plain-bg: #eceff2;
}
* { box-sizing: border-box; }
body { margin: 0; color: var(--ink); background: #fff;
  font: 16px/1.45 system-ui, -apple-system, "Segoe UI", "DejaVu Sans", sans-serif; }
header, main, footer { max-width: 80rem; margin: 0 auto; padding: 0 1.25rem; }
main, header { overflow-wrap: anywhere; }
header { padding-top: 1.5rem; border-bottom: 3px solid var(--ink); }
h1 { font-size: 1.8rem; margin: 0 0 .25rem; }
h2 { font-size: 1.25rem; margin: 2rem 0 .5rem; }
h2 .count { font-size: .9rem; font-weight: normal; color: var(--muted); margin-left: .5rem; }
p.summary { color: var(--muted); margin: 0 0 1rem; }
a { color: var(--link); }
nav { margin: 0 0 .5rem; font-size: .95rem; display: flex; flex-wrap: wrap; gap: .25rem 1rem; }
footer { color: var(--muted); font-size: .85rem; padding-top: 2rem; padding-bottom: 2rem; }
.scroll { overflow-x: auto; max-width: 100%; }
.scroll code { white-space: nowrap; }
/* A table keeps its words whole and scrolls sideways on a narrow screen. */
table { overflow-wrap: normal; }
p.clock { background: var(--warn-bg); color: var(--warn); border-left: 4px solid var(--warn); padding: .5rem .75rem; }
section.soapbox p { margin: .25rem 0; }
table { border-collapse: collapse; width: 100%; margin: .25rem 0 1rem; font-variant-numeric: tabular-nums; }
th, td { padding: .35rem .6rem; border-bottom: 1px solid var(--rule); text-align: left; vertical-align: top; }
thead th { background: var(--head); border-bottom: 2px solid var(--ink); font-weight: 600; vertical-align: bottom; }
thead th.count { font-weight: normal; font-size: .9rem; }
td.key { font-weight: 700; }
tbody tr:nth-child(even) { background: var(--band); }
tbody tr:hover { background: #e8f0f8; }
th.num, td.num { text-align: right; }
td.call { font-weight: 600; white-space: nowrap; }
th[scope="row"] { white-space: nowrap; }
small { color: var(--muted); }
td.zero { color: #a0a8ae; }
th button { font: inherit; color: inherit; background: none; border: 0; padding: 0; cursor: pointer; text-align: inherit; }
th button::after { content: "\00A0\2195"; color: var(--muted); font-size: .8em; }
th[aria-sort="ascending"] button::after { content: "\00A0\25B2"; color: var(--ink); }
th[aria-sort="descending"] button::after { content: "\00A0\25BC"; color: var(--ink); }
th button:focus-visible { outline: 2px solid var(--link); outline-offset: 2px; }
dl.facts { display: grid; grid-template-columns: max-content 1fr; gap: .2rem 1rem; margin: 1rem 0; }
dl.facts dt { color: var(--muted); }
dl.facts dd { margin: 0; font-weight: 600; }
table.scores { width: 100%; }
.pair { display: grid; grid-template-columns: repeat(auto-fit, minmax(20rem, 1fr)); gap: 0 2.5rem; }
.pair h2 { margin-top: 1rem; }
.status { display: inline-block; padding: 0 .45rem; border-radius: .25rem; font-size: .85rem;
  font-weight: 600; white-space: nowrap; border: 1px solid currentColor; }
.status-confirmed { color: var(--good); background: var(--good-bg); }
.status-busted-exchange { color: var(--warn); background: var(--warn-bg); }
.status-busted-call, .status-nil { color: var(--bad); background: var(--bad-bg); }
.status-unique, .status-unverified { color: var(--odd); background: var(--odd-bg); }
.status-repeat, .status-no-band, .status-not-contact { color: var(--plain); background: var(--plain-bg); }
.none { color: var(--muted); font-style: italic; }
code { font-family: "DejaVu Sans Mono", monospace; font-size: .95em; }
@media (max-width: 40rem) {
  header, main, footer { padding-left: .75rem; padding-right: .75rem; }
  th, td { padding: .3rem .4rem; }
  h1 { font-size: 1.4rem; }
}
@media print { th button::after { content: ""; } tbody tr:hover { background: none; } }
)css";

inline constexpr std::string_view kSiteScript = R"js(// Sorts a results table by the column whose header is clicked; a second
// click reverses the order. Without this script the tables keep their order.
"use strict";
for (const table of document.querySelectorAll("table.sortable")) {
  const headers = table.tHead.rows[0].cells;
  for (let column = 0; column < headers.length; column++) {
    const th = headers[column];
    const button = document.createElement("button");
    button.type = "button";
    while (th.firstChild) button.appendChild(th.firstChild);
    th.appendChild(button);
    button.addEventListener("click", () => sortBy(table, column, th));
  }
}

function sortKey(cell, numeric) {
  const value = cell.dataset.value !== undefined ? cell.dataset.value : cell.textContent.trim();
  if (!numeric) return value.toLowerCase();
  const n = Number(value);
  return Number.isNaN(n) ? -Infinity : n;
}

function sortBy(table, column, th) {
  const numeric = th.classList.contains("num");
  const descending = th.getAttribute("aria-sort") === "ascending";
  for (const other of th.parentNode.cells) other.removeAttribute("aria-sort");
  th.setAttribute("aria-sort", descending ? "descending" : "ascending");
  const body = table.tBodies[0];
  const rows = Array.from(body.rows, (row, index) => ({row, index, key: sortKey(row.cells[column], numeric)}));
  rows.sort((a, b) => {
    const order = a.key < b.key ? -1 : a.key > b.key ? 1 : 0;
    return (descending ? -order : order) || a.index - b.index;
  });
  for (const {row} of rows) body.appendChild(row);
}
)js";

}  // namespace zelo
