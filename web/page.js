// The page: the window's workflow over the scorer in worker.js. It keeps
// the window's steps (0 not started, 1 waiting for the log, 3 listing
// ready) and shows only what the core returns: captions and prompts, the
// report and band views, the listing bytes. Text from a log goes into the
// page as textContent only.

const $ = (id) => document.getElementById(id);
const prompt = $("cmdCommand1");
const progress = $("ProgressBar1");
const logFile = $("logFile");
const save = $("mnuFileSave");
const status = $("status");
let list = $("lstList1");
const views = $("views");
const bandButtons = ["Option160", "Option80", "Option40", "Option20", "Option15", "Option10"].map($);
const optnSum = $("optnSum");
const findings = $("findings");

let texts = null;     // the window's prompts, from the core
let worker = null;
let step = 0;         // WorkflowStep
let scored = false;   // a run has produced the listing
let busy = false;     // the worker is reading or scoring
let logName = "";
let listing = null;   // the bytes File/Save writes for what the list shows
let checkAsked = false;  // the log check of this log is asked for

function Shown(element, shown) {
  (element.type === "radio" ? element.parentElement : element).hidden = !shown;
}

function SetCaption(text) {
  prompt.textContent = text;
}

// What the user may do depends on the step and on whether the worker is busy.
function UpdateControls() {
  logFile.disabled = step !== 1 || busy;
  save.disabled = !scored || busy;
  views.disabled = busy;
  views.hidden = !scored;
}

function ShowLines(lines) {
  const items = document.createDocumentFragment();
  for (const line of lines) {
    const item = document.createElement("li");
    item.textContent = line;
    items.append(item);
  }
  // A fresh list starts scrolled to the top left, without the layout that
  // setting the scroll position of a long list would force.
  const fresh = list.cloneNode(false);
  fresh.append(items);
  list.replaceWith(fresh);
  list = fresh;
}

function StartWorker() {
  worker = new Worker("worker.js");
  worker.onmessage = (event) => handlers[event.data.type](event.data);
  worker.onerror = (event) => {
    event.preventDefault();
    handlers.failed({ reason: event.message });
  };
}

// A chosen file at step 1, or a dropped one at step 0 or 1 (as if the
// start button had been pressed first).
function Open(file) {
  if (busy || !file) return;
  if (step === 0) Start();
  if (step !== 1) return;
  performance.clearMarks();
  performance.mark("zelo-chosen");
  logName = file.name;
  checkAsked = false;
  status.textContent = "";
  busy = true;
  UpdateControls();
  worker.postMessage({ type: "open", file });
}

const handlers = {
  ready({ texts: core_texts }) {
    if (texts === null) {  // the first worker, not a fresh one after a failure
      texts = core_texts;
      $("version").textContent = texts.version;
      SetCaption(texts.start);
      prompt.disabled = false;
    }
    UpdateControls();
  },
  rejected({ reason }) {
    busy = false;
    SetCaption(texts.invalidLog);
    status.textContent = `${logName}: ${reason}`;
    UpdateControls();
  },
  working() {
    SetCaption(texts.working);
    progress.value = 0;
    Shown(progress, true);
    Shown(list, true);
  },
  progress({ value }) {
    progress.value = Math.min(value, progress.max);
  },
  lines({ lines, listing: bytes, run }) {
    ShowLines(lines);
    listing = bytes;
    if (run) {  // the report at the end of a scoring run
      busy = false;
      scored = true;
      step = 3;
      SetCaption(texts.save);
      Shown(progress, false);
      for (const button of bandButtons) Shown(button, true);
      requestAnimationFrame(() => setTimeout(() => {
        performance.mark("zelo-shown");
        performance.measure("zelo-chosen-to-shown", "zelo-chosen", "zelo-shown");
        // The log check once per log, after its report is on screen.
        if (!checkAsked) worker.postMessage({ type: "check" });
        checkAsked = true;
      }));
    } else {  // a band view
      Shown(optnSum, true);
    }
    UpdateControls();
  },
  // The log check's findings beside the list, each with its line.
  findings({ findings: found, errors, warnings, notes }) {
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
  failed({ reason }) {
    worker.terminate();
    if (texts === null) {  // the scorer never started: nothing to go back to
      status.textContent = `The scorer could not start: ${reason}`;
      return;
    }
    // The worker could not go on (its memory ran out, say): the log is
    // refused with the reason, and a fresh worker waits for the next one.
    busy = false;
    scored = false;
    step = 1;
    Shown(progress, false);
    Shown(list, false);
    Shown(findings, false);
    for (const button of [...bandButtons, optnSum]) Shown(button, false);
    SetCaption(texts.invalidLog);
    status.textContent = `${logName}: not scored: ${reason}`;
    UpdateControls();
    StartWorker();
  },
};

function Start() {
  if (step !== 0 || texts === null) return;
  SetCaption(texts.step1);
  step = 1;
  UpdateControls();
}

prompt.addEventListener("click", Start);

logFile.addEventListener("change", () => {
  Open(logFile.files[0]);
  logFile.value = "";  // choosing the same file again is a new choice
});

document.addEventListener("dragover", (event) => event.preventDefault());
document.addEventListener("drop", (event) => {
  event.preventDefault();
  Open(event.dataTransfer.files[0]);
});

for (const button of bandButtons) {
  button.addEventListener("click", () => {
    if (!scored || busy) return;
    worker.postMessage({ type: "band", band: button.value });
  });
}

optnSum.addEventListener("click", () => {
  if (!scored || busy) return;
  busy = true;
  list.replaceChildren();
  UpdateControls();
  worker.postMessage({ type: "score" });
});

// The download is a new file under the log's name with .txt: the browser
// never writes over a file that is there already.
save.addEventListener("click", () => {
  if (!scored || busy) return;
  const dot = logName.lastIndexOf(".");
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([listing], { type: "text/plain" }));
  link.download = (dot > 0 ? logName.slice(0, dot) : logName) + ".txt";
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  SetCaption(texts.exit);
});

StartWorker();
