// The WebAssembly core under node: the same reports, band views and listing
// bytes as the native build, byte for byte.
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

// A session holding `log` (bytes), or the reason it was refused.
function Load(core, log) {
  const session = new core.Session();
  const reason = session.ReserveLog(log.length);
  if (!reason) core.HEAPU8.set(log, session.LogAddress());
  return { session, reason };
}

// Lines {bytes, ends} as the golden files hold them: each line, then LF.
function Joined({ bytes, ends }) {
  const parts = [];
  let start = 0;
  for (const end of ends) {
    parts.push(Buffer.from(bytes.subarray(start, end)), Buffer.from("\n"));
    start = end;
  }
  return Buffer.concat(parts);
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
      const { session, reason } = Load(core, fs.readFileSync(path.join(data, `${name}.log`)));
      assert.strictEqual(reason, "");
      assert.strictEqual(session.CheckHeader(), "");
      let progress = [];
      const report = session.Score((value) => progress.push(value));
      assert.deepStrictEqual(Joined(report), fs.readFileSync(path.join(data, `${name}.report.txt`)));
      assert.ok(progress.length > 0, "progress told");
      assert.ok(progress.every((v, i) => v >= 0 && v <= 100 && (i === 0 || v > progress[i - 1])),
                `progress rises within 0..100: ${progress}`);
      for (const band of views) {
        assert.deepStrictEqual(Joined(session.ShowBand(band)),
                               fs.readFileSync(path.join(data, `${name}.view${band}.txt`)), `view ${band}`);
      }
      session.delete();
    });
  }
});

// The listing of what was shown last, against zelo-score -o of the same view.
test("Listing.MatchesZeloScoreOutput", async (t) => {
  const core = await ZeloCore();
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "zelo-web-"));
  const log = path.join(root, "samples", "sample.log");
  const cases = [{ view: "report", args: [] }, { view: "20", args: ["--band", "20"] },
                 { view: "160", args: ["--band", "160"] }];
  const { session } = Load(core, fs.readFileSync(log));
  for (const { view, args } of cases) {
    await t.test(view, () => {
      session.Score(() => {});
      if (view !== "report") session.ShowBand(view);
      const out = path.join(scratch, `${view}.txt`);
      execFileSync(zeloScore, [...args, "-o", out, log]);
      assert.deepStrictEqual(Buffer.from(session.Listing()), fs.readFileSync(out));
    });
  }
  session.delete();
  fs.rmSync(scratch, { recursive: true });
});

test("Refusal.SaysWhy", async (t) => {
  const core = await ZeloCore();
  const { maxLogBytes } = core.Texts();
  await t.test("NotALog", () => {
    const { session } = Load(core, Buffer.from("Hello, this is not a log\r\n"));
    assert.strictEqual(session.CheckHeader(), 'it begins with "Hello", not START-OF-LOG:');
  });
  await t.test("TooBig", () => {
    const session = new core.Session();
    assert.match(session.ReserveLog(maxLogBytes + 1), /^it is too big for a log: 268435457 bytes/);
    assert.strictEqual(session.ReserveLog(maxLogBytes), "", "a log at the limit fits");
  });
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
