// Drives a page in Debian's headless chromium through the DevTools protocol
// (puppeteer-core, installed into the build tree) and exits with its verdict.
//   node run.js suite PAGE ENV...   the behaviour suite compiled into PAGE; the page
//                                   asks here for real input, pictures and the
//                                   accessibility tree; exits with the suite's status
//   node run.js real PAGE           bitlicht.html keyed and clicked: start-up, Space
//                                   and Tab, a click; then served over http, and
//                                   again with the server gone
// Every console line of the page is relayed; an error in it fails the run.
const fs = require('fs');
const http = require('http');
const path = require('path');
const puppeteer = require(path.join(process.cwd(), 'node_modules', 'puppeteer-core'));
const [mode, page, ...env] = process.argv.slice(2);

const at = (name) => `[data-name="${name}"]`;
let errors = 0, ledWarnings = 0;

// Debian's chromium, headless, in a fresh profile; done() closes it and
// removes the profile. Also the Arduino proof's (tests/firmata/webserial.js).
async function launch(name) {
  const profile = path.resolve(`profile-${name}-${process.pid}`);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--user-data-dir=' + profile],
  });
  const done = async () => { await browser.close(); fs.rmSync(profile, { recursive: true, force: true }); };
  return { browser, done };
}

async function main() {
  const { browser, done } = await launch(mode);
  try {
    const tab = await browser.newPage();
    await tab.setViewport({ width: 640, height: 480 });
    tab.on('console', (m) => {
      if (m.type() === 'error') ++errors;
      if (/LED-Bild/.test(m.text())) ++ledWarnings;
      console.log(m.type() === 'log' ? m.text() : `console.${m.type()}: ${m.text()}`);
    });
    tab.on('pageerror', (e) => { ++errors; console.log('page error: ' + e.message); });
    return await (mode === 'suite' ? suite(tab) : real(tab));
  } finally {
    await done();
  }
}

// What the suite asks of the outside of its page.
async function suite(tab) {
  let done;
  const verdict = new Promise((resolve) => { done = resolve; });
  await tab.exposeFunction('bitlichtDone', (code) => done(code));
  await tab.exposeFunction('bitlichtInput', async (what, name) => {
    if (what === 'click') {
      await click(tab, name);
    } else if (what === 'Shift+Tab') {
      await tab.keyboard.down('Shift');
      await tab.keyboard.press('Tab');
      await tab.keyboard.up('Shift');
    } else {
      await tab.keyboard.press(what);
    }
  });
  let lastPicture = '';
  await tab.exposeFunction('bitlichtPicture', async () =>
    (lastPicture = await (await tab.$('#frmBitlicht')).screenshot({ encoding: 'base64' })));
  await tab.exposeFunction('bitlichtAccessible', async (name, what) => {
    const el = await tab.$(at(name));
    const node = await tab.accessibility.snapshot({ root: el, interestingOnly: false });
    // A hidden field is out of the tree: what it is called once shown.
    return node ? node[what] || '' : el.evaluate((e, w) => e.getAttribute('aria-' + w) || '',
      what === 'name' ? 'label' : 'description');
  });
  await tab.evaluateOnNewDocument((vars) => { window.bitlichtEnv = vars; },
    Object.fromEntries(env.map((v) => v.split(/=(.*)/s).slice(0, 2))));
  await tab.goto('file://' + path.resolve(page));
  const code = await verdict;
  // The last picture (the golden one's), for a look when the suite failed.
  if (code) fs.writeFileSync('actual-web.png', Buffer.from(lastPicture, 'base64'));
  return code;
}

