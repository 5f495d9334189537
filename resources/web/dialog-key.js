// Run in the page's own script world of every frame, before the page's scripts: each alert,
// confirm and prompt first raises an event on the frame's document, on which the browser's
// isolated world sends the frame's key, so that the browser names the frame that asks. A page
// that calls the engine's own functions some other way asks with no key and is named no one.
(() => {
  const doc = document;
  const dispatch = EventTarget.prototype.dispatchEvent;
  const EventType = Event;
  const apply = Reflect.apply;
  for (const name of ['alert', 'confirm', 'prompt']) {
    const original = window[name];
    window[name] = {
      [name](...args) {
        // Texts first: one that fails to become text ends the call before anything is sent.
        const texts = args.slice(0, 2).map((text) => (text === undefined ? text : String(text)));
        apply(dispatch, doc, [new EventType('zemblo-dialog')]);
        return apply(original, window, texts);
      },
    }[name];
  }
})();
