// The page: the window of Form1, which runs with the core in worker.js.
// Form1 decides every step, caption and prompt; this file carries out the
// window operations it asks for (windowOps, as the desktop window and the
// tests' recording fake do), and does what only a browser must: hand the
// chosen or dropped file to the worker, download a saved listing, keep the
// focus where a keyboard user expects it, say what happened in the status
// region, and work offline. Unlike the window, which scores one log per run,
// the page may score another log at step 3: a page is not a program run,
// and it starts afresh as if reloaded. Text from a log goes into the page
// as textContent only.

const $ = (id) => document.getElementById(id);
const prompt = $("cmdCommand1");
const progress = $("ProgressBar1");
const logFile = $("logFile");
const status = $("status");
const results = $("results");
const resultLine = $("result");
let list = $("lstList1");
const findings = $("findings");
const findingsList = $("findingsList");
const another = $("another");
const menus = { mnuFileOpen: $("mnuFileOpen"), mnuFileSave: $("mnuFileSave") };
const kViews = ["Option160", "Option80", "Option40", "Option20", "Option15", "Option10", "optnSum"];
const numbers = new Intl.NumberFormat("en-US");

let worker = null;
let startCaption = null;  // the start button's caption, once the scorer is ready
let logName = "";         // the file last handed to Form1
let step = 0;             // Form1's WorkflowStep, as it last told
let opening = false;      // a file was handed over and its outcome is not yet known
let saved = false;        // this log's listing was downloaded
let asked = 0;
const answers = new Map();  // id -> resolve, for messages the worker answers

function Send(message) {
  worker.postMessage(message);
}

function Ask(message) {
  return new Promise((resolve) => {
    answers.set(++asked, resolve);
    Send({ ...message, id: asked });
  });
}

const Click = (handler) => Send({ type: "click", handler });

// What happened, for everyone: shown under the menu, and read out by screen
// readers (a status region).
function Say(text, refused = false) {
  status.textContent = text;
  status.classList.toggle("refused", refused);
}

// Radio buttons are shown and hidden with their label.
function Shown(element, shown) {
  (element.type === "radio" ? element.parentElement : element).hidden = !shown;
}

const Plural = (n, one, many) => `${numbers.format(n)} ${n === 1 ? one : many}`;
const Stem = (name) => (name.lastIndexOf(".") > 0 ? name.slice(0, name.lastIndexOf(".")) : name);

const windowOps = {
  SetCaption(control, text) {
    $(control).textContent = text;
  },
  SetCaptionWithPath(control, before, name, after) {
    $(control).textContent = before + name + after;
  },
  SetMenuEnabled(menu, enabled) {
    // The log check has no menu here: it is shown beside the list as soon
    // as it is offered.
    if (menu === "mnuCheck") {
      if (enabled) Click("mnuCheck_Click");
    } else {
      menus[menu].disabled = !enabled;
    }
  },
  SetVisible(control, visible) {
    if (control === "lstList1") results.hidden = !visible;
    if ($(control)) Shown($(control), visible);
  },
  ShowRefusal(name, reason) {
    Say(`${name}: ${reason}`, true);
  },
  HideRefusal() {
    Say("");
  },
  // A fresh list starts scrolled to the top left, without the layout that
  // setting the scroll position of a long list would force.
  ClearList() {
    const fresh = list.cloneNode(false);
    list.replaceWith(fresh);
    list = fresh;
  },
  AppendListLines(lines) {
    const items = document.createDocumentFragment();
    for (const line of lines) {
      const item = document.createElement("li");
      item.textContent = line;
      items.append(item);
    }
    list.append(items);
  },
  SetProgress(value) {
    progress.value = value;
  },
  ShowFindings(report) {
    $("findingsSummary").textContent = `${Plural(report.errors, "error", "errors")}, ` +
        `${Plural(report.warnings, "warning", "warnings")}, ${Plural(report.notes, "note", "notes")}` +
        (report.effect ? `; ${report.effect}` : "");
    for (const choice of document.getElementsByName("severity")) choice.checked = choice.value === "";
    ListFindings(report);
    Shown(findings, true);
  },
  async ShowHelp(file) {
    const text = $("helpText");
    if (!text.hasChildNodes()) {
      try {
        const response = await fetch(file);
        if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
        const help = new DOMParser().parseFromString(await response.text(), "text/html");
        help.querySelectorAll("script").forEach((script) => script.remove());
        text.replaceChildren(...[...help.body.childNodes].map((node) => document.importNode(node, true)));
      } catch (error) {
        text.textContent = `The help could not be loaded: ${error.message}`;
      }
    }
    $("helpDialog").showModal();
  },
  ShowAbout({ name, version, description }) {
    $("aboutName").textContent = name;
    $("aboutVersion").textContent = version;
    $("aboutDescription").textContent = description;
    $("aboutDialog").showModal();
  },
};

