// Bitlicht's service worker, beside the page on a server: it keeps the page,
// its LED files and the app's icon, so that the page opens without a
// network once it was loaded. It answers from its copy at once (a school's
// network may hang rather than fail) and fetches a fresh one behind it, so a
// file changed on the server shows at the load after next. Every other
// address on the server is left alone. The page gives its own name (it may
// be renamed).
const page = new URL(self.location).searchParams.get('page') || './';
const files = [page, 'LEDgruenDu.ico', 'LEDgruenHe.ico', 'bitlicht.png']
  .map(function (name) { return new URL(name, self.location).href; });

function fresh(cache, url) {
  return fetch(url, { cache: 'no-cache' }).then(function (response) {
    return response.ok ? cache.put(url, response.clone()).then(function () { return response; })
      : response;
  });
}

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open('bitlicht').then(function (cache) {
    // A file missing on the server is no reason to keep the others.
    return Promise.all(files.map(function (url) { return fresh(cache, url).catch(function () {}); }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(self.clients.claim());
});

self.addEventListener('fetch', function (event) {
  const url = event.request.url.replace(/[?#].*/, '');
  if (event.request.method !== 'GET' || !files.includes(url)) return;
  event.respondWith(caches.open('bitlicht').then(function (cache) {
    return cache.match(url).then(function (kept) {
      const update = fresh(cache, url);
      if (!kept) return update;
      event.waitUntil(update.catch(function () {}));
      return kept;
    });
  }));
});
