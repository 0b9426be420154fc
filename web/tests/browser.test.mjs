// The page end to end in headless Chromium, on a desktop screen and a phone:
// the window's workflow, the list against zelo-score's report, the downloads
// against zelo-score -o, the keyboard alone, axe-core at every step, offline
// after one visit, and the page opened from the disk.
//   ZELO_SITE=build-web/site ZELO_SCORE=build/zelo-score node --test web/tests/
// Screenshots of each step go to build-web/screenshots/.
import { test, before, after } from "node:test";
import assert from "node:assert";
import { execFileSync, spawn, spawnSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
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
const axeSource = fs.readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");
const version = fs.readFileSync(path.join(root, "CMakeLists.txt"), "utf8").match(/project\(zelo-score VERSION (\S+)/)[1];

// The designed captions of the prompt button.
const kStart = "Select HERE to Start";
const kStep1 = "STEP# 1: From FILE pulldown OPEN your cabrillo log file";
const kInvalid = "Please select a valid cabrillo log file";
const kSave = "You may now SAVE your listing. ***WARNING*** DO NOT OVERLAY YOUR LOG- use Filetype of 'TXT'";
const kExit = "Please Exit via File Pulldown";
const kBandIds = ["Option160", "Option80", "Option40", "Option20", "Option15", "Option10"];
const kScreens = [{ name: "desktop", width: 1280, height: 900 }, { name: "phone", width: 390, height: 844 }];

let servers = [];
let browser;
let base;
let scratch;

// A static server of the site on a free port of 127.0.0.1.
function StartServer() {
  return new Promise((resolve, reject) => {
    const server = spawn("python3", ["-u", "-m", "http.server", "--bind", "127.0.0.1", "0"],
                         { cwd: site, stdio: ["ignore", "pipe", "ignore"] });
    servers.push(server);
    server.on("error", reject);
    let said = "";
    server.stdout.on("data", (chunk) => {
      said += chunk;
      const port = said.match(/port (\d+)/);
      if (port) resolve({ server, url: `http://127.0.0.1:${port[1]}/` });
    });
  });
}

before(async () => {
  scratch = fs.mkdtempSync(path.join(os.tmpdir(), "zelo-web-"));
  fs.mkdirSync(shots, { recursive: true });
  base = (await StartServer()).url;
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
  for (const server of servers) server.kill();
  fs.rmSync(scratch, { recursive: true, force: true });
});

function ZeloScore(...args) {
  return execFileSync(zeloScore, args, { maxBuffer: 1 << 30 });
}

// What zelo-score -o writes for `args`.
function Listing(...args) {
  const out = path.join(scratch, `listing-${Math.random()}.txt`);
  ZeloScore(...args.slice(0, -1), "-o", out, args.at(-1));
  return fs.readFileSync(out);
}

function Lines(bytes) {
  return bytes.toString("utf8").split("\n").slice(0, -1);
}

// The page, loaded and ready, on `screen`. Its downloads land in a folder of
// their own, each in a new file named by its id; page.downloads lists them
// in order with the name the page gave.
async function OpenPage(name, screen = kScreens[0], url = base) {
  const page = await browser.newPage();
  await page.setViewport({ width: screen.width, height: screen.height });
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
  await page.goto(url);
  await page.waitForFunction(() => !document.getElementById("cmdCommand1").disabled);
  return page;
}

const Text = (page, selector) => page.$eval(selector, (e) => e.textContent);
const Caption = (page) => Text(page, "#cmdCommand1");
const ListLines = (page) => page.$$eval("#lstList1 li", (items) => items.map((li) => li.textContent));
const Shown = (page, id) => page.$eval(`#${id}`, (e) => e.checkVisibility());
const Enabled = (page, id) => page.$eval(`#${id}`, (e) => !e.disabled);
const Focused = (page) => page.evaluate(() => document.activeElement.id || document.activeElement.tagName);

async function WaitForCaption(page, caption) {
  await page.waitForFunction((c) => document.getElementById("cmdCommand1").textContent === c,
                             { timeout: 60000 }, caption);
}

// A log handed over is scored: the status says so.
async function WaitForScored(page, log) {
  await page.waitForFunction((name) => document.getElementById("status").textContent.startsWith(`${name} is scored`),
                             { timeout: 60000 }, path.basename(log));
}

async function Shot(page, name) {
  await page.screenshot({ path: path.join(shots, `${name}.png`) });
}

// No serious or critical accessibility violation on the page as it stands.
async function Axe(page, step) {
  if (!(await page.evaluate(() => "axe" in window))) await page.addScriptTag({ content: axeSource });
  const violations = await page.evaluate(async () => (await window.axe.run(document)).violations
    .filter((v) => v.impact === "serious" || v.impact === "critical")
    .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
  assert.deepStrictEqual(violations, [], `axe at ${step}`);
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
  await (await page.$("#logFile")).uploadFile(file);
}

async function Drop(page, file, name = path.basename(file)) {
  await page.evaluate((base64, fileName) => {
    const data = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const transfer = new DataTransfer();
    transfer.items.add(new File([data], fileName));
    document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, fs.readFileSync(file).toString("base64"), name);
}

// The sample with another call and without its 15 m contacts.
function SecondLog() {
  const log = path.join(scratch, "YO2ABC.txt");
  const text = fs.readFileSync(sample, "latin1").replaceAll("YO3ZELO", "YO2ABC").replace(/^QSO: 21[^\n]*\n/gm, "");
  fs.writeFileSync(log, text, "latin1");
  return log;
}

// What a person sees of the report: the score line in the viewport at the
// top of the page, the list's lines of text whole, nothing wider than the screen,
// and no box that scrolls inside the page on a phone.
async function AssertReportInSight(page, screen) {
  const seen = await page.evaluate(() => {
    const box = document.getElementById("result").getBoundingClientRect();
    const list = document.getElementById("lstList1");
    const views = document.getElementById("views").getBoundingClientRect();
    const scrollers = [...document.querySelectorAll("body *")].filter((e) => {
      const { overflowY } = getComputedStyle(e);
      return (overflowY === "auto" || overflowY === "scroll") && e.scrollHeight > e.clientHeight + 1;
    }).map((e) => e.id || e.tagName);
    return {
      inView: window.scrollY === 0 && box.top >= 0 && box.bottom <= innerHeight,
      pageWidth: document.documentElement.scrollWidth,
      cut: [...list.children].filter((li) => /[^_]/.test(li.textContent) && li.scrollWidth > li.clientWidth)
        .map((li) => li.textContent),
      viewsToList: list.getBoundingClientRect().top - views.bottom,
      scrollers,
    };
  });
  assert.ok(seen.inView, "the score is in sight without scrolling");
  assert.ok(seen.pageWidth <= screen.width, `no sideways scrolling: ${seen.pageWidth}`);
  assert.deepStrictEqual(seen.cut, [], "no line of text is cut (a rule of underscores runs to the edge)");
  assert.ok(seen.viewsToList >= 0 && seen.viewsToList < 20, `band buttons right above the list: ${seen.viewsToList}`);
  if (screen.name === "phone") assert.deepStrictEqual(seen.scrollers, [], "no box scrolls inside the page");
}

for (const screen of kScreens) {
  test(`Page.ScoresTwoLogsInOnePage.${screen.name}`, async () => {
    const page = await OpenPage(`two-logs-${screen.name}`, screen);
    const Step = async (name) => {
      await Axe(page, name);
      await Shot(page, `${screen.name}-${name}`);
    };
    assert.strictEqual(await Caption(page), kStart);
    assert.strictEqual(await Enabled(page, "mnuFileOpen"), false, "File > Open waits for the start");
    await Step("0-start");

    await page.click("#cmdCommand1");
    await WaitForCaption(page, kStep1);
    assert.strictEqual(await Enabled(page, "mnuFileOpen"), true);
    await Step("1-step1");

    await Choose(page, sample);
    await WaitForCaption(page, kSave);
    assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(sample)));
    assert.strictEqual(await Text(page, "#result"), "Final score 55,476: 402 contacts x 138 multipliers");
    assert.strictEqual(await Focused(page), "result", "the focus goes to the score");
    assert.strictEqual(await Text(page, "#status"), "sample.log is scored: final score 55,476.");
    for (const id of kBandIds) assert.ok(await Shown(page, id), id);
    assert.strictEqual(await Shown(page, "optnSum"), false, "Summary waits for a band view");
    assert.strictEqual(await Enabled(page, "mnuFileOpen"), false, "File > Open is withdrawn");
    await page.waitForFunction(() => document.getElementById("findings").checkVisibility());
    await AssertReportInSight(page, screen);
    await Step("3-report");

    await page.click("#Option20");
    await page.waitForFunction(() => document.getElementById("optnSum").checkVisibility());
    assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore("--band", "20", sample)));
    assert.strictEqual(await Caption(page), kSave, "a band view keeps the prompt");
    await Step("4-band20");

    // Save downloads what the list shows, named after the log, and prompts to exit.
    await page.click("#mnuFileSave");
    const band = await NextDownload(page, 0);
    assert.strictEqual(band.name, "sample-score.txt");
    assert.deepStrictEqual(fs.readFileSync(band.file), Listing("--band", "20", sample));
    await WaitForCaption(page, kExit);
    assert.strictEqual(await Text(page, "#status"), "Saved as sample-score.txt in your browser's downloads folder.");
    await Step("5-saved");

    // Another log, the listing saved: nothing is asked, and the page starts
    // afresh with it, as if reloaded.
    const second = SecondLog();
    const chooser = page.waitForFileChooser();
    await page.click("#another");
    await (await chooser).accept([second]);
    await WaitForScored(page, second);
    assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(second)));
    assert.strictEqual(await Text(page, "#result"), "Final score 38,646: 342 contacts x 113 multipliers");
    assert.strictEqual(await Shown(page, "optnSum"), false, "the second log starts with its report");
    await Step("6-second-log");
    await page.click("#mnuFileSave");
    const report = await NextDownload(page, 1);
    assert.strictEqual(report.name, "YO2ABC-score.txt", "never the log's own name");
    assert.deepStrictEqual(fs.readFileSync(report.file), Listing(second));
    await page.close();
  });
}

