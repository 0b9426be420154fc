// The page's scorer: Form1 and the WebAssembly core in a worker, so that
// scoring a large log never freezes the page. Form1's window is `windowOps`
// below: what changes the screen goes to the page as {type: "op", op, args},
// where page.js carries it out; the dialogs are answered here, with the file
// the page just handed over (mounted read-only, so that Form1's own read and
// header check run on it) and with a path in memory for Save, whose bytes
// then go to the page to download.
//
// From the page:  {type: "click", handler}  (a Form1 handler, such as "Option20_Click")
//                 {type: "open", file}  {type: "drop", file}  {type: "save", name}
//                 {type: "another", file}  (a fresh Form1, as after a reload, given `file`)
//                 {type: "findings", severity, id}  {type: "logLines", line, id}
//                 {type: "findingsText", file, id}  (the shown log check, for the page)
//                 {type: "findingsFile", file, name}  (the same, downloaded as `name`)
// To the page:    {type: "ready", start}
//                 {type: "op", op, args}  (a WindowOps call, for the page to carry out)
//                 {type: "answer", id, value}  (to a message that had an id)
//                 {type: "state", step, result}  (after each message: Form1's step and
//                   the last run's {qsos, mults, score}, or null)
//                 {type: "download", name, bytes, listing}  (a listing Form1 saved, or the findings)
//                 {type: "failed", reason}  (the worker is of no further use)
/* global ZeloCore, importScripts */
"use strict";

importScripts("zelo-core.js");

const utf8 = new TextDecoder("utf-8", { fatal: true });
const kLogFolder = "/logs";
const kSaveFolder = "/listings";
let core = null;
let page = null;     // Form1 with windowOps as its window
let handedOver = null;  // what the next Open dialog answers
let saveTo = null;      // what the next Save dialog answers
let mounts = 0;

// A line's bytes as the window shows them: UTF-8, or, when they are not
// all UTF-8, each other byte as its Latin-1 character.
function DisplayText(bytes) {
  try {
    return utf8.decode(bytes);
  } catch {
    return core.DisplayText(bytes);
  }
}

// The lines {bytes, ends, ascii} from the core as text, for display only.
// ASCII lines are decoded all at once and cut at the byte offsets.
function DecodeLines({ bytes, ends, ascii }) {
  const text = ascii ? utf8.decode(bytes) : null;
  const lines = new Array(ends.length);
  let start = 0;
  for (let i = 0; i < ends.length; ++i) {
    lines[i] = ascii ? text.slice(start, ends[i]) : DisplayText(bytes.subarray(start, ends[i]));
    start = ends[i];
  }
  return lines;
}

// The file's name, as the user knows it, for a path of ours.
const NameOf = (path) => path.slice(path.lastIndexOf("/") + 1);

const Send = (op, ...args) => postMessage({ type: "op", op, args });

const windowOps = {
  SetCaption: (control, text) => Send("SetCaption", control, text),
  SetCaptionWithPath: (control, before, path, after) =>
    Send("SetCaptionWithPath", control, before, NameOf(path), after),
  SetMenuEnabled: (menu, enabled) => Send("SetMenuEnabled", menu, enabled),
  SetVisible: (control, visible) => Send("SetVisible", control, visible),
  ShowRefusal: (path, reason) => Send("ShowRefusal", NameOf(path), reason),
  HideRefusal: () => Send("HideRefusal"),
  ClearList: () => Send("ClearList"),
  AppendListLines: (lines) => Send("AppendListLines", DecodeLines(lines)),
  SetProgress: (value) => Send("SetProgress", value),
  ShowOpenDialog: () => handedOver,
  ShowSaveDialog: () => saveTo,
  ShowFindings: (report) => Send("ShowFindings", report),
  ShowHelp: (file) => Send("ShowHelp", NameOf(file)),
  ShowAbout: (about) => Send("ShowAbout", about),
  ProgramFolder: () => "/",
  Unload: () => {},  // a page is left by the browser, not by Form1
};

// Puts `file` where Form1 can open it, in a folder of its own (so that
// any name will do), and gives its path. The file is read in place.
function HandOver(file) {
  const { FS } = core;
  const folder = `${kLogFolder}/${++mounts}`;
  if (mounts > 1) FS.unmount(`${kLogFolder}/${mounts - 1}`);
  FS.mkdir(folder);
  FS.mount(FS.filesystems.WORKERFS, { files: [file] }, folder);
  return `${folder}/${file.name}`;
}

// Form1 saves into memory; the bytes it wrote go to the page.
function Save(name) {
  const { FS } = core;
  saveTo = `${kSaveFolder}/${name}`;
  page.mnuFileSave_Click();
  if (!FS.analyzePath(saveTo).exists) return;  // cancelled or failed: Form1 said why
  const bytes = FS.readFile(saveTo);
  FS.unlink(saveTo);
  postMessage({ type: "download", name, bytes, listing: true }, [bytes.buffer]);
}

const handlers = {
  click: ({ handler }) => {
    if (handler.endsWith("_Click")) page[handler]();
  },
  open: ({ file }) => {
    handedOver = HandOver(file);
    page.mnuFileOpen_Click();
  },
  drop: ({ file }) => page.LogDropped(HandOver(file)),
  another: ({ file }) => {
    page.delete();
    page = new core.Page(windowOps);
    page.LogDropped(HandOver(file));
  },
  save: ({ name }) => Save(name),
  findings: ({ severity }) => page.Findings(severity),
  logLines: ({ line }) => page.LogLines(line),
  findingsText: ({ file }) => DisplayText(page.FindingsText(file)),
  findingsFile: ({ file, name }) => {
    const bytes = page.FindingsText(file);
    postMessage({ type: "download", name, bytes, listing: false }, [bytes.buffer]);
  },
};

const ready = ZeloCore().then((module) => {
  core = module;
  core.FS.mkdir(kLogFolder);
  core.FS.mkdir(kSaveFolder);
  page = new core.Page(windowOps);
  postMessage({ type: "ready", start: core.StartCaption() });
});
ready.catch((error) => postMessage({ type: "failed", reason: String(error) }));

// One message at a time, in the order sent; after each, Form1's state.
let queue = ready;
self.onmessage = (event) => {
  queue = queue
    .then(() => {
      const value = handlers[event.data.type](event.data);
      handedOver = null;
      saveTo = null;
      if (event.data.id !== undefined) postMessage({ type: "answer", id: event.data.id, value });
      postMessage({ type: "state", step: page.WorkflowStep(), result: page.Result() });
    })
    .catch((error) => {
      postMessage({ type: "failed", reason: String(error && error.message ? error.message : error) });
      self.close();
    });
};
