// Before the program starts (emscripten's pre-js). The technical lines the
// desktop prints on stderr are warnings here (emscripten makes them console
// errors). Over http the two LED files beside the page are fetched once into
// the program's directory, /bitlicht, where the reactions read them at every
// change; from file:// a fetch only fails, and the built-in images stand in,
// as for a missing or bad file.
Module['printErr'] = function (text) { console.warn(text); };

// The program is inlined in the page (base64): decoded here and compiled at
// once, rather than fetched back from its data: address and compiled in the
// background, two trips through the event loop before the window can be
// built. A browser that compiles nothing this large on its main thread (older
// Chrome: 4 KB) compiles it in the background instead.
Module['instantiateWasm'] = function (imports, done) {
  const base64 = wasmBinaryFile.slice(wasmBinaryFile.indexOf(',') + 1);
  let bytes;
  if (Uint8Array.fromBase64) {
    bytes = Uint8Array.fromBase64(base64);
  } else { // the loop alone is slower than the compile
    const text = atob(base64);
    bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
  }
  try {
    done(new WebAssembly.Instance(new WebAssembly.Module(bytes), imports));
  } catch (e) {
    if (!(e instanceof RangeError)) throw e;
    WebAssembly.instantiate(bytes, imports).then(function (result) { done(result.instance); });
  }
  return {};
};
const bitlichtServed = /^https?:$/.test(location.protocol);
(Module['preRun'] = Module['preRun'] || []).push(function () {
  FS.mkdir('/bitlicht');
  if (!bitlichtServed) return;
  addRunDependency('bitlicht-leds');
  Promise.all(['LEDgruenDu.ico', 'LEDgruenHe.ico'].map(function (name) {
    return fetch(name).then(function (response) {
      return response.ok ? response.arrayBuffer() : null;
    }).then(function (bytes) {
      if (bytes) FS.writeFile('/bitlicht/' + name, new Uint8Array(bytes));
    }).catch(function () {});
  })).then(function () { removeRunDependency('bitlicht-leds'); });
});

// Served, the page is an app: installable through its manifest, made here so
// that it starts this page under whatever name it was given, and usable
// offline through the service worker beside it, which the browser offers only
// to https and to this machine's own addresses (file:// has neither).
// Registered once the page has loaded, so as not to delay it.
if (bitlichtServed) {
  const here = location.href.replace(/[?#].*/, '');
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'data:application/manifest+json,' + encodeURIComponent(JSON.stringify({
    name: 'Bitlicht', short_name: 'Bitlicht', lang: 'de', start_url: here, display: 'standalone',
    description: 'Acht Bits setzen, LEDs leuchten sehen und den Wert des Bytes ausrechnen',
    background_color: '#f0f0f0', theme_color: '#f0f0f0',
    icons: [{ src: new URL('bitlicht.png', here).href, sizes: '192x192', type: 'image/png' }],
  }));
  document.head.appendChild(manifest);
  if ('serviceWorker' in navigator) {
    addEventListener('load', function () {
      const page = location.pathname.replace(/.*\//, '');
      navigator.serviceWorker.register('bitlicht-offline.js?page=' + encodeURIComponent(page))
        .catch(function (e) { console.warn('bitlicht: ohne Netz nicht nutzbar: ' + e.message); });
    });
  }
}