// At step 3 a dropped log is another log: asked once when the listing is not
// saved; kept, nothing changes.
test("Page.AnotherLogAsksOnceWhenNotSaved", async () => {
  const second = SecondLog();
  const cases = [{ answer: "Keep this one", scored: sample }, { answer: "Score another log", scored: second }];
  for (const [index, { answer, scored }] of cases.entries()) {
    const page = await OpenPage(`another-${index}`);
    await Drop(page, sample);
    await WaitForCaption(page, kSave);
    await Drop(page, second);
    await page.waitForSelector("#anotherDialog[open]");
    await Axe(page, "another log asked");
    await Shot(page, "desktop-3-another-asked");
    const [button] = await page.$$(`xpath/.//dialog[@id="anotherDialog"]//button[text()="${answer}"]`);
    await button.click();
    await page.waitForFunction((call) => document.getElementById("lstList1").textContent.includes(call),
                               {}, scored === sample ? "YO3ZELO" : "YO2ABC");
    await WaitForCaption(page, kSave);
    assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(scored)), answer);
    await page.close();
  }
});

// From the start to a saved listing with the keyboard alone.
test("Page.KeyboardAloneFromStartToSavedListing", async () => {
  const page = await OpenPage("keyboard", kScreens[1]);
  await page.bringToFront();
  const TabTo = async (id) => {
    for (let i = 0; i < 40 && (await Focused(page)) !== id; ++i) await page.keyboard.press("Tab");
    assert.strictEqual(await Focused(page), id, `Tab reaches ${id}`);
  };
  await TabTo("cmdCommand1");
  await page.keyboard.press("Enter");
  await WaitForCaption(page, kStep1);
  await page.waitForFunction(() => !document.getElementById("mnuFileOpen").disabled);
  // The chooser is watched for well before the key is pressed.
  const chooser = page.waitForFileChooser();
  await TabTo("mnuFileOpen");
  await page.keyboard.press("Enter");
  await (await chooser).accept([sample]);
  await WaitForCaption(page, kSave);
  assert.strictEqual(await Focused(page), "result");

  // A band, then Summary, which scores again: the focus stays in the band group.
  await TabTo("Option160");
  await page.keyboard.press("ArrowRight");
  await page.waitForFunction(() => document.getElementById("lstList1").textContent.includes("80M QSO's:"));
  await TabTo("Option80");
  await page.keyboard.press("ArrowUp");  // from 80M, back round to the last button, Summary
  await page.keyboard.press("ArrowUp");
  await page.keyboard.press("Space");
  await page.waitForFunction(() => document.getElementById("optnSum").checked);
  await WaitForCaption(page, kSave);
  assert.match(await Focused(page), /^Option|^optnSum/);

  // The findings: one Tab stop, the arrow keys move, the log's lines show.
  await TabTo("finding0");
  await page.keyboard.press("ArrowDown");
  await page.waitForFunction(() => document.getElementById("findingLines").checkVisibility());
  assert.strictEqual(await Focused(page), "finding1");
  await Shot(page, "phone-3-keyboard-finding");

  await TabTo("mnuFileSave");
  await page.keyboard.press("Enter");
  assert.deepStrictEqual(fs.readFileSync((await NextDownload(page, 0)).file), Listing(sample));
  await page.close();
});