// The log check: its findings as a list box (one Tab stop; the arrow keys,
// Home and End move through it), the log's lines around the one selected.
// Of a code with many findings the first few are listed, then one line that
// sums up the rest; choosing it lists them.
function ListFindings({ findings: found, groups, matching }) {
  const Option = (text, className) => {
    const item = document.createElement("li");
    item.className = className;
    item.setAttribute("role", "option");
    item.setAttribute("aria-selected", "false");
    item.tabIndex = -1;
    item.textContent = text;
    return item;
  };
  const items = [];
  const lastShown = new Map();
  for (const { line, severity, code, message, later } of found) {
    const item = Option(`line ${line}: ${severity}: ${message}`, severity);
    item.id = `finding${items.length}`;
    item.dataset.line = line;
    item.dataset.code = code;
    item.hidden = later;
    items.push(item);
    if (!later) lastShown.set(code, item);
  }
  findingsList.replaceChildren(...items);
  for (const { code, more } of groups) {
    const item = Option(more, "more");
    item.dataset.more = code;
    const last = lastShown.get(code);
    if (last) last.after(item);
  }
  const first = findingsList.querySelector("li:not([hidden])");
  if (first) first.tabIndex = 0;
  findingsList.hidden = items.length === 0;
  const more = $("findingsMore");
  more.hidden = matching === found.length;
  more.textContent = `The first ${numbers.format(found.length)} of ${numbers.format(matching)} are listed; ` +
      "download the findings for all of them.";
  $("findingLines").hidden = true;
}

let selectedFinding = null;  // the finding whose lines the pane shows or will show

async function SelectFinding(item) {
  if (item.dataset.more) {
    // The rest of a code, listed where its summing-up line stood.
    const revealed = [...findingsList.querySelectorAll(`li[data-code="${item.dataset.more}"][hidden]`)];
    for (const other of revealed) other.hidden = false;
    item.remove();
    if (revealed.length > 0) return SelectFinding(revealed[0]);
    return;
  }
  for (const other of findingsList.children) {
    other.setAttribute("aria-selected", String(other === item));
    other.tabIndex = other === item ? 0 : -1;
  }
  item.focus();
  const line = Number(item.dataset.line);
  selectedFinding = item;
  const { first, lines } = await Ask({ type: "logLines", line });
  // A finding chosen since, whose lines may have come first, keeps the pane.
  if (selectedFinding !== item) return;
  const shown = $("findingLinesList");
  shown.start = first;
  shown.replaceChildren(...lines.map((text, index) => {
    const item = document.createElement("li");
    item.textContent = text;
    if (first + index === line) item.setAttribute("aria-current", "true");
    return item;
  }));
  $("findingLinesTitle").textContent = `Line ${line} of ${logName}`;
  $("findingLines").hidden = false;
}

findingsList.addEventListener("click", (event) => {
  const item = event.target.closest("li");
  if (item) SelectFinding(item);
});
findingsList.addEventListener("keydown", (event) => {
  const items = [...findingsList.children].filter((item) => !item.hidden);
  const at = items.indexOf(document.activeElement);
  const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: items.length - 1, Enter: at, " ": at }[event.key];
  if (to === undefined || items.length === 0) return;
  event.preventDefault();
  SelectFinding(items[Math.max(0, Math.min(to, items.length - 1))]);
});
for (const choice of document.getElementsByName("severity")) {
  choice.addEventListener("change", async () => ListFindings(await Ask({ type: "findings", severity: choice.value })));
}
$("copyFindings").addEventListener("click", () => {
  const text = Ask({ type: "findingsText", file: logName });
  navigator.clipboard.write([new ClipboardItem({ "text/plain": text.then((t) => new Blob([t], { type: "text/plain" })) })])
    .then(() => Say("The findings are copied."), (error) => Say(`The findings could not be copied: ${error.message}`, true));
});
$("saveFindings").addEventListener("click", () => {
  Send({ type: "findingsFile", file: logName, name: `${Stem(logName)}-check.txt` });
});

// "Final score 55,476: 402 contacts x 138 multipliers", from the core's numbers.
function ShowResult(result) {
  resultLine.hidden = result === null;
  resultLine.textContent = result && `Final score ${numbers.format(result.score)}: ` +
      `${Plural(result.qsos, "contact", "contacts")} x ${Plural(result.mults, "multiplier", "multipliers")}`;
}

