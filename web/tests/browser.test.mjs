// The page end to end in headless Chromium: the window's workflow, the list
// against zelo-score's report, the downloads against zelo-score -o.
//   ZELO_SITE=build-web/site ZELO_SCORE=build/zelo-score node --test web/tests/
// Screenshots of each step go to build-web/screenshots/.
import { test, before, after } from "node:test";
import assert from "node:assert";
import { execFileSync, spawn, spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "..", "..");
const site = path.resolve(process.env.ZELO_SITE || path.join(root, "build-web", "site"));
const zeloScore = path.resolve(process.env.ZELO_SCORE || path.join(root, "build", "zelo-score"));
const chromium = process.env.ZELO_CHROMIUM || "/usr/bin/chromium";
const shots = path.join(root, "build-web", "screenshots");
const sample = path.join(root, "samples", "sample.log");

// The designed captions of the prompt button.
const kStart = "Select HERE to Start";
const kStep1 = "STEP# 1: From FILE pulldown OPEN your cabrillo log file";
const kInvalid = "Please select a valid cabrillo log file";
const kSave = "You may now SAVE your listing. ***WARNING*** DO NOT OVERLAY YOUR LOG- use Filetype of 'TXT'";
const kExit = "Please Exit via File Pulldown";
const kBandIds = ["Option160", "Option80", "Option40", "Option20", "Option15", "Option10"];

let server;
let browser;
let base;
let scratch;

// A static server on a free port of 127.0.0.1, serving the site.
function StartServer() {
  return new Promise((resolve, reject) => {
    server = spawn("python3", ["-u", "-m", "http.server", "--bind", "127.0.0.1", "0"],
                   { cwd: site, stdio: ["ignore", "pipe", "ignore"] });
    server.on("error", reject);
    let said = "";
    server.stdout.on("data", (chunk) => {
      said += chunk;
      const port = said.match(/port (\d+)/);
      if (port) resolve(`http://127.0.0.1:${port[1]}/`);
    });
  });
}

before(async () => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), "zelo-web-"));
  fs.mkdirSync(shots, { recursive: true });
  base = await StartServer();
    browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: path.join(scratch, "profile"),
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.kill();
  fs.rmSync(scratch, { recursive: true, force: true });
});

function ZeloScore(...args) {
  return execFileSync(zeloScore, args, { maxBuffer: 1 << 30 });
}

function Lines(bytes) {
  return bytes.toString("utf8").split("\n").slice(0, -1);
}

// The page, loaded and ready. Its downloads land in a folder of their own,
// each in a new file named by its id; page.downloads lists them in order
// with the name the page gave.
async function OpenPage(name) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 900 });
  const folder = path.join(scratch, name);
  fs.mkdirSync(folder);
  page.downloads = [];
  const cdp = await page.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior",
                 { behavior: "allowAndName", downloadPath: folder, eventsEnabled: true });
  cdp.on("Browser.downloadWillBegin", (e) => page.downloads.push({ name: e.suggestedFilename,
                                                                    file: path.join(folder, e.guid) }));
  cdp.on("Browser.downloadProgress", (e) => {
    if (e.state === "completed") page.downloads.find((d) => d.file.endsWith(e.guid)).done = true;
  });
  await page.goto(base);
  await page.waitForFunction(() => document.getElementById("cmdCommand1").textContent !== "");
  return page;
}

const Caption = (page) => page.$eval("#cmdCommand1", (e) => e.textContent);
const ListLines = (page) => page.$$eval("#lstList1 li", (items) => items.map((li) => li.textContent));
const Shown = (page, id) => page.$eval(`#${id}`, (e) => e.checkVisibility());
const Enabled = (page, id) => page.$eval(`#${id}`, (e) => !e.disabled);

async function WaitForCaption(page, caption) {
  await page.waitForFunction((c) => document.getElementById("cmdCommand1").textContent === c,
                             { timeout: 60000 }, caption);
}

async function Shot(page, name) {
  await page.screenshot({ path: path.join(shots, `${name}.png`) });
}