// The log check as in the window: by severity, a finding's lines, the
// findings as zelo-score --check gives them, to copy and to download.
test("Page.LogCheckFiltersShowsLinesAndDownloads", async () => {
  const page = await OpenPage("check");
  await browser.defaultBrowserContext().overridePermissions(new URL(base).origin,
    ["clipboard-read", "clipboard-write", "clipboard-sanitized-write"]);
  await Drop(page, sample);
  await page.waitForFunction(() => document.getElementById("findings").checkVisibility());
  // zelo-score --check lists the first findings of each code and sums up the
  // rest; the page lists the same, each summing-up line after the last
  // finding shown of its code.
  const printed = spawnSync(zeloScore, ["--check", sample], { encoding: "latin1" }).stdout.split("\n");
  const check = printed.filter((line) => /^.*?:\d+: /.test(line)).map((line) => line.replace(sample, "sample.log"));
  const more = printed.filter((line) => line.includes(" more like line "))
    .map((line) => line.replace(`${sample}: `, "").replace(" (--json lists all)", ""));
  const Listed = () => page.$$eval("#findingsList li:not([hidden]):not(.more)", (items) => items.map((li) => li.textContent));
  const AsListed = (line) => line.replace(/^sample\.log:(\d+): /, "line $1: ");
  for (const severity of ["", "error", "warning", "note"]) {
    await page.click(`input[name=severity][value="${severity}"]`);
    const expected = check.filter((line) => !severity || line.includes(`: ${severity}: `)).map(AsListed);
    await page.waitForFunction((want) => JSON.stringify([...document.querySelectorAll("#findingsList li:not([hidden]):not(.more)")]
      .map((li) => li.textContent)) === want, {}, JSON.stringify(expected)).catch(() => {});
    assert.deepStrictEqual(await Listed(), expected, severity || "all");
  }
  await page.click("input[name=severity][value='']");
  await page.waitForFunction(() => document.querySelectorAll("#findingsList li.more").length > 0);
  assert.deepStrictEqual(await page.$$eval("#findingsList li.more", (items) => items.map((li) => li.textContent)), more);
  // Choosing a summing-up line lists the rest of its code.
  const hiddenBefore = await page.$$eval("#findingsList li[hidden]", (items) => items.length);
  await page.click("#findingsList li.more");
  await page.waitForFunction(() => document.querySelectorAll("#findingsList li.more").length === 0);
  assert.strictEqual(await page.$$eval("#findingsList li[hidden]", (items) => items.length), 0);
  assert.ok(hiddenBefore > 0);
  // Every finding, as zelo-score --check --json has them, for the download and the copy.
  const json = JSON.parse(spawnSync(zeloScore, ["--check", "--json", sample], { encoding: "utf8" }).stdout);
  const all = json.findings.map((f) => `sample.log:${f.line}: ${f.severity}: ${f.message}`);
  await page.click("input[name=severity][value='']");
  await page.waitForFunction(() => document.querySelectorAll("#findingsList li").length > 2);
  const line = Number(check[1].match(/:(\d+): /)[1]);
  await page.click("#finding1");
  // The pane may still show the finding chosen before: wait for this one's lines.
  await page.waitForFunction((want) => document.getElementById("findingLines").checkVisibility() &&
    document.getElementById("findingLinesList").start === want, {}, line - 2);
  const logLines = fs.readFileSync(sample, "latin1").split(/\r\n|\r|\n/);
  assert.deepStrictEqual(await page.$$eval("#findingLinesList li", (items) => items.map((li) => li.textContent)),
                         logLines.slice(line - 3, line + 2));
  assert.strictEqual(await page.$eval("#findingLinesList", (e) => e.start), line - 2);
  await Shot(page, "desktop-3-finding-lines");

  await page.click("#saveFindings");
  const saved = await NextDownload(page, 0);
  assert.strictEqual(saved.name, "sample-check.txt");
  assert.strictEqual(fs.readFileSync(saved.file, "utf8"), all.join("\n") + "\n");
  await page.click("#copyFindings");
  await page.bringToFront();
  await page.waitForFunction(() => document.getElementById("status").textContent.includes("copied"));
  assert.strictEqual(await Text(page, "#status"), "The findings are copied.");
  assert.strictEqual(await page.evaluate(() => navigator.clipboard.readText()), all.join("\n") + "\n");
  await page.close();
});

