// The Arduino proof in the browser: bitlicht.html in Debian's headless
// chromium (launched by tests/web/run.js, run where its puppeteer-core is
// installed), against the real StandardFirmata in simavr on a pty (board.c
// and the firmware as run.sh has them). Chromium has no virtual serial
// device, so the page gets a stand-in for Web Serial (the standard calls
// only); its bytes are carried to the pty here.
//   node webserial.js BOARD FIRMWARE_CACHE PAGE
const fs = require('fs');
const path = require('path');
const { execFileSync, spawn } = require('child_process');
const { launch, click: clickIn } = require('../web/run.js');
const [board, cache, page] = process.argv.slice(2);
const hex = execFileSync('sh', [path.join(__dirname, 'firmware.sh'), cache]).toString().trim();
const work = fs.mkdtempSync('/tmp/webserial-');
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
async function until(get, ms = 15000) { // what get() gives once true, or last
  for (const end = Date.now() + ms; ; await sleep(50)) { const v = await get(); if (v || Date.now() > end) return v; }
}

// --- Devices: each a board process on a pty, granted or not, plugged or not ---
const devices = {}; // by id; the page's stand-in asks for them by number
const asked = []; // each requestPort(): while the user acted? in which event? which filters?
let choice = null, tab, cdp;
async function plug(id, mode) {
  const d = devices[id] = { ...devices[id], log: `${work}/${id}-${Date.now()}.log` };
  d.proc = spawn(board, [mode, hex, d.log, `${work}/${id}.pty`]);
  const named = `${work}/${id}.pty`;
  d.pty = await until(() => fs.existsSync(named) && fs.readFileSync(named, 'utf8').trim());
  fs.unlinkSync(named);
}
function close(d) { if (d.fd != null) { clearInterval(d.poll); fs.closeSync(d.fd); d.fd = null; } }
async function unplug(id) {
  const d = devices[id];
  close(d); d.proc.kill(); d.proc = null;
  await toPage(`rig.lost(${id})`);
}
const toPage = (js) => cdp.send('Runtime.evaluate', { expression: js }); // no user activation
const log = (id) => fs.readFileSync(devices[id].log, 'utf8');
const rx = (id) => (log(id).match(/^rx (..)$/gm) || []).map((l) => l.slice(3)).join(' ');
const pins = (id) => (log(id).match(/modes=\w+ levels=\w+/g) || ['']).pop();
const bits = (v) => [...Array(8).keys()].map((b) => (v >> b) & 1).join('');
const frame = () => tab.evaluate(() => {
  const f = document.querySelector('[data-name="Frame1"]'); // once the page has started
  return f ? `${f.firstChild.textContent} | ${f.title}` : '';
});
const click = (name) => clickIn(tab, name);