// The download that follows `count` earlier ones, once it is complete.
async function NextDownload(page, count) {
  for (let waited = 0; waited < 30000; waited += 50) {
    if (page.downloads.length > count && page.downloads[count].done) return page.downloads[count];
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error(`no download after ${count}: ${JSON.stringify(page.downloads)}`);
}

async function Choose(page, file) {
  const input = await page.$("#logFile");
  await input.uploadFile(file);
}

test("Page.ScoresTheSampleLikeTheWindow", async () => {
  const page = await OpenPage("workflow");
  assert.strictEqual(await Caption(page), kStart);
  assert.strictEqual(await Enabled(page, "logFile"), false, "File > Open waits for the start");
  assert.strictEqual(await Enabled(page, "mnuFileSave"), false);
  await Shot(page, "0-start");

  await page.click("#cmdCommand1");
  assert.strictEqual(await Caption(page), kStep1);
  assert.strictEqual(await Enabled(page, "logFile"), true);
  await Shot(page, "1-step1");

  await Choose(page, sample);
  await WaitForCaption(page, kSave);
  assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(sample)));
  for (const id of kBandIds) assert.ok(await Shown(page, id), id);
  assert.strictEqual(await Shown(page, "optnSum"), false, "Summary waits for a band view");
  assert.strictEqual(await Shown(page, "ProgressBar1"), false);
  assert.strictEqual(await Enabled(page, "logFile"), false, "File > Open is withdrawn");
  assert.strictEqual(await Enabled(page, "mnuFileSave"), true);
  await Shot(page, "3-report");

  await page.click("#Option20");
  await page.waitForFunction(() => document.getElementById("optnSum").checkVisibility());
  assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore("--band", "20", sample)));
  assert.strictEqual(await Caption(page), kSave, "a band view keeps the prompt");
  await Shot(page, "4-band20");

  // Save writes what the list shows, as File/Save does, and prompts to exit.
  await page.click("#mnuFileSave");
  const band = await NextDownload(page, 0);
  assert.strictEqual(band.name, "sample.txt");
  ZeloScore("--band", "20", "-o", path.join(scratch, "band20.txt"), sample);
  assert.deepStrictEqual(fs.readFileSync(band.file), fs.readFileSync(path.join(scratch, "band20.txt")));
  await WaitForCaption(page, kExit);
  await Shot(page, "5-saved");

  // Summary scores again: the report and the save prompt come back.
  await page.click("#optnSum");
  await WaitForCaption(page, kSave);
  assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(sample)));

  // A second save is a new file: the first one stays as it was.
  const band_bytes = fs.readFileSync(band.file);
  await page.click("#mnuFileSave");
  const report = await NextDownload(page, 1);
  assert.notStrictEqual(report.file, band.file);
  assert.deepStrictEqual(fs.readFileSync(band.file), band_bytes);
  ZeloScore("-o", path.join(scratch, "report.txt"), sample);
  assert.deepStrictEqual(fs.readFileSync(report.file), fs.readFileSync(path.join(scratch, "report.txt")));
  await Shot(page, "6-summary-saved");
  await page.close();
});

test("Page.RejectedFileAsksAgainWithTheReason", async () => {
  const page = await OpenPage("rejected");
  await page.click("#cmdCommand1");
  const notes = path.join(scratch, "notes.txt");
  fs.writeFileSync(notes, "CONTEST: ZELO\r\nSTART-OF-LOG: 3.0\r\n");
  await Choose(page, notes);
  await WaitForCaption(page, kInvalid);
  assert.strictEqual(await page.$eval("#status", (e) => e.textContent),
                     'notes.txt: it begins with "CONTEST: ZELO", not START-OF-LOG:');
  assert.strictEqual(await Enabled(page, "logFile"), true, "the user chooses again");
  assert.strictEqual(await Enabled(page, "mnuFileSave"), false);
  await Shot(page, "2-rejected");
  await Choose(page, sample);
  await WaitForCaption(page, kSave);
  assert.strictEqual(await page.$eval("#status", (e) => e.textContent), "");
  await page.close();
});

test("Page.TooBigALogIsRefusedUnread", async () => {
  const page = await OpenPage("too-big");
  await page.click("#cmdCommand1");
  const huge = path.join(scratch, "huge.log");
  fs.writeFileSync(huge, "START-OF-LOG: 3.0\r\n");
  fs.truncateSync(huge, (256 << 20) + 1);  // sparse: no disk space taken
  await Choose(page, huge);
  await WaitForCaption(page, kInvalid);
  assert.strictEqual(await page.$eval("#status", (e) => e.textContent),
                     "huge.log: it is too big for a log: 268435457 bytes (at most 268435456)");
  assert.strictEqual(await Enabled(page, "logFile"), true);
  await page.close();
});