test("Page.RejectedFileAsksAgainWithTheReason", async () => {
  const cases = [
    { name: "notes.txt", write: (f) => fs.writeFileSync(f, "CONTEST: ZELO\r\nSTART-OF-LOG: 3.0\r\n"),
      status: 'notes.txt: it begins with "CONTEST: ZELO", not START-OF-LOG:' },
    { name: "huge.log", write: (f) => {  // sparse: no disk space taken, and never read
      fs.writeFileSync(f, "START-OF-LOG: 3.0\r\n");
      fs.truncateSync(f, (256 << 20) + 1);
    }, status: "huge.log: it is too big for a log: 268435457 bytes (at most 268435456)" },
  ];
  for (const { name, write, status } of cases) {
    const page = await OpenPage(`rejected-${name}`);
    await page.click("#cmdCommand1");
    await WaitForCaption(page, kStep1);
    const file = path.join(scratch, name);
    write(file);
    await page.focus("#mnuFileOpen");
    await Choose(page, file);
    await WaitForCaption(page, kInvalid);
    assert.strictEqual(await Text(page, "#status"), status);
    assert.strictEqual(await Enabled(page, "mnuFileOpen"), true, "the user chooses again");
    assert.strictEqual(await Focused(page), "mnuFileOpen", "the focus stays where it was");
    assert.strictEqual(await Enabled(page, "mnuFileSave"), false);
    await Axe(page, "rejected");
    await Shot(page, "desktop-2-rejected");
    fs.rmSync(file);
    await page.close();
  }
});

