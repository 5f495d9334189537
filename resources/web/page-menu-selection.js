// Tells the browser what is selected as the user opens the page's menu, which offers to search
// the web for it. It runs in an isolated world, where the page cannot post in its stead, and its
// listener is the first of the window's: a page's own listener cannot keep it from running.
addEventListener('contextmenu', (event) => {
  // The page's own events open no menu.
  if (!event.isTrusted) return;
  let text = '';
  try {
    const field = document.activeElement;
    if (field && typeof field.value === 'string' && typeof field.selectionStart === 'number') {
      // A password is never sent anywhere, not even to the browser's own menu.
      if (field.type !== 'password') {
        text = field.value.slice(field.selectionStart, field.selectionEnd);
      }
    } else {
      text = String(getSelection() || '');
    }
  } catch (e) {
    text = '';
  }
  window.webkit.messageHandlers.zembloPageMenu.postMessage(text.slice(0, 1000));
}, true);
