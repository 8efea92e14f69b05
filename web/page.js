// Before the program starts (emscripten's pre-js). The technical lines the
// desktop prints on stderr are warnings here (emscripten makes them console
// errors). Over http the two LED files beside the page are fetched once into
// the program's directory, /bitlicht, where the reactions read them at every
// change; from file:// a fetch only fails, and the built-in images stand in,
// as for a missing or bad file.
Module['printErr'] = function (text) { console.warn(text); };
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