// Before its scripts run the page shows its version and says the scorer is
// loading; Help and About come from the desktop program's help and Form1;
// a file dragged over the page shows where to drop it.
test("Page.VersionHelpAboutAndDropZone", async () => {
  const bare = await browser.newPage();
  await bare.setJavaScriptEnabled(false);
  await bare.goto(base);
  assert.strictEqual(await Text(bare, "h1"), `ZELO Score ${version}`);
  assert.strictEqual(await Caption(bare), "Loading the scorer…");
  await bare.close();

  const page = await OpenPage("help");
  const help = fs.readFileSync(path.join(root, "app", "zelo_find.hlp"), "utf8");
  await page.click("#mnuHelp");
  await page.waitForFunction(() => document.getElementById("helpDialog").open);
  assert.ok((await Text(page, "#helpText")).includes("Scoring your log"));
  assert.match(help, /Scoring your log/);
  await Axe(page, "help");
  await Shot(page, "desktop-help");
  await page.keyboard.press("Escape");
  await page.click("#mnuAbout");
  await page.waitForFunction(() => document.getElementById("aboutDialog").open);
  assert.strictEqual(await Text(page, "#aboutVersion"), version);
  await page.keyboard.press("Escape");

  await page.evaluate(() => {
    const transfer = new DataTransfer();
    transfer.items.add(new File(["x"], "x.log"));
    document.body.dispatchEvent(new DragEvent("dragenter", { dataTransfer: transfer, bubbles: true }));
  });
  assert.ok(await Shown(page, "dropZone"));
  await Shot(page, "desktop-drop-zone");
  await page.evaluate(() => document.body.dispatchEvent(new DragEvent("dragleave", { bubbles: true })));
  assert.strictEqual(await Shown(page, "dropZone"), false);
  await page.close();
});

