(() => {
  if (window.__zembloDark) return;
  const handlers = window.webkit && window.webkit.messageHandlers;
  const handler = handlers && handlers.zembloDark;
  if (!handler) return;

  let config = {{INITIAL_CONFIG}};
  let decided = false;
  let style = null;
  let rootWatch = null;

  // A factor of 1 changes nothing and is left out: every filter function costs the compositor
  // a pass over the whole page.
  const adjustment = (name, value) => {
    const factor = Number.isFinite(Number(value)) ? Number(value) : 1;
    return factor === 1 ? "" : " " + name + "(" + factor + ")";
  };
  const sheet = () => {
    const inverted = ":root.zemblo-dark-invert";
    const restored = ["img", "picture", "video", "canvas", "iframe", "embed", "object",
      "svg image", '[style*="background-image"]'].map((s) => inverted + " " + s).join(", ");
    return ":root.zemblo-dark-pending, :root.zemblo-dark-pending body " +
        "{ background-color: #161618 !important; }\n" +
      inverted + " { filter: invert(0.92) hue-rotate(180deg)" +
        adjustment("brightness", config.brightness) + adjustment("contrast", config.contrast) +
        " !important; background-color: #fff !important; }\n" +
      restored + " { filter: invert(1) hue-rotate(180deg) !important; }\n" +
      inverted + ' img[src$=".svg"], ' + inverted + ' img[src^="data:image/svg"] ' +
        "{ filter: none !important; }";
  };

  const parseColour = (text) => {
    const match = /rgba?\(([^)]*)\)/.exec(text || "");
    if (!match) return null;
    const parts = match[1].split(/[\s,\/]+/).filter((piece) => piece !== "")
      .map((piece) => Number.parseFloat(piece));
    if (parts.length < 3 || parts.slice(0, 3).some(Number.isNaN)) return null;
    return { red: parts[0], green: parts[1], blue: parts[2],
             alpha: parts.length > 3 ? parts[3] : 1 };
  };

  const luminance = () => {
    for (const element of [document.body, document.documentElement]) {
      if (!element) continue;
      const colour = parseColour(getComputedStyle(element).backgroundColor);
      if (colour && colour.alpha > 0.1) {
        return (0.2126 * colour.red + 0.7152 * colour.green + 0.0722 * colour.blue) / 255;
      }
    }
    const root = document.documentElement;
    const scheme = root ? getComputedStyle(root).colorScheme || "" : "";
    return scheme.includes("dark") ? 0 : 1;
  };

  const decide = () => {
    const root = document.documentElement;
    if (!config.enabled || !root) return;
    root.classList.remove("zemblo-dark-pending");
    if (luminance() > 0.5) root.classList.add("zemblo-dark-invert");
    decided = true;
  };

  const recheck = () => {
    const root = document.documentElement;
    if (!config.enabled || !root || root.classList.contains("zemblo-dark-invert")) return;
    decide();
  };

  const ensureStyle = (root) => {
    if (!style) {
      style = document.createElement("style");
      style.id = "zemblo-dark-style";
    }
    style.textContent = sheet();
    if (!style.isConnected) (document.head || root).appendChild(style);
  };

  // A script at document start may run before the parser made the root element.
  const update = (next) => {
    if (next !== undefined && next !== null) config = next;
    const root = document.documentElement;
    if (!root) {
      if (!rootWatch) {
        rootWatch = new MutationObserver(() => {
          if (!document.documentElement) return;
          rootWatch.disconnect();
          rootWatch = null;
          update(null);
        });
        rootWatch.observe(document, { childList: true });
      }
      return;
    }
    ensureStyle(root);
    root.classList.remove("zemblo-dark-invert", "zemblo-dark-pending");
    decided = false;
    if (!config.enabled) return;
    if (document.readyState === "loading") root.classList.add("zemblo-dark-pending");
    else decide();
  };

  window.__zembloDark = Object.freeze({ update });
  document.addEventListener("DOMContentLoaded", () => {
    if (config.enabled && !decided) decide();
  }, { once: true });
  window.addEventListener("load", () => {
    recheck();
    setTimeout(recheck, 1500);
  }, { once: true });
  if (config.enabled) update(null);
  handler.postMessage({ type: "config", host: location.hostname })
    .then((reply) => update(reply), () => {});
})();
