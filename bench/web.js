// make bench, the page's part, in Debian's headless chromium (run where
// puppeteer-core is installed: build-web/tests/web): bitlicht.html's size; its
// start-up against a static page with the same controls, alternating, in one
// run; a toggle's cost on the page's main thread.
// Usage: node web.js PAGE [RUNS]
const fs = require('fs');
const path = require('path');
const puppeteer = require(path.join(process.cwd(), 'node_modules', 'puppeteer-core'));
const [page, runs = 11] = process.argv.slice(2);
const D0 = '[data-name="chkD(0)"]';

const median = (v) => {
  const s = [...v].sort((a, b) => a - b), m = s.length >> 1;
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
};
const verdict = (met, goal) => (met ? '(goal met)' : `(goal ${goal} missed)`);

// The floor: the page's own DOM once the window is up, its scripts stripped,
// each LED's canvas as an image of what it shows, each box's and field's
// state as markup. The same controls, places, fonts and pictures, no program.
async function staticCopy(browser, url) {
  const tab = await browser.newPage();
  await tab.goto(url);
  await tab.waitForSelector(D0);
  const html = await tab.evaluate(() => {
    for (const canvas of document.querySelectorAll('canvas')) {
      const image = document.createElement('img');
      for (const a of canvas.attributes) image.setAttribute(a.name, a.value);
      image.src = canvas.toDataURL();
      canvas.replaceWith(image);
    }
    for (const input of document.querySelectorAll('input')) {
      if (input.type === 'checkbox') input.toggleAttribute('checked', input.checked);
      else input.setAttribute('value', input.value);
    }
    for (const script of document.querySelectorAll('script')) script.remove();
    return '<!doctype html>\n' + document.documentElement.outerHTML;
  });
  await tab.close();
  return html;
}

// From navigation to the first contentful paint, in a new tab. bitlicht.html
// has nothing to paint before its window: its first contentful paint is the
// first one after the window was built and Form_Load ran, in the same task.
async function ready(browser, url) {
  const tab = await browser.newPage();
  await tab.goto(url);
  await tab.waitForSelector(D0);
  const handle = await tab.waitForFunction(() =>
    performance.getEntriesByName('first-contentful-paint')[0]?.startTime);
  const ms = await handle.jsonValue();
  await tab.close();
  return ms;
}

// Busy time of the page's main thread in a trace (only top-level tasks, to
// keep the trace's own cost low), click by click: the busiest renderer main
// thread, its tasks grouped where 20 ms pass without one (clicks are 50 ms
// apart), each group's union.
function perClick(trace) {
  const events = JSON.parse(Buffer.from(trace).toString()).traceEvents;
  const mains = new Set(events.filter((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain')
    .map((e) => `${e.pid}/${e.tid}`));
  const byThread = {};
  for (const e of events)
    if (e.ph === 'X' && e.name.endsWith('RunTask') && mains.has(`${e.pid}/${e.tid}`))
      (byThread[`${e.pid}/${e.tid}`] ??= []).push(e);
  const total = (tasks) => tasks.reduce((sum, t) => sum + t.dur, 0);
  const tasks = Object.values(byThread).sort((a, b) => total(b) - total(a))[0].sort((a, b) => a.ts - b.ts);
  const clicks = [];
  let end = -Infinity;
  for (const t of tasks) {
    if (t.ts - end > 20000) clicks.push(0);
    clicks[clicks.length - 1] += Math.max(0, t.ts + t.dur - Math.max(t.ts, end)) / 1000;
    end = Math.max(end, t.ts + t.dur);
  }
  return clicks;
}

// Real clicks on D0 through the protocol, 50 ms apart so that each one's
// frame is drawn: every task of the main thread for each (input, hit test,
// the reaction, style, layout, paint, commit), in rounds that alternate
// between the pages, so that the machine's load weighs on both alike; and
// the reaction alone, the box's change handler, timed in the page from
// listeners before and after it. Medians.
async function clickCosts(browser, urls, rounds = 4, clicks = 20) {
  const tabs = [];
  for (const url of urls) {
    const tab = await browser.newPage();
    await tab.goto(url);
    const box = await (await tab.waitForSelector(D0)).boundingBox();
    tab.click = async () => {
      await tab.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
      await new Promise((r) => setTimeout(r, 50));
    };
    for (let i = 0; i < 10; ++i) await tab.click(); // code compiled, as after a few toggles
    await tab.evaluate(() => {
      let start = 0;
      window.reactions = [];
      addEventListener('change', () => { start = performance.now(); }, true);
      addEventListener('change', () => window.reactions.push(performance.now() - start));
    });
    tab.busy = [];
    tabs.push(tab);
  }
  for (let round = 0; round < rounds; ++round)
    for (const tab of tabs) {
      await tab.bringToFront();
      await tab.tracing.start({ categories: ['toplevel'] });
      for (let i = 0; i < clicks; ++i) await tab.click();
      tab.busy.push(...perClick(await tab.tracing.stop()));
    }
  const costs = [];
  for (const tab of tabs) {
    costs.push({ ms: median(tab.busy), reaction: median(await tab.evaluate(() => window.reactions)) });
    await tab.close();
  }
  return costs;
}

async function main() {
  const size = fs.statSync(page).size / 1048576;
  console.log(`bitlicht.html: ${size.toFixed(2)} MiB ${verdict(size <= 1, '1 MiB')}`);
  const profile = path.resolve(`profile-bench-${process.pid}`);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--user-data-dir=' + profile],
  });
  try {
    const url = 'file://' + path.resolve(page), still = path.resolve('bitlicht-static.html');
    fs.writeFileSync(still, await staticCopy(browser, url));
    const pages = { 'bitlicht.html': url, 'static page': 'file://' + still };
    const times = { 'bitlicht.html': [], 'static page': [] };
    for (let i = -1; i < runs; ++i) // the first round warms the caches
      for (const name in pages) {
        const ms = await ready(browser, pages[name]);
        if (i >= 0) times[name].push(ms);
      }
    console.log(`\nload to the window's first paint, medians of ${runs} runs each (headless chromium)`);
    for (const name in times) console.log(`  ${name.padEnd(14)} ${median(times[name]).toFixed(1)} ms`);
    const ratio = median(times['bitlicht.html']) / median(times['static page']);
    console.log(`bitlicht.html / static page: time ${ratio.toFixed(2)} ${verdict(ratio <= 1.5, '1.5')}`);

    // A toggle's cost is what a click on bitlicht.html's box takes beyond
    // the same click on the static page's box (the browser's own share).
    const [click, floor] = await clickCosts(browser, [url, pages['static page']]);
    console.log(`\na real click on D0, the page's main thread, medians of 80: ` +
      `bitlicht.html ${click.ms.toFixed(2)} ms, static page ${floor.ms.toFixed(2)} ms`);
    const toggle = click.ms - floor.ms;
    console.log(`toggle: ${toggle.toFixed(2)} ms ${verdict(toggle <= 1, '1 ms')}, of it the reaction ` +
      `(the box's change handler): ${click.reaction.toFixed(2)} ms`);
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((e) => { console.log('web.js: ' + (e.stack || e)); process.exit(2); });