// The program as the user gets it, keyed and clicked for real: after each
// step the title, port frame, focus, D0..D2, their LEDs (lit: the middle's
// green is bright), the decimal value and how often a missing LED file was
// named (from file://, each once). Then served from 127.0.0.1
// with the lit LED's bytes as the dark file, so that the page shows the files
// beside it rather than its own: once over the network, installable, and once
// more with the server gone, from the service worker's copy.
async function real(tab) {
  const title = 'Bitlicht 1.00 – vom Bitlicht-Team', frame = 'Arduino an USB – nicht erreichbar';
  const served = ['chkD(0)', [0, 0, 0], [1, 1, 1], '0', 2, []];
  const steps = [
    ['start-up: focus on D0, all dark', 'file', [], ['chkD(0)', [0, 0, 0], [0, 0, 0], '0', 1]],
    ['Space, Tab, Space: D0 and D1', '', ['Space', 'Tab', 'Space'], ['chkD(1)', [1, 1, 0], [1, 1, 0], '3', 2]],
    ['clicks: simulation off, D2', '', ['ChkSimulation', 'chkD(2)'], ['chkD(2)', [1, 1, 1], [1, 1, 1], '7', 2]],
    ['D2 again, off', '', ['chkD(2)'], ['chkD(2)', [1, 1, 0], [1, 1, 0], '3', 2]],
    ['over http: the LED files served, installable', 'http', [], served],
    ['server gone: the same, offline', 'offline', [], served],
  ];
  const folder = path.dirname(path.resolve(page)), swap = { 'LEDgruenDu.ico': 'LEDgruenHe.ico' };
  const server = http.createServer((request, response) => {
    const name = path.basename(request.url.replace(/[?#].*/, ''));
    fs.readFile(path.join(folder, swap[name] || name), (error, bytes) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': { '.html': 'text/html',
        '.js': 'text/javascript', '.png': 'image/png' }[path.extname(name)] || 'application/octet-stream' });
      response.end(bytes);
    });
  });
  await new Promise((listening) => server.listen(0, '127.0.0.1', listening));
  const protocol = await tab.createCDPSession();
  let failed = 0;
  for (const [what, load, actions, want] of steps) {
    if (load === 'file') await tab.goto('file://' + path.resolve(page));
    if (load === 'http') await tab.goto(`http://127.0.0.1:${server.address().port}/bitlicht.html`);
    if (load === 'offline') {
      await tab.evaluate(() => Promise.race([navigator.serviceWorker.ready, new Promise((r) => setTimeout(r, 10000))]));
      server.close();
      server.closeAllConnections();
      await tab.reload();
    }
    await tab.waitForSelector(at('chkD(0)'));
    for (const a of actions) await (/chk/i.test(a) ? click(tab, a) : tab.keyboard.press(a));
    const seen = await tab.evaluate(() => {
      const q = (name) => document.querySelector(`[data-name="${name}"]`);
      const lit = (led) => led.getContext('2d').getImageData(20, 16, 1, 1).data[1] > 200;
      return [document.title, q('Frame1').textContent, document.activeElement.dataset.name,
        [0, 1, 2].map((b) => +q(`chkD(${b})`).checked), [0, 1, 2].map((b) => +lit(q(`Picture1(${b})`))),
        q('txtWertausgabe').value];
    });
    seen.push(ledWarnings);
    // Served: also what keeps it from being installed as an app.
    if (want.length > 5) seen.push((await protocol.send('Page.getInstallabilityErrors')).installabilityErrors);
    const got = JSON.stringify(seen);
    const ok = got === JSON.stringify([title, frame, ...want]) && !errors;
    failed += !ok;
    console.log(`RESULT ${ok ? 'PASS' : 'FAIL'}: ${what}: ${got}, ${errors} console errors`);
  }
  console.log(`${steps.length - failed} passed, ${failed} failed`);
  return failed ? 1 : 0;
}

async function click(tab, name) {
  const box = await (await tab.$(at(name))).boundingBox();
  await tab.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

module.exports = { launch, click };
if (require.main === module) {
  main().then((code) => process.exit(errors && mode === 'suite' ? 1 : code),
    (e) => { console.log('run.js: ' + (e.stack || e)); process.exit(2); });
}