// Dropped before the start button is pressed, as the window allows.
test("Page.DroppedLogIsScored", async () => {
  const page = await OpenPage("dropped");
  const bytes = fs.readFileSync(sample).toString("base64");
  await page.evaluate((base64) => {
    const data = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const transfer = new DataTransfer();
    transfer.items.add(new File([data], "sample.log"));
    document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true,
                                                        cancelable: true }));
  }, bytes);
  await WaitForCaption(page, kSave);
  assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(sample)));
  await page.close();
});

// A log of 200,000 contacts: the progress bar shows while it is scored,
// and the report is zelo-score's.
test("Page.LargeLogShowsProgress", async () => {
  const text = fs.readFileSync(sample, "latin1");
  const first = text.indexOf("QSO:");
  const contacts = text.slice(first, text.lastIndexOf("\n", text.indexOf("END-OF-LOG:")) + 1);
  const large = path.join(scratch, "large.log");
  fs.writeFileSync(large, text.slice(0, first) + contacts.repeat(500) + "END-OF-LOG:\r\n", "latin1");

  const page = await OpenPage("large");
  await page.click("#cmdCommand1");
  await page.evaluate(() => {
    window.progressSeen = [];
    const bar = document.getElementById("ProgressBar1");
    new MutationObserver(() => {
      if (bar.checkVisibility()) window.progressSeen.push(bar.value);
    }).observe(bar, { attributes: true });
  });
  await Choose(page, large);
  await WaitForCaption(page, kSave);
  const seen = await page.evaluate(() => window.progressSeen);
  assert.ok(seen.length >= 10, `progress values shown: ${seen}`);
  assert.ok(seen.at(-1) >= 90, `the bar reaches the end: ${seen}`);
  assert.strictEqual(await Shown(page, "ProgressBar1"), false);
  assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(large)));
  await page.close();
});

// A call in bytes that are not UTF-8 shows as the window shows it (Latin-1),
// and the listing keeps the log's own bytes.
test("Page.ShowsOtherBytesAsLatin1", async () => {
  const log = path.join(scratch, "latin1.log");
  fs.writeFileSync(log, fs.readFileSync(sample, "latin1").replaceAll("E7VVD", "E7\xc4VD"), "latin1");
  const page = await OpenPage("latin1");
  await page.click("#cmdCommand1");
  await Choose(page, log);
  await WaitForCaption(page, kSave);
  await page.click("#Option20");
  await page.waitForFunction(() => document.getElementById("optnSum").checkVisibility());
  const view = ZeloScore("--band", "20", log);
  assert.ok(view.includes(Buffer.from("E7\xc4VD", "latin1")));
  assert.deepStrictEqual(await ListLines(page), view.toString("latin1").split("\n").slice(0, -1));
  await page.click("#mnuFileSave");
  ZeloScore("--band", "20", "-o", path.join(scratch, "latin1.txt"), log);
  assert.deepStrictEqual(fs.readFileSync((await NextDownload(page, 0)).file),
                         fs.readFileSync(path.join(scratch, "latin1.txt")));
  await page.close();
});

// The log check's findings show beside the list, as zelo-score --check gives them.
test("Page.ShowsTheLogCheckBesideTheList", async () => {
  const page = await OpenPage("check");
  await page.click("#cmdCommand1");
  await Choose(page, sample);
  await page.waitForFunction(() => document.getElementById("findings").checkVisibility());
  const check = spawnSync(zeloScore, ["--check", sample], { encoding: "latin1" });
  const expected = check.stdout.split("\n").map((line) => line.match(/^.*?:(\d+): (.*)$/))
    .filter(Boolean).map(([, line, rest]) => `line ${line}: ${rest}`);
  assert.ok(expected.length > 0, check.stdout);
  assert.deepStrictEqual(await page.$$eval("#findingsList li", (items) => items.map((li) => li.textContent)),
                         expected);
  await Shot(page, "3-report-and-check");
  await page.close();
});