// The download is a new file: the browser never writes over a file that is
// there already. A listing is named after the log with -score.txt, so never
// as the log itself.
function Download(name, bytes) {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([bytes], { type: "text/plain" }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// The page as it is before the start button is pressed.
function ShowDesign() {
  prompt.textContent = startCaption;
  for (const menu of Object.values(menus)) menu.disabled = true;
  for (const id of kViews) {
    $(id).checked = false;
    Shown($(id), false);
  }
  windowOps.ClearList();
  for (const element of [progress, list, results, findings, another]) element.hidden = true;
  ShowResult(null);
  Say("");
  step = 0;
  saved = false;
}

const messages = {
  ready({ start }) {
    if (startCaption !== null) return;  // a fresh worker after a failure keeps the page as it is
    startCaption = start;
    prompt.textContent = start;
    prompt.disabled = false;
  },
  op({ op, args }) {
    windowOps[op](...args);
  },
  answer({ id, value }) {
    answers.get(id)(value);
    answers.delete(id);
  },
  state({ step: now, result }) {
    step = now;
    another.hidden = step !== 3;
    ShowResult(result);
    if (opening && step === 3) {
      Say(`${logName} is scored: final score ${numbers.format(result.score)}.`);
      resultLine.focus();
    }
    opening = false;
  },
  download({ name, bytes, listing }) {
    Download(name, bytes);
    if (listing) saved = true;
    Say(`Saved as ${name} in your browser's downloads folder.`);
  },
  failed({ reason }) {
    worker.terminate();
    if (startCaption === null) {  // the scorer never started: nothing to go back to
      Say(`The scorer could not start: ${reason}`, true);
      return;
    }
    // The worker could not go on (its memory ran out, say): the log is
    // refused with the reason, and a fresh Form1 waits for the next one.
    ShowDesign();
    StartWorker();
    Click("cmdCommand1_Click");
    Say(`${logName}: not scored: ${reason}`, true);
  },
};

function StartWorker() {
  worker = new Worker("worker.js");
  worker.onmessage = (event) => messages[event.data.type](event.data);
  worker.onerror = (event) => {
    event.preventDefault();
    messages.failed({ reason: event.message });
  };
}

function HandOver(type, file) {
  logName = file.name;
  opening = true;
  Send({ type, file });
}

// Another log at step 3: asked once when the listing was not saved, then
// the page starts afresh with it.
function ScoreAnother(file) {
  ShowDesign();
  HandOver("another", file);
}

function OfferAnother(file) {
  const go = () => (file ? ScoreAnother(file) : logFile.click());
  if (saved) return go();
  const dialog = $("anotherDialog");
  $("anotherText").textContent = `The listing of ${logName} has not been saved. ` +
      "Its report and log check go when another log is scored.";
  dialog.returnValue = "";
  dialog.addEventListener("close", () => dialog.returnValue === "another" && go(), { once: true });
  dialog.showModal();
}

prompt.addEventListener("click", () => startCaption !== null && Click("cmdCommand1_Click"));
menus.mnuFileOpen.addEventListener("click", () => logFile.click());
another.addEventListener("click", () => OfferAnother(null));
logFile.addEventListener("change", () => {
  const file = logFile.files[0];
  logFile.value = "";  // choosing the same file again is a new choice
  if (!file) return;
  if (step === 3) ScoreAnother(file);
  else HandOver("open", file);
});
menus.mnuFileSave.addEventListener("click", () => Send({ type: "save", name: `${Stem(logName)}-score.txt` }));
for (const id of kViews) $(id).addEventListener("click", () => Click(`${id}_Click`));
$("mnuHelp").addEventListener("click", () => Click("mnuHelp_Click"));
$("mnuAbout").addEventListener("click", () => Click("mnuAbout_Click"));

// A file dragged over the page shows where to drop it; dropped, it is opened
// as File > Open would (Form1 decides whether it is taken), or, once a log is
// scored, offered as another log.
let dragging = 0;
const Dragging = (on) => document.documentElement.classList.toggle("dragging", on);
document.addEventListener("dragenter", (event) => {
  if (event.dataTransfer.types.includes("Files")) Dragging(++dragging > 0);
});
document.addEventListener("dragleave", () => Dragging(--dragging > 0));
document.addEventListener("dragover", (event) => event.preventDefault());
document.addEventListener("drop", (event) => {
  event.preventDefault();
  dragging = 0;
  Dragging(false);
  const file = event.dataTransfer.files[0];
  if (!file || startCaption === null || document.querySelector("dialog[open]")) return;
  if (step === 3) OfferAnother(file);
  else HandOver("drop", file);
});

StartWorker();
// The page's own files, kept by the browser so that it works offline.
if ("serviceWorker" in navigator) {
  addEventListener("load", () => navigator.serviceWorker.register("sw.js").catch(() => {}));
}
