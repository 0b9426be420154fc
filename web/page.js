// The page: the window of Form1, which runs with the core in worker.js.
// Form1 decides every step, caption and prompt; this file carries out the
// window operations it asks for (windowOps, as the desktop window and the
// tests' recording fake do), and does what only a browser can: hand the
// chosen or dropped file to the worker, and download a saved listing. Text
// from a log goes into the page as textContent only.

const $ = (id) => document.getElementById(id);
const prompt = $("cmdCommand1");
const progress = $("ProgressBar1");
const logFile = $("logFile");
const status = $("status");
let list = $("lstList1");
const findings = $("findings");
// The page's element for File/Open and File/Save.
const menus = { mnuFileOpen: logFile, mnuFileSave: $("mnuFileSave") };

let worker = null;
let started = false;  // the worker is ready
let logName = "";     // the file last handed to the worker

// Radio buttons are shown and hidden with their label.
function Shown(element, shown) {
  (element.type === "radio" ? element.parentElement : element).hidden = !shown;
}

function Send(message) {
  worker.postMessage(message);
}

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
      if (enabled) Send({ type: "click", handler: "mnuCheck_Click" });
    } else {
      menus[menu].disabled = !enabled;
    }
  },
  SetVisible(control, visible) {
    if ($(control)) Shown($(control), visible);
  },
  ShowRefusal(name, reason) {
    status.textContent = `${name}: ${reason}`;
  },
  HideRefusal() {
    status.textContent = "";
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
  // The log check's findings beside the list, each with its line.
  ShowFindings({ findings: found, errors, warnings, notes }) {
    const Count = (n, one, many) => `${n} ${n === 1 ? one : many}`;
    $("findingsSummary").textContent = `${Count(errors, "error", "errors")}, ` +
        `${Count(warnings, "warning", "warnings")}, ${Count(notes, "note", "notes")}`;
    const items = found.map(({ line, severity, message }) => {
      const item = document.createElement("li");
      item.className = severity;
      item.textContent = `line ${line}: ${severity}: ${message}`;
      return item;
    });
    const more = errors + warnings + notes - found.length;
    if (more > 0) {
      const item = document.createElement("li");
      item.textContent = `... and ${more} more`;
      items.push(item);
    }
    $("findingsList").replaceChildren(...items);
    Shown(findings, true);
  },
  ShowHelp() {},
  ShowAbout() {},
};

// The download is a new file under the log's name with .txt: the browser
// never writes over a file that is there already.
function Download(name, bytes) {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([bytes], { type: "text/plain" }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

function DownloadName(log) {
  const dot = log.lastIndexOf(".");
  return (dot > 0 ? log.slice(0, dot) : log) + ".txt";
}

const messages = {
  ready({ start, version }) {
    if (started) return;  // a fresh worker after a failure keeps the page as it is
    started = true;
    $("version").textContent = version;
    prompt.textContent = start;
    prompt.disabled = false;
  },
  op({ op, args }) {
    windowOps[op](...args);
  },
  state() {},
  download({ name, bytes }) {
    Download(name, bytes);
  },
  failed({ reason }) {
    worker.terminate();
    if (!started) {  // the scorer never started: nothing to go back to
      status.textContent = `The scorer could not start: ${reason}`;
      return;
    }
    // The worker could not go on (its memory ran out, say): the log is
    // refused with the reason, and a fresh Form1 waits for the next one.
    for (const id of ["ProgressBar1", "lstList1", "findings", "optnSum", "Option160", "Option80",
                      "Option40", "Option20", "Option15", "Option10"]) Shown($(id), false);
    menus.mnuFileSave.disabled = true;
    StartWorker();
    Send({ type: "click", handler: "cmdCommand1_Click" });
    status.textContent = `${logName}: not scored: ${reason}`;
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
  if (!file || !started) return;
  logName = file.name;
  Send({ type, file });
}

prompt.addEventListener("click", () => started && Send({ type: "click", handler: "cmdCommand1_Click" }));

logFile.addEventListener("change", () => {
  HandOver("open", logFile.files[0]);
  logFile.value = "";  // choosing the same file again is a new choice
});

document.addEventListener("dragover", (event) => event.preventDefault());
document.addEventListener("drop", (event) => {
  event.preventDefault();
  HandOver("drop", event.dataTransfer.files[0]);
});

for (const id of ["Option160", "Option80", "Option40", "Option20", "Option15", "Option10", "optnSum"]) {
  $(id).addEventListener("click", () => Send({ type: "click", handler: `${id}_Click` }));
}

menus.mnuFileSave.addEventListener("click", () => Send({ type: "save", name: DownloadName(logName) }));

StartWorker();
