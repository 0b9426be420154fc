// The WebAssembly core under node, driven as the page drives it: Form1
// through the binding, with a recording window in place of the page. The
// same reports, band views and listing bytes as the native build, byte for
// byte.
//   ZELO_SITE=build-web/site ZELO_SCORE=build/zelo-score node --test web/tests/
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { execFileSync } = require("node:child_process");

const root = path.join(__dirname, "..", "..");
const site = path.resolve(process.env.ZELO_SITE || path.join(root, "build-web", "site"));
const zeloScore = path.resolve(process.env.ZELO_SCORE || path.join(root, "build", "zelo-score"));
const data = path.join(root, "tests", "data");
const ZeloCoreFactory = require(path.join(site, "zelo-core.js"));
// The module is handed its .wasm: node's fetch takes no file paths.
const ZeloCore = () => ZeloCoreFactory({ wasmBinary: fs.readFileSync(path.join(site, "zelo-core.wasm")) });

// The window operations as the page's worker receives them: the list's
// lines (bytes), the refusals and progress values seen, and dialogs answered
// from `open` and `save`.
class RecordingWindow {
  constructor() {
    Object.assign(this, { list: [], refusals: [], progress: [], open: null, save: null, findings: [] });
  }
  SetCaption() {}
  SetCaptionWithPath() {}
  SetMenuEnabled() {}
  SetVisible() {}
  ShowRefusal(file, reason) { this.refusals.push({ file, reason }); }
  HideRefusal() {}
  ClearList() { this.list = []; }
  AppendListLines({ bytes, ends }) {
    let start = 0;
    for (const end of ends) {
      this.list.push(Buffer.from(bytes.subarray(start, end)));
      start = end;
    }
  }
  SetProgress(value) { this.progress.push(value); }
  ShowOpenDialog() { return this.open; }
  ShowSaveDialog() { return this.save; }
  ShowFindings(report) { this.findings.push(report); }
  ShowHelp() {}
  ShowAbout() {}
  ProgramFolder() { return "/"; }
  Unload() {}
  // The list as the golden files hold it: each line, then LF.
  Joined() { return Buffer.concat(this.list.flatMap((line) => [line, Buffer.from("\n")])); }
}

// Form1 after the start button and File/Open of `bytes`, written into the
// module's memory as `name`.
function Opened(core, name, bytes) {
  const file = `/${name}`;
  core.FS.writeFile(file, bytes);
  const window = new RecordingWindow();
  const page = new core.Page(window);
  page.cmdCommand1_Click();
  window.open = file;
  page.mnuFileOpen_Click();
  return { page, window };
}

// Every golden log in tests/data, with the band views that have golden files.
const goldens = fs.readdirSync(data).filter((f) => f.endsWith(".report.txt")).map((f) => {
  const name = f.slice(0, -".report.txt".length);
  const views = fs.readdirSync(data)
    .map((v) => v.match(new RegExp(`^${name}\\.view(\\d+)\\.txt$`)))
    .filter(Boolean).map((m) => m[1]);
  return { name, views };
});

test("Golden.ReportAndViewsMatch", async (t) => {
  const core = await ZeloCore();
  assert.ok(goldens.length >= 7, "golden files found");
  for (const { name, views } of goldens) {
    await t.test(name, () => {
      const log = path.join(data, `${name}.log`);
      const { page, window } = Opened(core, `${name}.log`, fs.readFileSync(log));
      assert.deepStrictEqual(window.refusals, []);
      assert.strictEqual(page.WorkflowStep(), 3);
      assert.deepStrictEqual(window.Joined(), fs.readFileSync(path.join(data, `${name}.report.txt`)));
      const { progress } = window;
      assert.ok(progress.length > 0, "progress told");
      assert.ok(progress.every((v, i) => v >= 0 && v <= 100 && (i === 0 || v > progress[i - 1])),
                `progress rises within 0..100: ${progress}`);
      const json = JSON.parse(execFileSync(zeloScore, ["--json", log]));
      assert.deepStrictEqual(page.Result(), { qsos: json.qsos, mults: json.mults, score: json.score });
      for (const band of views) {
        page[`Option${band}_Click`]();
        assert.deepStrictEqual(window.Joined(), fs.readFileSync(path.join(data, `${name}.view${band}.txt`)),
                               `view ${band}`);
      }
      page.delete();
    });
  }
});

// What File/Save writes for the list shown, against zelo-score -o of the same view.
test("Listing.MatchesZeloScoreOutput", async (t) => {
  const core = await ZeloCore();
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "zelo-web-"));
  const log = path.join(root, "samples", "sample.log");
  const cases = [{ view: "report", args: [] }, { view: "20", args: ["--band", "20"] },
                 { view: "160", args: ["--band", "160"] }];
  const { page, window } = Opened(core, "sample.log", fs.readFileSync(log));
  for (const { view, args } of cases) {
    await t.test(view, () => {
      page[view === "report" ? "optnSum_Click" : `Option${view}_Click`]();
      window.save = `/${view}.txt`;
      page.mnuFileSave_Click();
      const out = path.join(scratch, `${view}.txt`);
      execFileSync(zeloScore, [...args, "-o", out, log]);
      assert.deepStrictEqual(Buffer.from(core.FS.readFile(window.save)), fs.readFileSync(out));
    });
  }
  page.delete();
  fs.rmSync(scratch, { recursive: true });
});

test("Refusal.SaysWhy", async (t) => {
  const core = await ZeloCore();
  const cases = [
    { name: "NotALog", bytes: Buffer.from("Hello, this is not a log\r\n"),
      reason: 'it begins with "Hello", not START-OF-LOG:' },
    { name: "TooBig", bytes: Buffer.from("START-OF-LOG: 3.0\r\n"), size: (256 << 20) + 1,
      reason: "it is too big for a log: 268435457 bytes (at most 268435456)" },
  ];
  for (const { name, bytes, size, reason } of cases) {
    await t.test(name, () => {
      core.FS.writeFile(`/${name}.log`, bytes);
      if (size) core.FS.truncate(`/${name}.log`, size);
      const window = new RecordingWindow();
      const page = new core.Page(window);
      page.cmdCommand1_Click();
      window.open = `/${name}.log`;
      page.mnuFileOpen_Click();
      assert.deepStrictEqual(window.refusals, [{ file: `/${name}.log`, reason }]);
      assert.strictEqual(page.WorkflowStep(), 1, "the user chooses again");
      assert.strictEqual(page.Result(), null);
      core.FS.unlink(`/${name}.log`);
      page.delete();
    });
  }
});

// Lines show as the window shows them: UTF-8 where it is valid, any other
// byte as its Latin-1 character.
test("Display.OtherBytesAsLatin1", async () => {
  const core = await ZeloCore();
  const cases = [
    { bytes: [0x59, 0x4f, 0x33, 0x41], text: "YO3A" },
    { bytes: [0x59, 0xc4, 0x41, 0xe2, 0x82, 0xac], text: "Y\u00c4A\u20ac" },
    { bytes: [0xe2, 0x82, 0x41], text: "\u00e2\u0082A" },
  ];
  for (const { bytes, text } of cases) assert.strictEqual(core.DisplayText(new Uint8Array(bytes)), text);
});
