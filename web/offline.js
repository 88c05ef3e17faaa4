// The page's files kept by a service worker, so that the game, once installed, plays with no
// network; a new version of the files is fetched as the worker changes and serves the next visit.
if ('serviceWorker' in navigator && location.protocol !== 'file:')
    navigator.serviceWorker.register('sw.js').catch(() => { /* the page plays on from the network */ });