// --- The stand-in, in the page before its scripts: granted ports through here ---
function standIn(serialThere) {
  if (!serialThere) return delete Navigator.prototype.serial;
  const serial = new EventTarget(), ports = {};
  const portOf = (id) => ports[id] || (ports[id] = Object.assign(new EventTarget(), {
    readable: null, writable: null,
    getInfo: () => ({ usbVendorId: 0x2341, usbProductId: 0x43 }),
    async open(options) {
      if (this.readable) throw new DOMException('The port is already open.', 'InvalidStateError');
      await rigOpen(id, options.baudRate);
      this.readable = new ReadableStream({ start: (c) => { this.sink = c; } });
      this.writable = new WritableStream({ write: (bytes) => rigWrite(id, Array.from(bytes)) });
    },
    async close() { this.readable = this.writable = null; await rigClose(id); },
  }));
  serial.getPorts = async () => (await rigGranted()).map(portOf);
  serial.requestPort = async (options) => {
    const active = navigator.userActivation.isActive, during = window.event ? window.event.type : '';
    const id = await rigChoose(active, during, JSON.stringify(options));
    if (!active) throw new DOMException('Must be handling a user gesture.', 'SecurityError');
    if (id === null) throw new DOMException('No port selected by the user.', 'NotFoundError');
    return portOf(id);
  };
  Object.defineProperty(Navigator.prototype, 'serial', { get: () => serial });
  window.rig = {
    data: (id, bytes) => ports[id].sink.enqueue(new Uint8Array(bytes)),
    lost(id) {
      const port = ports[id];
      if (port.sink) port.sink.error(new DOMException('The device has been lost.', 'NetworkError'));
      port.readable = port.writable = null;
      serial.dispatchEvent(new Event('disconnect'));
    },
    plugged: () => serial.dispatchEvent(new Event('connect')),
  };
}
const rigSide = {
  rigGranted: () => Object.keys(devices).filter((id) => devices[id].granted && devices[id].proc).map(Number),
  rigChoose(active, during, filters) {
    asked.push(`${active ? 'active' : 'inactive'} ${during} ${/usbVendorId":9025/.test(filters) ? 'usual' : 'all'}`);
    if (active && choice !== null) devices[choice].granted = true;
    return choice;
  },
  rigOpen(id) {
    const d = devices[id];
    if (!d.proc) throw new Error('NetworkError: Failed to open serial port.');
    close(d);
    d.fd = fs.openSync(d.pty, fs.constants.O_RDWR | fs.constants.O_NOCTTY | fs.constants.O_NONBLOCK);
    const buffer = Buffer.alloc(256);
    d.poll = setInterval(() => {
      try {
        const n = fs.readSync(d.fd, buffer);
        if (n > 0) toPage(`rig.data(${id}, [${[...buffer.subarray(0, n)]}])`);
      } catch (e) { /* nothing yet (EAGAIN) */ }
    }, 5);
  },
  rigWrite: (id, bytes) => { fs.writeSync(devices[id].fd, Buffer.from(bytes)); },
  rigClose: (id) => close(devices[id]),
};

// --- The cases, in order: a step of the lesson, what came of it, what must ---
// (The board's bootloader swallows the first query: a handshake has two or more.)
const NotReached = 'Arduino an USB – nicht erreichbar', Ready = 'Arduino an USB | Die Bits D0 bis D7 liegen an';
const frameWith = async (re, ms = 15000) =>
  (await until(async () => { const f = await frame(); return re.test(f) && f; }, ms)) || frame();
