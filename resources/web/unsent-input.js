(() => {
  // Input the user typed and never sent differs from what the page gave the field; a form that
  // was sent has navigated away or been reset. Frames of other sites are out of reach and count
  // as holding none.
  const kept = new Set(['hidden', 'submit', 'button', 'reset', 'image']);
  const changed = (field) => {
    if (field.disabled || field.readOnly) return false;
    if (field instanceof HTMLTextAreaElement) return field.value !== field.defaultValue;
    if (field instanceof HTMLSelectElement) {
      return Array.from(field.options).some((option) => option.selected !== option.defaultSelected);
    }
    if (field.type === 'checkbox' || field.type === 'radio') {
      return field.checked !== field.defaultChecked;
    }
    if (field.type === 'file') return field.files.length > 0;
    return !kept.has(field.type) && field.value !== field.defaultValue;
  };
  const holdsInput = (doc) => {
    if (Array.from(doc.querySelectorAll('input, textarea, select')).some(changed)) return true;
    // An editor made of editable elements has no default to compare with: the one the user was
    // writing in, with text in it, counts.
    const active = doc.activeElement;
    if (active && active.isContentEditable && active.textContent.trim() !== '') return true;
    return Array.from(doc.querySelectorAll('iframe, frame')).some((frame) => {
      try {
        return frame.contentDocument ? holdsInput(frame.contentDocument) : false;
      } catch (error) {
        return false;
      }
    });
  };
  return holdsInput(document);
})()
