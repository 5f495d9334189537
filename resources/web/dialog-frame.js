// Run in the browser's isolated script world of every frame, before the page's own scripts: tells
// the browser the origin of this frame's document with a key of the frame's own, and sends the
// key again whenever the frame's own alert, confirm or prompt is about to ask (see
// dialog-key.js). Only scripts that reach this document can raise that event, never another
// origin's frame, and the key never leaves this world.
(() => {
  const key = Array.from(crypto.getRandomValues(new Uint32Array(4)), (n) => n.toString(16)).join('-');
  const post = (message) => window.webkit.messageHandlers.dialogFrame.postMessage(message);
  const report = { key, origin: location.origin, host: location.hostname, top: window === window.top };
  post(report);
  // Brought back from the back and forward cache, the frames report again: the pages shown
  // meanwhile made the browser forget them.
  addEventListener('pageshow', (event) => { if (event.persisted) post(report); });
  document.addEventListener('zemblo-dialog', () => post({ key, asks: true }), true);
})();
