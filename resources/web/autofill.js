(() => {
  // Most documents never hold a login: the script waits, in this tiny part, until the document
  // has a password field or the user or the page focuses a field of it. Every use of a login
  // starts in a focused field (a press opens the menu, a submit follows typing), so nothing waits
  // unseen; a page that adds its login form later gets the script when its field takes the focus.
  if (window.__zembloAutofillWaits) return;
  window.__zembloAutofillWaits = true;
  const start = () => {
    if (window.__zembloAutofill) return;
    window.__zembloAutofill = true;
    const handlers = window.webkit && window.webkit.messageHandlers;
    const bridge = handlers && handlers.zembloPasswords;
    if (!bridge) return;

    const USER_KEY = "__zemblo_user";
    const USERNAME_WORDS = /user|login|e-?mail|e-?posta|kullan|account|identifier|giriş/;
    const SEND_WORDS =
      /log ?in|sign ?in|giriş|oturum|devam|continue|next|ileri|submit|kaydol|sign ?up|register/i;
    // A submit event is trusted even when a page script asked for it (requestSubmit), so a
    // report from one also needs the user's own key or pointer press shortly before.
    const INPUT_WINDOW_MS = 5000;
    const valueSetter = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, "value").set;

    // Tells this frame's reports about the browser's menu from those of other frames.
    const FRAME = String(Math.random()).slice(2) + String(performance.now());
    let menuField = null;
    let reportedPlace = "";
    let lastSent = "";
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

    // Whether the user can see the field: larger than a speck, not hidden or see-through, inside
    // the frame's viewport and not covered where its middle is. A page that hides a field of its
    // own to collect a login gets nothing in it.
    const MIN_SIDE = 8;
    const MIN_OPACITY = 0.2;
    const seenByUser = (el) => {
      if (!isInput(el) || !el.isConnected) return false;
      const r = el.getBoundingClientRect();
      if (r.width < MIN_SIDE || r.height < MIN_SIDE) return false;
      const left = Math.max(r.left, 0), right = Math.min(r.right, innerWidth);
      const top = Math.max(r.top, 0), bottom = Math.min(r.bottom, innerHeight);
      if (right - left < MIN_SIDE || bottom - top < MIN_SIDE) return false;
      if (getComputedStyle(el).visibility !== "visible") return false;
      let opacity = 1;
      for (let node = el; node; node = node.parentElement || (node.getRootNode() || {}).host) {
        opacity *= parseFloat(getComputedStyle(node).opacity);
        if (!(opacity >= MIN_OPACITY)) return false;
      }
      const root = el.getRootNode();
      const hit = (root.elementFromPoint ? root : document).elementFromPoint(
        (left + right) / 2, (top + bottom) / 2);
      return hit === el || Array.from(el.labels || []).includes(hit);
    };
    // The fields of the field's form, or those in no form when it is in none.
    const formInputsOf = (field) =>
      field.form ? inputsOf(field.form) : inputsOf(document).filter((el) => !el.form);
    // The one other field a chosen login goes into: the username before a password field, or the
    // password of a username field's form, seen by the user.
    const partnerOf = (field) => {
      const inputs = formInputsOf(field).filter((el) => el === field || seenByUser(el));
      if (field.type === "password") {
        let found = null;
        for (const el of inputs) {
          if (el === field) break;
          if (isTextInput(el)) found = el;
        }
        return found;
      }
      return inputs.find((el) => el.type === "password" && !isNewPassword(el)) || null;
    };

    // Where the field lies: in its frame's viewport, and where that frame lies in the page when
    // every frame up to the top shares this one's origin.
    const placeOf = (field) => {
      const r = field.getBoundingClientRect();
      let frameOffset = { x: 0, y: 0 };
      try {
        for (let w = window; w !== w.top; w = w.parent) {
          const frame = w.frameElement;
          if (!frame) {
            frameOffset = null;
            break;
          }
          const box = frame.getBoundingClientRect();
          const style = w.parent.getComputedStyle(frame);
          frameOffset.x += box.left + frame.clientLeft + parseFloat(style.paddingLeft);
          frameOffset.y += box.top + frame.clientTop + parseFloat(style.paddingTop);
        }
      } catch (error) {
        frameOffset = null;
      }
      return { field: { x: r.left, y: r.top, width: r.width, height: r.height }, frameOffset };
    };

    // While the menu is open, the browser learns each move of the field, so that the menu stays
    // under it and takes no click while it does not.
    const follow = () => {
      if (!menuField) return;
      if (!menuField.isConnected) {
        send({ type: "menuClose", frame: FRAME }).catch(() => {});
        return;
      }
      const place = placeOf(menuField);
      const text = JSON.stringify(place);
      if (text !== reportedPlace) {
        reportedPlace = text;
        send(Object.assign({ type: "menuMove", frame: FRAME }, place)).catch(() => {});
      }
      requestAnimationFrame(follow);
    };

    const openMenu = (field, pointer) => {
      const place = placeOf(field);
      menuField = field;
      reportedPlace = JSON.stringify(place);
      send(Object.assign({ type: "menu", frame: FRAME, pointer }, place)).then(
        (login) => {
          if (menuField === field) menuField = null;
          if (login && typeof login === "object" && field.isConnected) fill(login, field);
        },
        () => {
          if (menuField === field) menuField = null;
        }
      );
      requestAnimationFrame(follow);
    };

    const setValue = (el, value) => {
      el.focus();
      valueSetter.call(el, value);
      el.dispatchEvent(new Event("input", { bubbles: true }));
      el.dispatchEvent(new Event("change", { bubbles: true }));
    };

    // Only into the field the user pressed, and its partner, both in sight now: the page may have
    // moved or hidden them while the menu was open.
    const fill = (login, field) => {
      if (!seenByUser(field)) return;
      const username = typeof login.username === "string" ? login.username : "";
      const password = typeof login.password === "string" ? login.password : "";
      const partner = partnerOf(field);
      const userTarget = field.type === "password" ? partner : field;
      const passwordTarget = field.type === "password" ? field : partner;
      if (userTarget && username) setValue(userTarget, username);
      if (passwordTarget && password) setValue(passwordTarget, password);
      lastSent = username + "\u0000" + password;
      try {
        sessionStorage.setItem(USER_KEY, username);
      } catch (error) {}
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

    // The user's own press in a login field asks for the menu; a focus the page made does not.
    const pressedInLoginField = (event) =>
      event.isTrusted && !menuField && event.target === document.activeElement &&
      isLoginField(event.target) && seenByUser(event.target);
    document.addEventListener("focusout", () => {
      setTimeout(() => {
        if (menuField && document.activeElement !== menuField) {
          send({ type: "menuClose", frame: FRAME }).catch(() => {});
        }
      }, 120);
    }, true);
    document.addEventListener("click", (event) => {
      if (pressedInLoginField(event)) openMenu(event.target, { x: event.clientX, y: event.clientY });
    }, true);
    document.addEventListener("keydown", (event) => {
      if (!event.isTrusted) return;
      const target = event.target;
      if (event.key === "ArrowDown" && !event.altKey && pressedInLoginField(event)) {
        openMenu(target, null);
      }
      if (event.key === "Enter" && isInput(target) && target.type === "password") report(target);
    }, true);
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
  };

  const isField = (node) => node instanceof HTMLInputElement;
  if (document.querySelector('input[type="password" i]') || isField(document.activeElement)) {
    start();
    return;
  }
  // "focus" in the capture phase, unlike "focusin", also comes when the window gets the keyboard
  // back to a field the page focused while it had none.
  const onFocus = (event) => {
    if (!isField(event.target)) return;
    removeEventListener("focus", onFocus, true);
    start();
  };
  addEventListener("focus", onFocus, true);
})();
