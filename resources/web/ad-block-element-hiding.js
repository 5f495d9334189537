(() => {
  // The content blocker's hiding rules that apply on every page, asked for by the classes and ids
  // this document really has, as its elements come: the browser keeps thousands of them, and
  // the style engine would otherwise parse them all for every document. The browser adds the
  // rules to the page's user style sheets; the document gets nothing of ours.
  if (window.__zembloHiding) return;
  window.__zembloHiding = true;
  const handlers = window.webkit && window.webkit.messageHandlers;
  const handler = handlers && handlers.zembloHiding;
  if (!handler) return;

  const seen = new Set();
  let asked = [];
  let asking = false;

  // One question at a time; what comes meanwhile goes with the next.
  const ask = () => {
    if (asking || !asked.length) return;
    asking = true;
    const keys = asked;
    asked = [];
    handler.postMessage({ keys }).then(() => {
      asking = false;
      ask();
    }, () => {});
  };
  const take = (key) => {
    if (seen.has(key)) return;
    seen.add(key);
    asked.push(key);
  };
  const visit = (element) => {
    const id = element.id;
    if (id) take("#" + id.toLowerCase());
    const classes = element.classList;
    for (let i = 0; i < classes.length; ++i) take("." + classes[i].toLowerCase());
  };
  const visitTree = (node) => {
    if (node.nodeType !== Node.ELEMENT_NODE) return;
    visit(node);
    if (node.firstElementChild) {
      for (const element of node.querySelectorAll("[id], [class]")) visit(element);
    }
  };

  // Elements the parser or the page's scripts add later, and classes and ids they change.
  new MutationObserver((records) => {
    for (const record of records) {
      if (record.type === "attributes") {
        visit(record.target);
      } else {
        for (const node of record.addedNodes) visitTree(node);
      }
    }
    ask();
  }).observe(document, { childList: true, subtree: true, attributes: true,
                         attributeFilter: ["class", "id"] });
  if (document.documentElement) visitTree(document.documentElement);
  ask();
})();
