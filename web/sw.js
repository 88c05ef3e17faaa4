// The service worker: every file of the page kept in a cache named for this version of the files
// (the build writes the version and the list), served from there first. A new version installs
// beside the old, takes over at once and removes the old cache; the page open now keeps the files
// it started with, and the next visit runs the new ones.
const Version = '@VERSION@';
const Files = @FILES@;
const Cache = `zerno-bros-${Version}`;

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(Cache).then((cache) => cache.addAll(['./', ...Files])).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys()
        .then((names) => Promise.all(names.filter((name) => name.startsWith('zerno-bros-') && name !== Cache)
                                          .map((name) => caches.delete(name))))
        .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
    if (event.request.method !== 'GET' || new URL(event.request.url).origin !== location.origin)
        return;
    event.respondWith(caches.open(Cache).then(async (cache) =>
        (await cache.match(event.request, { ignoreSearch: true })) ?? fetch(event.request)));
});
