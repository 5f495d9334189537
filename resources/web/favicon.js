(() => {
  const icons = Array.from(document.querySelectorAll('link[rel]')).filter((link) => {
    const rel = link.getAttribute('rel');
    return rel.split(/[ \t\n\f\r]+/).includes('icon') || rel === 'apple-touch-icon' ||
        rel === 'shortcut icon';
  });
  const picked = icons.find((link) => link.getAttribute('rel').includes('apple-touch-icon')) ||
      icons.find((link) => !link.href.endsWith('.svg')) || icons[0];
  if (picked) return picked.href;
  if (location.origin === 'null') return null;
  return location.origin + '/favicon.ico';
})()