// The password manager's page script, run in every frame in a script world of its own: the
// page's scripts see neither its state nor its message handler, only the DOM they share. It
// offers the site's saved logins in a menu under a focused login field, fills the chosen one and
// reports logins the user submits. Only the user's own input makes it fill or report: events a
// page dispatches itself are not trusted and are ignored.
#include "web/autofill_page_script.h"

namespace zemblo {

const std::string_view kAutofillScriptText = R"JS((() => {
  if (window.__zembloAutofill) return;
  window.__zembloAutofill = true;
  const handlers = window.webkit && window.webkit.messageHandlers;
  const bridge = handlers && handlers.zembloPasswords;
  if (!bridge) return;

  const HEADING = "Zemblo · Kayıtlı şifreler";
  const NO_USERNAME = "(kullanıcı adı yok)";
  const USER_KEY = "__zemblo_user";
  const USERNAME_WORDS = /user|login|e-?mail|e-?posta|kullan|account|identifier|giriş/;
  const SEND_WORDS =
    /log ?in|sign ?in|giriş|oturum|devam|continue|next|ileri|submit|kaydol|sign ?up|register/i;
  // A submit event is trusted even when a page script asked for it (requestSubmit), so a
  // report from one also needs the user's own key or pointer press shortly before.
  const INPUT_WINDOW_MS = 5000;
  const valueSetter = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, "value").set;

  let cached = null;
  let menuHost = null;
  let menu = null;
  let activeField = null;
  let activeIndex = 0;
  let items = [];
  let lastSent = "";
  let filling = false;
  let lastUserInput = -Infinity;

  // The frame's origin as this world sees it; the page cannot change it here.
  const send = (message) =>
    bridge.postMessage(Object.assign(message, { origin: self.origin, href: location.href }));

  const isInput = (el) => el instanceof HTMLInputElement;
  const visible = (el) =>
    !!el && (el.offsetWidth > 0 || el.offsetHeight > 0 || el.getClientRects().length > 0);
  const isTextInput = (el) => isInput(el) && /^(text|email|tel)$/i.test(el.type);
  const autocomplete = (el) => (el.getAttribute("autocomplete") || "").toLowerCase();
  const isNewPassword = (el) => autocomplete(el).split(/\s+/).includes("new-password");
  const inputsOf = (scope) =>
    scope instanceof HTMLFormElement
      ? Array.from(scope.elements).filter(isInput)
      : Array.from(scope.querySelectorAll("input"));
  const passwordFields = (scope) =>
    inputsOf(scope).filter((el) => el.type === "password" && visible(el) && !isNewPassword(el));
  const usernameFor = (field) => {
    let found = null;
    for (const el of inputsOf(field.form || document)) {
      if (el === field) break;
      if (isTextInput(el) && visible(el)) found = el;
    }
    return found;
  };
  const looksLikeUsername = (el) => {
    if (!isTextInput(el) || !visible(el)) return false;
    const hint = autocomplete(el);
    if (hint.includes("username") || hint === "email") return true;
    const words = [el.name, el.id, el.placeholder, el.getAttribute("aria-label")]
      .map((word) => word || "")
      .join(" ")
      .toLowerCase();
    if (USERNAME_WORDS.test(words)) return true;
    const first = passwordFields(el.form || document)[0];
    return !!first && usernameFor(first) === el;
  };
  const isLoginField = (el) =>
    isInput(el) && (el.type === "password" ? !isNewPassword(el) : looksLikeUsername(el));

  const credentials = () => {
    if (cached) return Promise.resolve(cached);
    return send({ type: "query" }).then(
      (list) => (cached = Array.isArray(list) ? list : []),
      () => (cached = [])
    );
  };

  const STYLE = `
:host { all: initial; }
.menu {
  font: 13px -apple-system, BlinkMacSystemFont, "SF Pro Text", system-ui, sans-serif;
  min-width: 240px; max-width: 340px; padding: 6px; box-sizing: border-box;
  border-radius: 14px; background: rgba(250, 250, 252, 0.82);
  -webkit-backdrop-filter: blur(28px) saturate(180%); backdrop-filter: blur(28px) saturate(180%);
  box-shadow: 0 14px 44px rgba(0,0,0,.18), 0 0 0 0.5px rgba(0,0,0,.12);
  color: #1d1d1f; animation: pop 0.16s cubic-bezier(.2,.8,.2,1);
}
.head { display: flex; align-items: center; gap: 6px; padding: 4px 8px 6px;
  font-size: 11px; font-weight: 600; opacity: .5; }
.item { display: flex; align-items: center; gap: 10px; padding: 7px 8px;
  border-radius: 9px; cursor: default; }
.item.active { background: rgba(123, 97, 255, .14); }
.icon { flex: none; width: 26px; height: 26px; border-radius: 8px; display: flex;
  align-items: center; justify-content: center;
  background: linear-gradient(135deg, #7B61FF, #FF6FB5);
  box-shadow: 0 2px 6px rgba(123,97,255,.35); }
.text { min-width: 0; }
.name { font-weight: 500; white-space: nowrap; overflow: hidden; text-overflow: ellipsis; }
.sub { font-size: 11px; color: rgba(0,0,0,.5); white-space: nowrap; overflow: hidden;
  text-overflow: ellipsis; }
@media (prefers-color-scheme: dark) {
  .menu { background: rgba(38, 38, 44, 0.82); color: #f5f5f7;
    box-shadow: 0 14px 44px rgba(0,0,0,.5), 0 0 0 0.5px rgba(255,255,255,.14); }
  .item.active { background: rgba(255, 255, 255, .12); }
  .sub { color: rgba(255,255,255,.55); }
}
@keyframes pop {
  from { opacity: 0; transform: translateY(-4px) scale(.98); }
  to { opacity: 1; transform: none; }
}`;

  const div = (className) => {
    const el = document.createElement("div");
    el.className = className;
    return el;
  };
  const keyImage = () => {
    const ns = "http://www.w3.org/2000/svg";
    const svg = document.createElementNS(ns, "svg");
    const attributes = {
      width: "13", height: "13", viewBox: "0 0 24 24", fill: "none", stroke: "white",
      "stroke-width": "2.4", "stroke-linecap": "round", "stroke-linejoin": "round",
    };
    for (const [name, value] of Object.entries(attributes)) svg.setAttribute(name, value);
    const circle = document.createElementNS(ns, "circle");
    circle.setAttribute("cx", "7.5");
    circle.setAttribute("cy", "15.5");
    circle.setAttribute("r", "4.5");
    const path = document.createElementNS(ns, "path");
    path.setAttribute("d", "m10.7 12.3 9.3-9.3M17 6l3 3M14 9l2 2");
    svg.append(circle, path);
    return svg;
  };

  const ensureMenu = () => {
    if (menuHost) return;
    menuHost = document.createElement("div");
    menuHost.style.cssText = "position:fixed;top:0;left:0;z-index:2147483647;";
    const shadow = menuHost.attachShadow({ mode: "closed" });
    // A constructed sheet is not an inline style, so a page's style policy cannot block it.
    try {
      const sheet = new CSSStyleSheet();
      sheet.replaceSync(STYLE);
      shadow.adoptedStyleSheets = [sheet];
    } catch (error) {
      const style = document.createElement("style");
      style.textContent = STYLE;
      shadow.append(style);
    }
    menu = div("menu");
    shadow.append(menu);
  };

  const isOpen = () => !!activeField && !!menuHost && menuHost.isConnected;

  const highlight = (index) => {
    if (!items.length) return;
    activeIndex = ((index % items.length) + items.length) % items.length;
    items.forEach((row, i) => row.classList.toggle("active", i === activeIndex));
  };

  const position = () => {
    if (!isOpen()) return;
    const r = activeField.getBoundingClientRect();
    const width = Math.min(340, Math.max(240, r.width));
    menu.style.minWidth = width + "px";
    menuHost.style.left = Math.max(8, Math.min(r.left, window.innerWidth - width - 8)) + "px";
    menuHost.style.top = r.bottom + 6 + "px";
  };

  const hide = () => {
    activeField = null;
    if (menuHost && menuHost.isConnected) menuHost.remove();
  };

  const setValue = (el, value) => {
    el.focus();
    valueSetter.call(el, value);
    el.dispatchEvent(new Event("input", { bubbles: true }));
    el.dispatchEvent(new Event("change", { bubbles: true }));
  };

  const fill = (id, field) => {
    hide();
    send({ type: "fill", id }).then((reply) => {
      if (!reply || typeof reply !== "object") return;
      const username = typeof reply.username === "string" ? reply.username : "";
      const password = typeof reply.password === "string" ? reply.password : "";
      let userTarget = null;
      let passwordTarget = null;
      if (field.type === "password") {
        passwordTarget = field;
        userTarget = usernameFor(field);
      } else {
        userTarget = field;
        passwordTarget =
          passwordFields(field.form || document)[0] || passwordFields(document)[0] || null;
      }
      // Moving the focus between the fields must not open the menu again.
      filling = true;
      try {
        if (userTarget && username) setValue(userTarget, username);
        if (passwordTarget && password) setValue(passwordTarget, password);
      } finally {
        filling = false;
      }
      lastSent = username + "\u0000" + password;
      try {
        sessionStorage.setItem(USER_KEY, username);
      } catch (error) {}
    }, () => {});
  };

  const show = (field) => {
    credentials().then((list) => {
      if (!list.length || document.activeElement !== field) return;
      ensureMenu();
      activeField = field;
      menu.replaceChildren();
      const head = div("head");
      head.textContent = HEADING;
      menu.append(head);
      items = list.map((credential, index) => {
        const row = div("item");
        row.dataset.id = String(credential.id);
        const icon = div("icon");
        icon.append(keyImage());
        const text = div("text");
        const name = div("name");
        name.textContent = credential.username || NO_USERNAME;
        const sub = div("sub");
        sub.textContent = String(credential.host || "");
        text.append(name, sub);
        row.append(icon, text);
        row.addEventListener("mouseenter", () => highlight(index));
        row.addEventListener("mousedown", (event) => {
          if (!event.isTrusted) return;
          event.preventDefault();
          event.stopPropagation();
          fill(row.dataset.id, field);
        });
        menu.append(row);
        return row;
      });
      highlight(0);
      if (!menuHost.isConnected) document.documentElement.appendChild(menuHost);
      position();
    });
  };

  const report = (origin) => {
    const scope = (origin && (origin.form || (origin.closest && origin.closest("form")))) || document;
    const field =
      passwordFields(scope).find((el) => el.value) ||
      passwordFields(document).find((el) => el.value);
    if (!field) return;
    const usernameField = usernameFor(field);
    let username = usernameField ? usernameField.value : "";
    if (!username) {
      try {
        username = sessionStorage.getItem(USER_KEY) || "";
      } catch (error) {
        username = "";
      }
    }
    const key = username + "\u0000" + field.value;
    if (key === lastSent) return;
    lastSent = key;
    send({ type: "submit", username, password: field.value }).catch(() => {});
  };

  const noteUserInput = (event) => {
    if (event.isTrusted) lastUserInput = performance.now();
  };
  document.addEventListener("pointerdown", noteUserInput, true);
  document.addEventListener("keydown", noteUserInput, true);

  document.addEventListener("focusin", (event) => {
    if (!filling && isLoginField(event.target)) show(event.target);
  }, true);
  document.addEventListener("focusout", () => {
    setTimeout(() => {
      if (activeField && document.activeElement !== activeField) hide();
    }, 120);
  }, true);
  document.addEventListener("click", (event) => {
    if (!event.isTrusted) return;
    const target = event.target;
    if (!isOpen() && target === document.activeElement && isLoginField(target)) show(target);
  }, true);
  document.addEventListener("keydown", (event) => {
    if (!event.isTrusted) return;
    const target = event.target;
    if (isOpen() && target === activeField) {
      switch (event.key) {
        case "ArrowDown":
          event.preventDefault();
          highlight(activeIndex + 1);
          return;
        case "ArrowUp":
          event.preventDefault();
          highlight(activeIndex - 1);
          return;
        case "Escape":
          event.preventDefault();
          hide();
          return;
        case "Enter":
          if (items.length) {
            event.preventDefault();
            event.stopPropagation();
            fill(items[activeIndex].dataset.id, activeField);
            return;
          }
          break;
        default:
          if (event.key.length === 1 || event.key === "Backspace") hide();
      }
    }
    if (event.key === "Enter" && isInput(target) && target.type === "password") report(target);
  }, true);
  window.addEventListener("scroll", position, true);
  window.addEventListener("resize", position);
  document.addEventListener("submit", (event) => {
    if (event.isTrusted && performance.now() - lastUserInput < INPUT_WINDOW_MS) {
      report(event.target);
    }
  }, true);
  document.addEventListener("click", (event) => {
    if (!event.isTrusted || !(event.target instanceof Element)) return;
    const button = event.target.closest('button, input[type="submit" i], [role="button"]');
    if (!button) return;
    const label = [button.textContent, button.value, button.getAttribute("aria-label")]
      .filter(Boolean)
      .join(" ");
    const type = String(button.type || "").toLowerCase();
    if (type === "submit" || SEND_WORDS.test(label)) setTimeout(() => report(button), 0);
  }, true);
  document.addEventListener("change", (event) => {
    const target = event.target;
    if (!event.isTrusted || !isInput(target) || !target.value || !looksLikeUsername(target)) return;
    try {
      sessionStorage.setItem(USER_KEY, target.value);
    } catch (error) {}
  }, true);

  if (isLoginField(document.activeElement)) show(document.activeElement);
})();
)JS";

}  // namespace zemblo
