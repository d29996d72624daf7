// The service worker: keeps the game's files in a cache named after the
// build, so the game plays offline after one visit, and drops the caches of
// older builds once a new one is in place. Cache Storage is the whole
// origin's: only caches named velmora-... are the game's.
var cacheName = 'velmora-@VELMORA_BUILD@';
var files = ['index.html', 'velmora.js', 'velmora.wasm', 'velmora.data', 'manifest.webmanifest',
             'icon-32.png', 'icon-192.png', 'icon-512.png'];

// The page has put in what it loaded; the rest is asked of the server, which
// answers "not modified" for what the browser already holds.
self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(cacheName).then(function (cache) {
    return Promise.all(files.map(function (file) {
      return cache.match(file).then(function (hit) {
        return hit || cache.add(new Request(file, { cache: 'no-cache' }));
      });
    }));
  }).then(function () { return self.skipWaiting(); }));
});

self.addEventListener('activate', function (event) {
  event.waitUntil(caches.keys().then(function (names) {
    return Promise.all(names.filter(function (name) {
      return name.indexOf('velmora-') === 0 && name !== cacheName;
    }).map(function (name) { return caches.delete(name); }));
  }));
});

self.addEventListener('fetch', function (event) {
  if (event.request.method !== 'GET') return;
  var request = event.request.mode === 'navigate' ? 'index.html' : event.request;
  event.respondWith(caches.open(cacheName).then(function (cache) {
    return cache.match(request, { ignoreSearch: true });
  }).then(function (hit) { return hit || fetch(event.request); }));
});