// After one visit the page loads and scores with its server gone.
test("Page.WorksOfflineAfterOneVisit", async () => {
  const { server, url } = await StartServer();
  const page = await OpenPage("offline", kScreens[0], url);
  await page.evaluate(() => navigator.serviceWorker.ready);
  server.kill();
  await new Promise((resolve) => server.on("exit", resolve));
  await page.reload();
  await page.waitForFunction(() => !document.getElementById("cmdCommand1").disabled);
  await Drop(page, sample);
  await WaitForCaption(page, kSave);
  assert.deepStrictEqual(await ListLines(page), Lines(ZeloScore(sample)));
  await Shot(page, "desktop-offline");
  await page.close();
});

// Opened from the disk: a plain message says how to open it, and a dropped
// log does not replace the page.
test("Page.FromTheDiskSaysHowToOpenIt", async () => {
  const page = await browser.newPage();
  await page.goto(`file://${site}/index.html`);
  assert.ok(await Shown(page, "fromFile"));
  assert.match(await Text(page, "#fromFile"), /web server/);
  assert.strictEqual(await Shown(page, "cmdCommand1"), false);
  const kept = await page.evaluate(() => !document.body.dispatchEvent(
    new DragEvent("drop", { dataTransfer: new DataTransfer(), bubbles: true, cancelable: true })));
  assert.ok(kept, "the drop is not the browser's");
  await Shot(page, "desktop-from-file");
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
  await WaitForCaption(page, kStep1);
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
  await Drop(page, log);
  await WaitForCaption(page, kSave);
  await page.click("#Option20");
  await page.waitForFunction(() => document.getElementById("optnSum").checkVisibility());
  const view = ZeloScore("--band", "20", log);
  assert.ok(view.includes(Buffer.from("E7\xc4VD", "latin1")));
  assert.deepStrictEqual(await ListLines(page), view.toString("latin1").split("\n").slice(0, -1));
  await page.click("#mnuFileSave");
  assert.deepStrictEqual(fs.readFileSync((await NextDownload(page, 0)).file), Listing("--band", "20", log));
  await page.close();
});