const handshake = new RegExp(`^f9 (f9 )+${[2, 3, 4, 5, 6, 7, 8, 9].map((p) => `f4 0${p} 01`).join(' ')} 90 00 00 91 00 00$`);
let before;
const cases = [
  ['at the first visit nothing is asked', async () => { await plug(1, 'firmata'); await load(true); },
    async () => [await frameWith(/nicht/), asked.join(), rx(1)], [`${NotReached} | Es ist noch kein Gerät gewählt.`, '', '']],
  ['the chooser within the untick click; refused', () => click('ChkSimulation'),
    async () => [await frameWith(/wurde kein Gerät/), asked.join()], [`${NotReached} | Es wurde kein Gerät gewählt.`, 'active change usual']],
  ['asked again, for every device; the Uno chosen, waited for across its reset', async () => {
    choice = 1; await click('ChkSimulation'); await click('ChkSimulation');
  }, async () => [await frameWith(/verbunden/, 1000), asked[1], await frameWith(/^Arduino an USB \|/),
    await until(() => handshake.test(rx(1)) && rx(1), 3000) || rx(1), pins(1)],
  ['Arduino an USB – wird verbunden | Bitlicht wartet', 'active change all', Ready, handshake, 'modes=OOOOOOOO levels=00000000']],
  ...[[0, 1], [2, 5], [7, 133], [1, 135]].map(([bit, value]) => [`bit D${bit}: ${value} on pins 2 to 9`,
    () => click(`chkD(${bit})`), async () => { await until(() => pins(1).endsWith(bits(value)), 3000); return [pins(1), asked.length]; },
    [`modes=OOOOOOOO levels=${bits(value)}`, 2]]),
  ['unplugged mid-lesson, a bit changed meanwhile', async () => { await unplug(1); await click('chkD(1)'); },
    async () => [await frameWith(/getrennt/, 3000)], [`${NotReached} | Der Arduino wurde getrennt.`]],
  ['plugged back in: found by itself, the byte asked for last on its pins', async () => { await plug(1, 'firmata'); await toPage('rig.plugged()'); },
    async () => { await until(() => pins(1).endsWith(bits(133))); return [pins(1), await frameWith(/^Arduino an USB \|/)]; },
    [`modes=OOOOOOOO levels=${bits(133)}`, Ready]],
  ['the next visit: the board granted cleared without a question; nothing written in simulation', async () => {
    await load(true); await frameWith(/^Arduino an USB \|/); await until(() => / 91 00 00$/.test(rx(1)));
    before = rx(1);
    await click('chkD(3)'); await sleep(500);
  }, async () => [await frame(), asked.length, pins(1), rx(1) === before], [Ready, 2, 'modes=OOOOOOOO levels=00000000', true]],
  ['a silent device: the version query alone, then left alone', async () => {
    await unplug(1); await plug(2, 'bare'); devices[2].granted = true; choice = 2; await load(true);
    await frameWith(/nicht wie/, 10000); before = rx(2);
    await click('ChkSimulation'); await click('chkD(0)'); await sleep(1500);
  }, async () => [await frame(), [...new Set(rx(2).split(' '))].join(), rx(2) === before, asked.length],
  [`${NotReached} | Das gewählte Gerät antwortet nicht wie ein Arduino mit StandardFirmata;`, 'f9', true, 3]],
  ['a browser without Web Serial', async () => { await load(false); await click('ChkSimulation'); await click('chkD(0)'); },
    async () => [await frame()], [`${NotReached} | Dieser Browser erreicht keine Geräte an USB (Web Serial): Die LEDs eines`
      + ' Arduino leuchten mit Chrome, Edge oder Opera']],
];

let errors = 0;
async function load(serialThere) {
  for (const d of Object.values(devices)) close(d); // as a browser closes the page's ports
  if (tab) await tab.close();
  tab = await browser.newPage();
  cdp = await tab.createCDPSession();
  await cdp.send('Runtime.enable');
  tab.on('console', (m) => { errors += m.type() === 'error'; if (m.type() !== 'log') console.log(`console.${m.type()}: ${m.text()}`); });
  tab.on('pageerror', (e) => { ++errors; console.log('page error: ' + e.message); });
  for (const [name, f] of Object.entries(rigSide)) await tab.exposeFunction(name, f);
  await tab.evaluateOnNewDocument(standIn, serialThere);
  await tab.goto('file://' + path.resolve(page));
}

let browser, done;
(async () => {
  ({ browser, done } = await launch('firmata'));
  let failed = 0;
  for (const [what, step, got, want] of cases) {
    await step();
    const seen = await got();
    const ok = !errors && seen.every((v, i) => (want[i] instanceof RegExp ? want[i].test(v)
      : typeof v === 'string' ? v.startsWith(want[i]) : v === want[i]));
    failed += !ok;
    console.log(`${ok ? 'PASS' : 'FAIL'}: ${what}${ok ? '' : `\n  got:  ${JSON.stringify(seen)}\n  want: ${JSON.stringify(want)}`}`);
  }
  console.log(`${cases.length - failed} passed, ${failed} failed, ${errors} console errors`);
  return failed;
})().catch((e) => { console.log(e.stack); return 1; }).then(async (failed) => {
  for (const d of Object.values(devices)) if (d.proc) d.proc.kill();
  if (done) await done();
  fs.rmSync(work, { recursive: true, force: true });
  process.exit(failed ? 1 : 0);
});
