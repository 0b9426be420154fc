// Measures the browser edition (run by tools/bench-web): the site's size
// compressed, the page opened to its start button usable, the sample log
// scored and shown after it is chosen, and a large
// log scored and shown in the browser against zelo-score on the same file.
//   node web/bench.mjs SITE ZELO_SCORE LARGE_LOG [RUNS]
import { execFileSync, spawn } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import puppeteer from "puppeteer-core";

const [site, zeloScore, largeLog, runsText] = process.argv.slice(2);
const runs = Number(runsText || 7);
const sample = path.join(path.dirname(new URL(import.meta.url).pathname), "..", "samples", "sample.log");
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(1);

// Size: each file of the site compressed with gzip -9, summed.
let raw = 0;
let packed = 0;
for (const name of fs.readdirSync(site).sort()) {
  const bytes = fs.readFileSync(path.join(site, name));
  const gz = zlib.gzipSync(bytes, { level: 9 }).length;
  console.log(`${name.padEnd(16)} ${String(bytes.length).padStart(8)} bytes, ${String(gz).padStart(7)} gzip -9`);
  raw += bytes.length;
  packed += gz;
}
console.log(`site             ${String(raw).padStart(8)} bytes, ${String(packed).padStart(7)} gzip -9 ` +
            `(${(packed / 1024).toFixed(1)} KiB)`);

const server = spawn("python3", ["-u", "-m", "http.server", "--bind", "127.0.0.1", "0"],
                     { cwd: site, stdio: ["ignore", "pipe", "ignore"] });
const base = await new Promise((resolve) => {
  let said = "";
  server.stdout.on("data", (chunk) => {
    said += chunk;
    const port = said.match(/port (\d+)/);
    if (port) resolve(`http://127.0.0.1:${port[1]}/`);
  });
});
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "zelo-bench-"));
const browser = await puppeteer.launch({
  executablePath: process.env.ZELO_CHROMIUM || "/usr/bin/chromium", headless: true, userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

// Milliseconds from opening the page to its start button usable, in a fresh
// profile (first visit) and then again in the same one (the files kept by
// the service worker).
async function OpenToUsable() {
  const context = await browser.createBrowserContext();
  const times = [];
  for (const visit of ["first", "again"]) {
    const page = await context.newPage();
    await page.evaluateOnNewDocument(() => {
      new MutationObserver((changes, observer) => {
        const start = document.getElementById("cmdCommand1");
        if (!start || start.disabled) return;
        window.zeloUsable = performance.now();
        observer.disconnect();
      }).observe(document, { subtree: true, childList: true, attributes: true });
    });
    await page.goto(base);
    await page.waitForFunction(() => window.zeloUsable !== undefined);
    times.push(await page.evaluate(() => window.zeloUsable));
    if (visit === "first") await page.evaluate(() => navigator.serviceWorker.ready);
    await page.close();
  }
  await context.close();
  return times;
}

// Milliseconds from choosing `log` to its report shown: from the file
// input's change event to the frame after the report's lines are in the list.
async function ChosenToShown(log) {
  const page = await browser.newPage();
  await page.goto(base);
  await page.waitForFunction(() => !document.getElementById("cmdCommand1").disabled);
  await page.click("#cmdCommand1");
  await page.evaluate(() => {
    window.zeloShown = new Promise((resolve) => {
      let chosen = 0;
      document.addEventListener("change", () => { chosen = performance.now(); }, { capture: true, once: true });
      new MutationObserver((changes, observer) => {
        const list = document.getElementById("lstList1");
        if (!chosen || list.childElementCount === 0 || !list.checkVisibility()) return;
        observer.disconnect();
        requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - chosen)));
      }).observe(document.body, { childList: true, subtree: true, attributes: true });
    });
  });
  await (await page.$("#logFile")).uploadFile(log);
  const took = await page.evaluate(() => window.zeloShown);
  await page.close();
  return took;
}

function ZeloScoreTime(log) {
  const start = process.hrtime.bigint();
  execFileSync(zeloScore, [log], { stdio: ["ignore", "ignore", "inherit"] });
  return Number(process.hrtime.bigint() - start) / 1e6;
}

try {
  const first = [];
  const again = [];
  for (let i = 0; i < runs; ++i) {
    const [cold, warm] = await OpenToUsable();
    first.push(cold);
    again.push(warm);
  }
  console.log(`opened to start button usable, first visit: median ${ms(median(first))} ms (${first.map(ms).join(", ")})`);
  console.log(`opened to start button usable, next visit: median ${ms(median(again))} ms (${again.map(ms).join(", ")})`);
  const sampleTimes = [];
  for (let i = 0; i < runs; ++i) sampleTimes.push(await ChosenToShown(sample));
  console.log(`sample log, chosen to shown: median ${ms(median(sampleTimes))} ms ` +
              `(${sampleTimes.map(ms).join(", ")})`);
  if (largeLog) {
    const page = [];
    const native = [];
    for (let i = 0; i < runs; ++i) {  // alternately, so both see the same machine
      page.push(await ChosenToShown(largeLog));
      native.push(ZeloScoreTime(largeLog));
    }
    const mb = (fs.statSync(largeLog).size / 1e6).toFixed(1);
    console.log(`${path.basename(largeLog)} (${mb} MB), chosen to shown in the page: median ` +
                `${ms(median(page))} ms (${page.map(ms).join(", ")})`);
    console.log(`zelo-score on the same file: median ${ms(median(native))} ms (${native.map(ms).join(", ")})`);
    console.log(`ratio of medians: ${(median(page) / median(native)).toFixed(2)}`);
  }
} finally {
  await browser.close();
  server.kill();
  fs.rmSync(profile, { recursive: true, force: true });
}
