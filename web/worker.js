// The page's scorer: the WebAssembly core in a worker, so that scoring a
// large log never freezes the page. It holds the log and the last run; the
// page holds what is on screen.
//
// From the page:  {type: "open", file}  {type: "score"}  {type: "band", band: "160"}
//                 {type: "check"}
// To the page:    {type: "ready", texts}  {type: "rejected", reason}  {type: "working"}
//                 {type: "progress", value}
//                 {type: "lines", lines, listing, run}: what the list shows now, the
//                   bytes File/Save writes for it, and whether a scoring run made it
//                 {type: "findings", findings, errors, warnings, notes}: the log check
//                 {type: "failed", reason}  (the worker is of no further use)
/* global ZeloCore, importScripts */
"use strict";

importScripts("zelo-core.js");

const utf8 = new TextDecoder("utf-8", { fatal: true });
// The most findings of the log check the page lists (all are counted).
const kMostFindings = 1000;
let core = null;
let session = null;

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

function PostLines(lines, run) {
  const listing = session.Listing();
  postMessage({ type: "lines", lines: DecodeLines(lines), listing, run }, [listing.buffer]);
}

function Score() {
  postMessage({ type: "working" });
  PostLines(session.Score((value) => postMessage({ type: "progress", value })), true);
}

// Reads the chosen file into the core, checks it is a log and scores it.
async function Open(file) {
  let reason = session.ReserveLog(file.size);
  if (reason) return postMessage({ type: "rejected", reason });
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    return postMessage({ type: "rejected", reason: `it could not be read: ${error.message}` });
  }
  // A file that changed size since it was chosen is taken as it now stands.
  if (bytes.length !== file.size) {
    reason = session.ReserveLog(bytes.length);
    if (reason) return postMessage({ type: "rejected", reason });
  }
  core.HEAPU8.set(bytes, session.LogAddress());
  bytes = null;
  reason = session.CheckHeader();
  if (reason) return postMessage({ type: "rejected", reason });
  Score();
}

const handlers = {
  open: (message) => Open(message.file),
  score: () => Score(),
  band: (message) => PostLines(session.ShowBand(message.band), false),
  check: () => postMessage({ type: "findings", ...session.Check(kMostFindings) }),
};

const ready = ZeloCore().then((module) => {
  core = module;
  session = new module.Session();
  postMessage({ type: "ready", texts: module.Texts() });
});
ready.catch((error) => postMessage({ type: "failed", reason: String(error) }));

// One message at a time, in the order sent.
let queue = ready;
self.onmessage = (event) => {
  queue = queue
    .then(() => handlers[event.data.type](event.data))
    .catch((error) => {
      postMessage({ type: "failed", reason: String(error && error.message ? error.message : error) });
      self.close();
    });
};
