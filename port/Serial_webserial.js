// Web Serial for the Arduino in a page (an emscripten JS library): the
// calls of navigator.serial, the open port's streams and the connect and
// disconnect events, and nothing else. Which port, when, and the Firmata
// protocol are Firmata_webserial.cpp's; what a call starts ends there, in
// its ws_* functions.
mergeInto(LibraryManager.library, {
  $WS__deps: ['malloc', 'free'],
  $WS__postset: 'WS.start();',
  $WS: {
    granted: null, // the ports granted, as last looked or chosen
    ids: null, // each port's number
    next: 1,
    port: null, // the one open (or opening)
    reader: null,
    writer: null,
    closed: null, // the last port's closing
    timer: 0,
    error: '',
    id: function (port) {
      if (!WS.ids.has(port)) WS.ids.set(port, WS.next++);
      return WS.ids.get(port);
    },
    fail: function (e) { WS.error = String((e && e.message) || e); },
    // (Objects are made here: a library's members are copied as text.) The
    // ports granted on earlier visits are known before the program starts,
    // so that its start-up write finds such a board at once (a browser that
    // takes more than a second is not waited for). A board plugged in or
    // out: the list again; a lost port's reader ends by itself.
    start: function () {
      WS.ids = new WeakMap();
      WS.closed = Promise.resolve();
      if (!navigator.serial) return;
      addRunDependency('ws-granted');
      let waiting = true;
      const known = function () {
        if (!waiting) return;
        waiting = false;
        WS.granted = WS.granted || [];
        removeRunDependency('ws-granted');
      };
      setTimeout(known, 1000);
      WS.look(known);
      navigator.serial.addEventListener('connect', function () { WS.look(); });
      navigator.serial.addEventListener('disconnect', function () { WS.look(); });
    },
    look: function (then) {
      navigator.serial.getPorts().catch(function (e) { WS.fail(e); return []; }).then(function (ports) {
        WS.granted = ports;
        if (then) then();
        if (runtimeInitialized) Module['_ws_looked']();
      });
    },
    // Hands over what arrives until the port is closed here or lost; a
    // stream that ends with a passing fault (a break, a parity error) is
    // followed by a new one.
    read: async function (port) {
      while (WS.port === port && port.readable) {
        const reader = WS.reader = port.readable.getReader();
        try {
          for (let got; !(got = await reader.read()).done;) {
            const at = _malloc(got.value.length);
            HEAPU8.set(got.value, at);
            Module['_ws_received'](at, got.value.length);
            _free(at);
          }
        } catch (e) {
          WS.fail(e);
        } finally {
          reader.releaseLock();
        }
      }
      if (WS.port === port) Module['_ws_lost']();
    },
  },

  ws_supported: function () {
    return navigator.serial ? 1 : 0;
  },

  ws_look__deps: ['$WS'],
  ws_look: function () { WS.look(); },

  ws_granted__deps: ['$WS'],
  ws_granted: function (ids, max) {
    const n = Math.min(WS.granted ? WS.granted.length : 0, max);
    for (let i = 0; i < n; ++i) HEAP32[(ids >> 2) + i] = WS.id(WS.granted[i]);
    return n;
  },

  // The chooser, only while the user acts (a browser refuses it otherwise):
  // first with the usual boards' USB chips alone (Arduino's two vendor IDs,
  // CH340, FTDI, CP210x), after a refusal with every device. The port chosen
  // is tried first.
  ws_choose__deps: ['$WS'],
  ws_choose: function (usualBoards) {
    if (navigator.userActivation && !navigator.userActivation.isActive) return;
    const filters = [0x2341, 0x2A03, 0x1A86, 0x0403, 0x10C4].map(function (v) { return { usbVendorId: v }; });
    navigator.serial.requestPort(usualBoards ? { filters: filters } : {}).then(function (port) {
      WS.granted = [port].concat((WS.granted || []).filter(function (p) { return p !== port; }));
      Module['_ws_chosen'](1);
    }, function (e) { WS.fail(e); Module['_ws_chosen'](0); });
  },

  ws_open__deps: ['$WS'],
  ws_open: function (id, baud) {
    const port = WS.granted.find(function (p) { return WS.id(p) === id; });
    WS.port = port;
    WS.closed.then(function () { return port.open({ baudRate: baud }); }).then(function () {
      if (WS.port !== port) return port.close();
      WS.writer = port.writable.getWriter();
      WS.read(port);
      Module['_ws_opened'](1);
    }, function (e) {
      if (WS.port !== port) return;
      WS.fail(e);
      Module['_ws_opened'](0);
    });
  },

  ws_send__deps: ['$WS'],
  ws_send: function (bytes, size) {
    if (WS.writer) WS.writer.write(HEAPU8.slice(bytes, bytes + size)).catch(WS.fail);
  },

  // The bytes written go out first; the board keeps the last one.
  ws_close__deps: ['$WS'],
  ws_close: function () {
    const port = WS.port, reader = WS.reader, writer = WS.writer;
    WS.port = WS.reader = WS.writer = null;
    if (!port) return;
    WS.closed = (async function () {
      try { if (reader) await reader.cancel(); } catch (e) {}
      try { if (writer) await writer.close(); } catch (e) {}
      if (reader) reader.releaseLock();
      if (writer) writer.releaseLock();
      try { await port.close(); } catch (e) {}
    })();
  },

  ws_wake__deps: ['$WS'],
  ws_wake: function (ms) {
    clearTimeout(WS.timer);
    if (ms >= 0) WS.timer = setTimeout(function () { Module['_ws_tick'](); }, ms);
  },

  ws_error__deps: ['$WS'],
  ws_error: function (buffer, size) {
    stringToUTF8(WS.error, buffer, size);
    WS.error = '';
  },
});
